// Siting: a control is given its site, its properties and its place in the form, and the
// ambient properties tell it its name and whether the form runs or is being designed.
#include <gtest/gtest.h>
#include <olectl.h>

#include "ProbeForm.h"
#include "host/Automation.h"

using namespace zelmor;
using namespace zelmor::host;
using namespace zelmor::host::testing;

namespace {

RECT RectInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// An ambient property as a control reads it: through its client site's dispatch interface.
com::Variant Ambient(ControlSite& site, DISPID dispid) {
    com::Variant value;
    DISPPARAMS none{};
    HRESULT hr = static_cast<IDispatch*>(&site)->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT,
                                                        DISPATCH_PROPERTYGET, &none, value.Get(),
                                                        nullptr, nullptr);
    EXPECT_EQ(hr, S_OK) << "ambient " << dispid;
    return value;
}

std::wstring TextProperty(ControlSite& site, const std::wstring& name) {
    com::Variant value;
    EXPECT_EQ(site.Get(name, value.Get()), S_OK) << "reading a property";
    return TextOfValue(*value.Get());
}

}  // namespace

TEST(Siting, TheControlIsActiveInPlaceWhereTheFormSaysWithItsProperties) {
    ProbeForm probes;
    RECT place{20, 30, 220, 130};
    ControlSite* site = probes.Add({L"List1", place}, {Property(L"Kind", TextValue(L"ListBox")),
                                                       Property(L"Items", TextValue(L"one|two")),
                                                       Property(L"Number", LongValue(5))});
    ASSERT_NE(site, nullptr);

    EXPECT_TRUE(site->InPlaceActive());
    HWND window = site->ControlWindow();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), probes.form.Window());
    RECT actual = RectInParent(window);
    EXPECT_TRUE(EqualRect(&actual, &place));
    EXPECT_EQ(probes.Last().ClientSite(), static_cast<IOleClientSite*>(site));

    // Kind and Items come through the property bag, Number (not persisted) by name.
    EXPECT_EQ(TextProperty(*site, L"Kind"), L"ListBox");
    EXPECT_EQ(TextProperty(*site, L"Number"), L"5");
    EXPECT_EQ(SendMessageW(probes.Last().HostedChild(), LB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(site->LoadProblems().empty());
    // Loading is not editing: the control did not ask the form about persisted properties.
    EXPECT_EQ(site->Notifications().CountOf(PropertyNotification::Kind::RequestEdit, 1), 0u);
}

TEST(Siting, ValuesTheControlRefusesAreReportedAndTheOthersStillLoad) {
    ProbeForm probes;
    ControlSite* site =
        probes.Add({L"Probe1", RECT{0, 0, 100, 24}},
                   {Property(L"Kind", TextValue(L"Slider")), Property(L"Number", LongValue(-5)),
                    Property(L"Text", TextValue(L"kept")), Property(L"Colour", LongValue(3))});
    ASSERT_NE(site, nullptr);
    std::vector<std::wstring> problems = site->LoadProblems();
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0], L"Kind: 0x800A017C (control error 380)");
    EXPECT_EQ(problems[1], L"Number: 0x800A017C (control error 380)");
    EXPECT_EQ(problems[2].rfind(L"Colour: 0x80020006", 0), 0u) << "unknown name";
    EXPECT_EQ(TextProperty(*site, L"Kind"), L"Edit");
    EXPECT_EQ(TextProperty(*site, L"Text"), L"kept");
}

