// The setter protocol (permission, store, dirty, change notification) and the ambient
// properties the control reads from its site.
#include <gtest/gtest.h>
#include <olectl.h>

#include "HostedControl.h"
#include "com/Variant.h"

using namespace zelmor::com;
using namespace zelmor::com::testing;

namespace {

using Calls = std::vector<std::string>;

Calls Notifications(const TestSite& site) {
    Calls found;
    for (const std::string& call : site.calls) {
        if (call.rfind("RequestEdit", 0) == 0 || call.rfind("Changed", 0) == 0) {
            found.push_back(call);
        }
    }
    return found;
}

}  // namespace

TEST(SetterProtocol, AsksThenStoresThenAnnounces) {
    HostedControl hosted;
    EXPECT_EQ(hosted.control->IsDirty(), S_FALSE);
    EXPECT_EQ(hosted.control->put_Number(12), S_OK);
    EXPECT_EQ(Notifications(*hosted.site), (Calls{"RequestEdit 1", "Changed 1"}));
    EXPECT_EQ(hosted.control->IsDirty(), S_OK);
    long number = 0;
    hosted.control->get_Number(&number);
    EXPECT_EQ(number, 12);
}

TEST(SetterProtocol, UnchangedValueIsNotAnnounced) {
    HostedControl hosted;
    Bstr caption(L"same");
    hosted.control->put_Caption(caption.Get());
    hosted.site->calls.clear();
    hosted.control->SetDirty(false);

    EXPECT_EQ(hosted.control->put_Caption(caption.Get()), S_OK);
    EXPECT_EQ(hosted.control->put_Flag(VARIANT_FALSE), S_OK);  // the default
    EXPECT_TRUE(Notifications(*hosted.site).empty());
    EXPECT_EQ(hosted.control->IsDirty(), S_FALSE);
}

TEST(SetterProtocol, RefusalLeavesTheValue) {
    HostedControl hosted;
    hosted.site->refuseEdits = true;
    EXPECT_EQ(hosted.control->put_Flag(VARIANT_TRUE), S_FALSE);
    EXPECT_EQ(Notifications(*hosted.site), (Calls{"RequestEdit 2"}));
    VARIANT_BOOL flag = VARIANT_TRUE;
    hosted.control->get_Flag(&flag);
    EXPECT_EQ(flag, VARIANT_FALSE);
    EXPECT_EQ(hosted.control->IsDirty(), S_FALSE);
}

TEST(SetterProtocol, AppliesToCallsThroughIDispatch) {
    HostedControl hosted;
    Bstr text(L"Name");
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = text.Get();
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    ASSERT_EQ(hosted.Interface()->Invoke(DISPID_CAPTION, IID_NULL, LOCALE_USER_DEFAULT,
                                         DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(Notifications(*hosted.site), (Calls{"RequestEdit -518", "Changed -518"}));
}

TEST(Ambient, UserModeAndDisplayNameComeFromTheSite) {
    HostedControl hosted;
    hosted.site->userMode = false;
    hosted.site->displayName = L"ZelBtr1";
    EXPECT_FALSE(hosted.control->UserMode());
    EXPECT_EQ(hosted.control->AmbientDisplayName(), L"ZelBtr1");

    hosted.site->userMode = true;
    hosted.site->displayName.clear();  // the site does not answer
    EXPECT_TRUE(hosted.control->UserMode());
    EXPECT_EQ(hosted.control->AmbientDisplayName(), L"");
}

TEST(Ambient, WithoutASiteTheControlIsInRunModeAndNameless) {
    auto control = MakeInstance<TestControl>();
    EXPECT_TRUE(control->UserMode());
    EXPECT_EQ(control->AmbientDisplayName(), L"");
    Variant value;
    EXPECT_EQ(control->GetAmbientProperty(DISPID_AMBIENT_USERMODE, value.Get()), E_NOINTERFACE);
}

TEST(Ambient, SitingRunsTheControlsHookOncePerSite) {
    auto control = MakeInstance<TestControl>();
    auto site = MakeInstance<TestSite>();
    control->SetClientSite(site.Get());
    control->SetClientSite(nullptr);
    EXPECT_EQ(control->sitesSet, 1);
    ComPtr<IOleClientSite> current;
    EXPECT_EQ(control->GetClientSite(current.Put()), S_OK);
    EXPECT_FALSE(current);
}
