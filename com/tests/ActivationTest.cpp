// In-place activation in the test container: the control's window and its hosted child, UI
// activation, verbs, drawing through the window and through IViewObject2, and pages.
#include <gtest/gtest.h>
#include <olectl.h>

#include "HostedControl.h"
#include "TestSink.h"
#include "com/Metrics.h"

using namespace zelmor::com;
using namespace zelmor::com::testing;

namespace {

HRESULT Verb(HostedControl& hosted, LONG verb) {
    return hosted.control->DoVerb(verb, nullptr, hosted.site.Get(), 0, hosted.site->Window(),
                                  &hosted.site->position);
}

RECT RectInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

}  // namespace

TEST(Activation, InPlaceActivationCreatesTheWindowWhereTheSiteSays) {
    HostedControl hosted;
    EXPECT_EQ(Verb(hosted, OLEIVERB_INPLACEACTIVATE), S_OK);
    HWND window = hosted.control->Window();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), hosted.site->Window());
    EXPECT_TRUE(RectInParent(window) == hosted.site->position);
    EXPECT_TRUE(IsWindowVisible(window));
    HWND reported = nullptr;
    EXPECT_EQ(hosted.control->GetWindow(&reported), S_OK);
    EXPECT_EQ(reported, window);
    EXPECT_FALSE(hosted.control->UIActive());
    EXPECT_EQ(hosted.site->CallsStartingWith("OnInPlaceActivate").size(), 1u);
    EXPECT_TRUE(hosted.site->CallsStartingWith("OnUIActivate").empty());

    // The hosted child fills the control's window.
    HWND child = hosted.control->HostedChild();
    ASSERT_TRUE(IsWindow(child));
    EXPECT_EQ(GetParent(child), window);
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    EXPECT_STREQ(className, L"Edit");

    EXPECT_EQ(hosted.control->InPlaceDeactivate(), S_OK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(hosted.control->Window(), nullptr);
    EXPECT_EQ(hosted.site->CallsStartingWith("OnInPlaceDeactivate").size(), 1u);
}

TEST(Activation, UIActivationFocusesTheChildAndDeactivationUndoesIt) {
    HostedControl hosted;
    ASSERT_EQ(Verb(hosted, OLEIVERB_UIACTIVATE), S_OK);
    EXPECT_TRUE(hosted.control->UIActive());
    EXPECT_EQ(GetFocus(), hosted.control->HostedChild());
    EXPECT_EQ(hosted.site->CallsStartingWith("OnUIActivate").size(), 1u);
    EXPECT_EQ(hosted.site->CallsStartingWith("OnFocus 1").size(), 1u);

    ASSERT_EQ(hosted.control->InPlaceDeactivate(), S_OK);
    std::vector<std::string> order;
    for (const std::string& call : hosted.site->calls) {
        if (call == "OnUIDeactivate" || call == "OnInPlaceDeactivate") order.push_back(call);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"OnUIDeactivate", "OnInPlaceDeactivate"}));
}

TEST(Activation, SiteLearnsWhenFocusEntersOrLeavesTheControlButNotWhenItMovesInside) {
    HostedControl hosted;
    ASSERT_EQ(Verb(hosted, OLEIVERB_UIACTIVATE), S_OK);
    ASSERT_EQ(GetFocus(), hosted.control->HostedChild());
    SetFocus(hosted.control->Window());  // forwarded to the child again
    EXPECT_EQ(GetFocus(), hosted.control->HostedChild());
    EXPECT_TRUE(hosted.site->CallsStartingWith("OnFocus 0").empty());

    HWND elsewhere = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 200, 200, 50, 20,
                                     hosted.site->Window(), nullptr, nullptr, nullptr);
    SetFocus(elsewhere);
    EXPECT_EQ(hosted.site->CallsStartingWith("OnFocus 0").size(), 1u);
    // A click into the child brings the focus straight to it.
    SetFocus(hosted.control->HostedChild());
    EXPECT_EQ(hosted.site->CallsStartingWith("OnFocus 1").size(), 2u);
    DestroyWindow(elsewhere);
}

TEST(Activation, PrimaryVerbShowsPagesAtDesignTimeAndActivatesAtRunTime) {
    HostedControl design;
    design.site->userMode = false;
    EXPECT_EQ(Verb(design, OLEIVERB_PRIMARY), S_OK);
    EXPECT_EQ(design.site->CallsStartingWith("ShowPropertyFrame").size(), 1u);
    EXPECT_FALSE(design.control->InPlaceActive());

    HostedControl run;
    EXPECT_EQ(Verb(run, OLEIVERB_PRIMARY), S_OK);
    EXPECT_TRUE(run.control->InPlaceActive());
    EXPECT_TRUE(run.site->CallsStartingWith("ShowPropertyFrame").empty());

    EXPECT_EQ(Verb(run, 5), OLEOBJ_S_INVALIDVERB);
    EXPECT_EQ(Verb(run, OLEIVERB_HIDE), S_OK);
    EXPECT_FALSE(IsWindowVisible(run.control->Window()));
}

