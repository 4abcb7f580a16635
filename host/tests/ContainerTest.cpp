// Frames and tab controls: the windows a control sits in inside a form. A control looks for its
// form by taking its site's window and, when that window is a frame or tab control of the
// host's own classes, the window above it; the form builds exactly that tree.
#include <gtest/gtest.h>

#include "ProbeForm.h"
#include "host/UserInput.h"

using namespace zelmor;
using namespace zelmor::host;
using namespace zelmor::host::testing;

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The form window as a control finds it: its in-place site's window, or its client site's,
// and one frame or tab window stepped over.
HWND FormWindowSeenBy(ProbeControl& probe) {
    auto site = com::ComPtr<IOleClientSite>(probe.ClientSite()).As<IOleWindow>();
    HWND window = nullptr;
    if (!site || FAILED(site->GetWindow(&window))) return nullptr;
    std::wstring name = ClassOf(window);
    for (const wchar_t* container :
         {L"ThunderFrame", L"ThunderRT5Frame", L"ThunderRTFrame", L"SSTabCtlWndClass"}) {
        if (name == container) return GetParent(window);
    }
    return window;
}

}  // namespace

TEST(Containers, AControlInAFrameOrTabFindsTheFormAboveIt) {
    struct Case {
        const char* what;
        FrameClass frameClass;
        bool tab;
        const wchar_t* className;
    };
    const Case cases[] = {
        {"design-time frame", FrameClass::Design, false, L"ThunderFrame"},
        {"run-time frame", FrameClass::RunTime, false, L"ThunderRTFrame"},
        {"run-time frame (5)", FrameClass::RunTime5, false, L"ThunderRT5Frame"},
        {"tab control", FrameClass::Design, true, L"SSTabCtlWndClass"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeForm probes;
        Placement place{L"Box1", RECT{10, 10, 300, 200}};
        Container* box = c.tab ? static_cast<Container*>(probes.form.AddTab(place, {L"A", L"B"}))
                               : probes.form.AddFrame(place, L"Box", c.frameClass);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ClassOf(box->Window()), c.className);
        ControlSite* site = probes.Add({L"Inside1", RECT{10, 40, 150, 64}, box});
        ASSERT_NE(site, nullptr);
        EXPECT_EQ(GetParent(site->ControlWindow()), box->Window());
        EXPECT_EQ(FormWindowSeenBy(probes.Last()), probes.form.Window());

        probes.Add({L"Outside1", RECT{10, 220, 150, 244}});
        EXPECT_EQ(FormWindowSeenBy(probes.Last()), probes.form.Window());
    }
}

TEST(Containers, AControlInAFrameInsideAFrameFindsTheOuterFrame) {
    ProbeForm probes;
    Frame* outer = probes.form.AddFrame({L"Outer", RECT{10, 10, 380, 280}}, L"Outer");
    Frame* inner = probes.form.AddFrame({L"Inner", RECT{10, 20, 300, 200}, outer}, L"Inner");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(GetParent(inner->Window()), outer->Window());
    probes.Add({L"Deep1", RECT{10, 30, 150, 54}, inner});
    // Only one container is stepped over.
    EXPECT_EQ(FormWindowSeenBy(probes.Last()), outer->Window());
    EXPECT_EQ(probes.form.FindContainer(L"inner"), inner);
}

TEST(Containers, ATabControlShowsTheControlsOfTheSelectedPageOnly) {
    ProbeForm probes;
    TabContainer* tab = probes.form.AddTab({L"Tab1", RECT{10, 10, 380, 280}}, {L"One", L"Two"});
    ControlSite* first = probes.Add({L"First", RECT{10, 40, 150, 64}, tab, 0});
    ControlSite* second = probes.Add({L"Second", RECT{10, 40, 150, 64}, tab, 1});
    Frame* frame = probes.form.AddFrame({L"Frame1", RECT{160, 40, 360, 200}, tab, 1}, L"On two");
    ASSERT_TRUE(first && second && frame);
    EXPECT_TRUE(IsWindowVisible(first->ControlWindow()));
    EXPECT_FALSE(IsWindowVisible(second->ControlWindow()));
    EXPECT_FALSE(IsWindowVisible(frame->Window()));

    // A click on the second tab, as the mouse gives it.
    RECT tabTwo = tab->TabRect(1);
    SendMessageW(tab->Window(), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((tabTwo.left + tabTwo.right) / 2, tabTwo.bottom / 2));
    EXPECT_EQ(tab->SelectedPage(), 1);
    EXPECT_FALSE(IsWindowVisible(first->ControlWindow()));
    EXPECT_TRUE(IsWindowVisible(second->ControlWindow()));
    EXPECT_TRUE(IsWindowVisible(frame->Window()));

    EXPECT_TRUE(tab->Select(0));
    EXPECT_TRUE(IsWindowVisible(first->ControlWindow()));
    EXPECT_FALSE(tab->Select(2));
    EXPECT_EQ(tab->SelectedPage(), 0);
}

TEST(Containers, NamesAreSharedByControlsAndContainers) {
    ProbeForm probes;
    ASSERT_NE(probes.form.AddFrame({L"Frame1", RECT{0, 0, 100, 100}}, L""), nullptr);
    EXPECT_EQ(probes.form.AddTab({L"FRAME1", RECT{0, 0, 100, 100}}, {L"A"}), nullptr);
    EXPECT_EQ(probes.form.AddFrame({L"", RECT{0, 0, 100, 100}}, L""), nullptr);
    Probe probe = com::MakeInstance<ProbeControl>();
    EXPECT_EQ(probes.form.AddControl({L"Frame1", RECT{0, 0, 10, 10}},
                                     static_cast<IOleObject*>(probe.Get())),
              nullptr);
}
