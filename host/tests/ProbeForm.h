// A form for the tests, with probe controls made in the test program and handed to the form
// as objects.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProbeControl.h"
#include "host/Form.h"

namespace zelmor::host::testing {

using Probe = com::ComPtr<com::ComInstance<ProbeControl>>;

struct ProbeForm {
    explicit ProbeForm(SiteMode mode = SiteMode::Run, const std::wstring& name = L"Form1")
        : form(name, L"Probe form", SIZE{400, 300}, mode) {}

    // Adds a probe; fails the test when the form refuses it.
    ControlSite* Add(const Placement& placement, std::vector<NamedValue> properties = {}) {
        Probe probe = com::MakeInstance<ProbeControl>();
        probes.push_back(probe);
        HRESULT hr = E_FAIL;
        ControlSite* site = form.AddControl(placement, static_cast<IOleObject*>(probe.Get()),
                                            std::move(properties), &hr);
        EXPECT_EQ(hr, S_OK) << "adding "
                            << std::string(placement.name.begin(), placement.name.end());
        return site;
    }
    ProbeControl& Last() const { return *probes.back().Get(); }

    Form form;
    std::vector<Probe> probes;
};

inline NamedValue Property(const std::wstring& name, const com::Variant& value) {
    return NamedValue{name, value};
}

}  // namespace zelmor::host::testing
