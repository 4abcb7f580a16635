// Data controls on forms of the test container, over the sample dictionary in a test folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "com/ObjectRoot.h"
#include "controls/ZelBtr.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "host/Automation.h"
#include "host/Form.h"
#include "platform/MessageBoxAnswerer.h"

namespace zelmor::testing {

using DataControlObject = com::ComPtr<com::ComInstance<ZelBtr>>;

class DataControlFormTest : public ::testing::Test {
protected:
    void SetUp() override { WriteSampleDictionary(directory.Path()); }

    std::wstring Directory() const {
        std::string path = directory.Path();
        return std::wstring(path.begin(), path.end());
    }

    host::Form& NewForm(const std::wstring& name, host::SiteMode mode = host::SiteMode::Run) {
        forms.push_back(std::make_unique<host::Form>(name, L"Test form", SIZE{400, 300}, mode));
        return *forms.back();
    }

    // A data control on `form`, its properties loaded from `properties` (the sample directory
    // unless they say otherwise).
    host::ControlSite* AddDataControl(host::Form& form, const std::wstring& name,
                                      std::vector<host::NamedValue> properties = {},
                                      host::Container* container = nullptr) {
        bool hasDirectory = false;
        for (const host::NamedValue& value : properties) hasDirectory |= value.name == L"DDFDir";
        if (!hasDirectory) properties.push_back({L"DDFDir", host::TextValue(Directory())});
        DataControlObject control = com::MakeInstance<ZelBtr>();
        objects.push_back(control);
        HRESULT hr = E_FAIL;
        host::ControlSite* site =
            form.AddControl({name, RECT{10, 10, 42, 42}, container},
                            static_cast<IOleObject*>(control.Get()), std::move(properties), &hr);
        EXPECT_EQ(hr, S_OK);
        return site;
    }

    // Calls a method and gives its result code (the trailing out-parameter).
    static long Rc(host::ControlSite* site, const std::wstring& method,
                   const std::vector<com::Variant>& arguments = {},
                   host::CallResult* result = nullptr) {
        host::CallResult local;
        host::CallResult& call = result != nullptr ? *result : local;
        HRESULT hr = site->Call(method, arguments, &call);
        EXPECT_EQ(hr, S_OK) << std::string(method.begin(), method.end());
        com::Variant outcome;
        HRESULT converted = VariantChangeType(outcome.Get(), const_cast<VARIANT*>(&call.Outcome()),
                                              0, VT_I4);
        EXPECT_EQ(converted, S_OK) << "the result code is not a number";
        return SUCCEEDED(converted) ? V_I4(outcome.Get()) : -9999;
    }

    static std::wstring Text(host::ControlSite* site, const std::wstring& property) {
        com::Variant value;
        EXPECT_EQ(site->Get(property, value.Put()), S_OK);
        return host::TextOfValue(*value.Get());
    }

    ZelBtr& Object(std::size_t index) { return *objects[index].Get(); }

    TestDirectory directory;
    platform::MessageBoxAnswerer answerer;
    std::vector<DataControlObject> objects;
    std::vector<std::unique_ptr<host::Form>> forms;  // destroyed first
};

}  // namespace zelmor::testing