TEST(Siting, AmbientPropertiesTellTheNameAndTheModeOfTheForm) {
    for (SiteMode mode : {SiteMode::Run, SiteMode::Design}) {
        bool run = mode == SiteMode::Run;
        SCOPED_TRACE(run ? "run mode" : "design mode");
        ProbeForm probes(mode);
        ControlSite* site = probes.Add({L"Customer", RECT{10, 10, 200, 34}});
        ASSERT_NE(site, nullptr);

        EXPECT_EQ(V_BOOL(Ambient(*site, DISPID_AMBIENT_USERMODE).Get()),
                  run ? VARIANT_TRUE : VARIANT_FALSE);
        EXPECT_EQ(TextOfValue(*Ambient(*site, DISPID_AMBIENT_DISPLAYNAME).Get()), L"Customer");
        EXPECT_EQ(V_I4(Ambient(*site, DISPID_AMBIENT_BACKCOLOR).Get()),
                  static_cast<LONG>(0x80000000 | COLOR_BTNFACE));
        EXPECT_EQ(V_I4(Ambient(*site, DISPID_AMBIENT_FORECOLOR).Get()),
                  static_cast<LONG>(0x80000000 | COLOR_BTNTEXT));
        EXPECT_EQ(V_BOOL(Ambient(*site, DISPID_AMBIENT_SHOWGRABHANDLES).Get()),
                  run ? VARIANT_FALSE : VARIANT_TRUE);
        com::Variant font = Ambient(*site, DISPID_AMBIENT_FONT);
        ASSERT_EQ(V_VT(font.Get()), VT_DISPATCH);
        auto fontObject = com::ComPtr<IDispatch>(V_DISPATCH(font.Get())).As<IFont>();
        ASSERT_TRUE(fontObject);
        com::Bstr face;
        EXPECT_EQ(fontObject->get_Name(face.Put()), S_OK);
        EXPECT_FALSE(face.Text().empty());

        // What the control makes of them.
        ProbeControl& probe = probes.Last();
        EXPECT_EQ(probe.UserMode(), run);
        EXPECT_EQ(probe.AmbientDisplayName(), L"Customer");
        EXPECT_EQ(probe.HostedChild() != nullptr, run) << "the probe hosts a window only at run";
    }
}

TEST(Siting, ChangingTheModeTellsEveryControl) {
    ProbeForm probes(SiteMode::Run);
    probes.Add({L"Probe1", RECT{0, 0, 100, 24}});
    probes.Add({L"Probe2", RECT{0, 30, 100, 54}});
    probes.form.SetMode(SiteMode::Design);
    for (const Probe& probe : probes.probes) {
        EXPECT_FALSE(probe->UserMode());
        EXPECT_EQ(probe->HostedChild(), nullptr);
    }
    probes.form.SetMode(SiteMode::Run);
    for (const Probe& probe : probes.probes) EXPECT_NE(probe->HostedChild(), nullptr);
}

TEST(Siting, EveryControlHasANameOfItsOwn) {
    ProbeForm probes;
    probes.Add({L"Probe1", RECT{0, 0, 100, 24}});
    Probe second = com::MakeInstance<ProbeControl>();
    HRESULT hr = S_OK;
    EXPECT_EQ(probes.form.AddControl({L"PROBE1", RECT{0, 30, 100, 54}},
                                     static_cast<IOleObject*>(second.Get()), {}, &hr),
              nullptr);
    EXPECT_EQ(hr, E_INVALIDARG);
    EXPECT_EQ(second->ClientSite(), nullptr);
    EXPECT_EQ(probes.form.AddControl({L"", RECT{0, 30, 100, 54}},
                                     static_cast<IOleObject*>(second.Get()), {}, &hr),
              nullptr);
    EXPECT_EQ(probes.form.FindControl(L"probe1"), probes.form.Controls()[0]);
}

TEST(Siting, AClassThatIsNotRegisteredIsReportedNotSited) {
    ProbeForm probes;
    HRESULT hr = S_OK;
    EXPECT_EQ(probes.form.AddControl({L"Nothing1", RECT{0, 0, 10, 10}},
                                     std::wstring(L"Zelmor.NoSuchControl")),
              nullptr);
    EXPECT_EQ(probes.form.AddControl({L"Nothing1", RECT{0, 0, 10, 10}},
                                     std::wstring(L"Zelmor.NoSuchControl"), {}, &hr),
              nullptr);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_TRUE(probes.form.Controls().empty());
}

TEST(Siting, ClosingTheFormClosesEveryControlAndLetsGoOfIt) {
    ProbeForm probes;
    probes.Add({L"Probe1", RECT{0, 0, 100, 24}});
    Probe probe = probes.probes[0];
    probes.probes.clear();
    HWND window = probe->Window();
    ASSERT_TRUE(IsWindow(window));

    SendMessageW(probes.form.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(probes.form.Closed());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(probe->InPlaceActive());
    EXPECT_EQ(probe->ClientSite(), nullptr);
    EXPECT_TRUE(probes.form.Controls().empty());
}