TEST(Activation, MouseActivationOfTheChildUIActivatesOnlyInRunMode) {
    HostedControl design;
    design.site->userMode = false;
    ASSERT_EQ(Verb(design, OLEIVERB_INPLACEACTIVATE), S_OK);
    SendMessageW(design.control->HostedChild(), WM_MOUSEACTIVATE,
                 reinterpret_cast<WPARAM>(design.site->Window()),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_FALSE(design.control->UIActive());

    HostedControl run;
    ASSERT_EQ(Verb(run, OLEIVERB_INPLACEACTIVATE), S_OK);
    LRESULT answer = SendMessageW(run.control->HostedChild(), WM_MOUSEACTIVATE,
                                  reinterpret_cast<WPARAM>(run.site->Window()),
                                  MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(answer, MA_ACTIVATE);
    EXPECT_TRUE(run.control->UIActive());
}

TEST(Activation, ObjectRectsMoveTheWindowAndSetTheExtent) {
    HostedControl hosted;
    ASSERT_EQ(Verb(hosted, OLEIVERB_INPLACEACTIVATE), S_OK);
    RECT moved{20, 30, 220, 130};
    EXPECT_EQ(hosted.control->SetObjectRects(&moved, &moved), S_OK);
    EXPECT_TRUE(RectInParent(hosted.control->Window()) == moved);
    RECT client;
    GetClientRect(hosted.control->HostedChild(), &client);
    EXPECT_EQ(client.right - client.left + 4, 200);  // within its client edge
    SIZEL extent{};
    hosted.control->GetExtent(DVASPECT_CONTENT, &extent);
    SIZEL expected = PixelsToHimetric(SIZE{200, 100});
    EXPECT_EQ(extent.cx, expected.cx);
    EXPECT_EQ(extent.cy, expected.cy);
}

TEST(Activation, ChildMessagesReachTheControlAndItsNotificationsBecomeEvents) {
    HostedControl hosted;
    ASSERT_EQ(Verb(hosted, OLEIVERB_INPLACEACTIVATE), S_OK);
    auto sink = MakeInstance<TestSink>(DIID__DTestControlEvents);
    ComPtr<IConnectionPoint> point;
    hosted.control->FindConnectionPoint(DIID__DTestControlEvents, point.Put());
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie), S_OK);

    HWND child = hosted.control->HostedChild();
    SendMessageW(child, WM_CHAR, L'z', 0);
    EXPECT_EQ(hosted.control->childCharacters, 1);
    wchar_t text[8] = {};
    GetWindowTextW(child, text, 8);
    EXPECT_STREQ(text, L"z");                  // passed on to the edit window itself
    EXPECT_EQ(sink->counts[DISPID_CLICK], 1);  // its change notification, as an event
}

TEST(View, WindowPaintingAndViewObjectDrawingUseTheControlsDrawing) {
    HostedControl hosted;
    ASSERT_EQ(Verb(hosted, OLEIVERB_INPLACEACTIVATE), S_OK);
    DestroyWindow(hosted.control->HostedChild());  // let the control's own face show
    int before = hosted.control->draws;
    RedrawWindow(hosted.control->Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(hosted.control->draws, before);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 64);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT white{0, 0, 64, 64};
    FillRect(memory, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECTL bounds{8, 8, 24, 24};
    auto view = hosted.control.As<IViewObject2>();
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    EXPECT_EQ(GetPixel(memory, 10, 10), TestControl::kFillColour);
    EXPECT_EQ(GetPixel(memory, 30, 30), RGB(255, 255, 255));
    EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, memory, &bounds, nullptr,
                         nullptr, 0),
              DV_E_DVASPECT);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST(View, AdviseSinkLearnsOfChangesWhileTheControlHasNoWindow) {
    struct ViewSink : ObjectRoot, IAdviseSink {
        int changes = 0;
        void* FindInterface(REFIID iid) override {
            return iid == IID_IUnknown || iid == IID_IAdviseSink ? static_cast<IAdviseSink*>(this)
                                                                 : nullptr;
        }
        STDMETHODIMP_(void) OnDataChange(FORMATETC*, STGMEDIUM*) override {}
        STDMETHODIMP_(void) OnViewChange(DWORD, LONG) override { ++changes; }
        STDMETHODIMP_(void) OnRename(IMoniker*) override {}
        STDMETHODIMP_(void) OnSave() override {}
        STDMETHODIMP_(void) OnClose() override {}
    };
    HostedControl hosted;
    auto sink = MakeInstance<ViewSink>();
    auto view = hosted.control.As<IViewObject2>();
    ASSERT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, sink.Get()), S_OK);
    hosted.control->put_Number(1);
    EXPECT_EQ(sink->changes, 1);
    view->SetAdvise(DVASPECT_CONTENT, 0, nullptr);
}

TEST(PropertyPages, ControlNamesItsPages) {
    auto control = MakeInstance<TestControl>();
    CAUUID pages{};
    ASSERT_EQ(control->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 1u);
    EXPECT_TRUE(IsEqualGUID(pages.pElems[0], CLSID_CFontPropPage));
    CoTaskMemFree(pages.pElems);

    DWORD status = 0;
    EXPECT_EQ(control->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
}
