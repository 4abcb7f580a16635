// The control's own window while it is in-place active, and the standard child window it may
// host. Messages of both reach the control class first (OnMessage, OnChildMessage); what it
// leaves goes to the default handling here and then to the windows' own procedures.
#include "com/ControlWindow.h"

#include <mutex>

#include "com/ControlBase.h"
#include "com/ModuleState.h"

namespace zelmor::com {

namespace {

const wchar_t kWindowClass[] = L"ZelmorControl";
// The window property through which a hosted child finds its control.
const wchar_t kOwnerProperty[] = L"ZelmorControlOwner";
const UINT_PTR kChildId = 1;

std::once_flag registration_once;
ATOM window_class = 0;

void RegisterControlWindowClass() {
    std::call_once(registration_once, [] {
        WNDCLASSEXW description{};
        description.cbSize = sizeof description;
        description.style = CS_DBLCLKS;
        description.lpfnWndProc = ControlWindow::Procedure;
        description.hInstance = ModuleState::Instance();
        description.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        description.lpszClassName = kWindowClass;
        window_class = RegisterClassExW(&description);
    });
}

}  // namespace

void UnregisterControlWindowClass() {
    if (window_class) UnregisterClassW(kWindowClass, ModuleState::Instance());
    window_class = 0;
}

LRESULT CALLBACK ControlWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* control = static_cast<ControlBase*>(create->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        control->window_ = window;
    }
    auto* control = reinterpret_cast<ControlBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!control) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        control->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return control->HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK ControlWindow::ChildProcedure(HWND child, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    auto* control = static_cast<ControlBase*>(GetPropW(child, kOwnerProperty));
    if (!control) return DefWindowProcW(child, message, wParam, lParam);
    WNDPROC original = control->childProcedure_;
    if (message == WM_NCDESTROY) {
        // The child leaves: give it back its own procedure.
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(child, kOwnerProperty);
        if (control->child_ == child) control->child_ = nullptr;
        return CallWindowProcW(original, child, message, wParam, lParam);
    }
    return control->HandleChildMessage(message, wParam, lParam);
}

void ControlBase::CreateControlWindow(HWND parent, const RECT& position) {
    RegisterControlWindowClass();
    CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                    position.left, position.top, position.right - position.left,
                    position.bottom - position.top, parent, nullptr, ModuleState::Instance(),
                    static_cast<ControlBase*>(this));
}

void ControlBase::DestroyControlWindow() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
    child_ = nullptr;
}

// No exception may leave a window procedure (the window system is not C++): a handler that
// throws leaves the message answered with 0.
LRESULT ControlBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    // A handler may release the last reference to the control.
    InternalAddRef();
    LRESULT result = 0;
    try {
        if (!OnMessage(message, wParam, lParam, result)) {
            result = DefWindowProcW(window, message, wParam, lParam);
        }
    } catch (...) {
        result = 0;
    }
    InternalRelease();
    return result;
}

LRESULT ControlBase::HandleChildMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND child = child_;
    WNDPROC original = childProcedure_;
    InternalAddRef();
    LRESULT result = 0;
    try {
        if (!OnChildMessage(message, wParam, lParam, result)) {
            result = CallWindowProcW(original, child, message, wParam, lParam);
        }
    } catch (...) {
        result = 0;
    }
    InternalRelease();
    return result;
}

bool ControlBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_CREATE:
            OnWindowCreated();
            return true;
        case WM_DESTROY:
            OnWindowDestroying();
            return true;
        case WM_ERASEBKGND:
            result = 1;  // OnDraw paints the whole area
            return true;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            RECT client;
            GetClientRect(window_, &client);
            OnDraw(dc, client);
            EndPaint(window_, &paint);
            return true;
        }
        case WM_SIZE:
            if (child_) MoveWindow(child_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return true;
        case WM_SETFOCUS:
            FocusArriving(reinterpret_cast<HWND>(wParam));
            if (child_) SetFocus(child_);
            return true;
        case WM_KILLFOCUS:
            FocusLeaving(reinterpret_cast<HWND>(wParam));
            return true;
        case WM_MOUSEACTIVATE:
            if (UserMode()) InPlaceActivate(OLEIVERB_UIACTIVATE);
            result = DefWindowProcW(window_, message, wParam, lParam);
            return true;
        default:
            return false;
    }
}

bool ControlBase::OnChildMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_MOUSEACTIVATE:
            // The click activates the control in run mode; the message stops here.
            if (UserMode()) InPlaceActivate(OLEIVERB_UIACTIVATE);
            result = MA_ACTIVATE;
            return true;
        case WM_SETFOCUS:
            // The child then handles these as usual.
            FocusArriving(reinterpret_cast<HWND>(wParam));
            return false;
        case WM_KILLFOCUS:
            FocusLeaving(reinterpret_cast<HWND>(wParam));
            return false;
        default:
            return false;
    }
}

// Focus moving between the control's window and its child stays with the control: the site
// hears only of focus coming from outside and going outside.
bool ControlBase::InsideControl(HWND window) const {
    return window && (window == window_ || IsChild(window_, window));
}

void ControlBase::FocusArriving(HWND previous) {
    if (InsideControl(previous)) return;
    if (auto site = clientSite_.As<IOleControlSite>()) site->OnFocus(TRUE);
}

void ControlBase::FocusLeaving(HWND next) {
    if (InsideControl(next)) return;
    if (auto site = clientSite_.As<IOleControlSite>()) site->OnFocus(FALSE);
}

HWND ControlBase::CreateHostedChild(const wchar_t* className, DWORD style, DWORD exStyle,
                                    const wchar_t* text) {
    DestroyHostedChild();
    if (!window_) return nullptr;
    RECT client;
    GetClientRect(window_, &client);
    HWND child = CreateWindowExW(exStyle, className, text, style | WS_CHILD, 0, 0, client.right,
                                 client.bottom, window_, reinterpret_cast<HMENU>(kChildId),
                                 ModuleState::Instance(), nullptr);
    if (!child) return nullptr;
    SetPropW(child, kOwnerProperty, static_cast<ControlBase*>(this));
    childProcedure_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlWindow::ChildProcedure)));
    child_ = child;
    return child;
}

void ControlBase::DestroyHostedChild() {
    if (child_) DestroyWindow(child_);
    child_ = nullptr;
}

}  // namespace zelmor::com
