// A test control in the test container: created, sited, and connected for property
// notification, and let go of again at the end of the test.
#pragma once

#include <gtest/gtest.h>

#include "TestControl.h"
#include "TestSite.h"

namespace zelmor::com::testing {

struct HostedControl {
    ComPtr<ComInstance<TestControl>> control = MakeInstance<TestControl>();
    ComPtr<ComInstance<TestSite>> site = MakeInstance<TestSite>();

    HostedControl() {
        control->SetClientSite(site.Get());
        ComPtr<IConnectionPoint> point;
        EXPECT_EQ(control->FindConnectionPoint(IID_IPropertyNotifySink, point.Put()), S_OK);
        DWORD cookie = 0;
        EXPECT_EQ(point->Advise(static_cast<IPropertyNotifySink*>(site.Get()), &cookie), S_OK);
    }
    ~HostedControl() {
        control->Close(OLECLOSE_NOSAVE);
        control->SetClientSite(nullptr);
    }
    ITestControl* Interface() const { return static_cast<ITestControl*>(control.Get()); }
};

}  // namespace zelmor::com::testing
