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
const UINT_PTR kMainChildId = 1;

// The hosted window a notification or colour request names in its handle argument.
HWND HostedWindowOf(LPARAM lParam) { return reinterpret_cast<HWND>(lParam); }

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
    auto* control = reinterpret_cast<ControlBase*>(GetWindowLongPtrW(child, GWLP_USERDATA));
    if (!control) return DefWindowProcW(child, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The child leaves: give it back its own procedure.
        WNDPROC original = nullptr;
        for (const auto& entry : control->children_) {
            if (entry.window == child) original = entry.procedure;
        }
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrW(child, GWLP_USERDATA, 0);
        control->ForgetChild(child);
        return original ? CallWindowProcW(original, child, message, wParam, lParam)
                        : DefWindowProcW(child, message, wParam, lParam);
    }
    return control->HandleChildMessage(child, message, wParam, lParam);
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
    children_.clear();
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

LRESULT ControlBase::HandleChildMessage(HWND child, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
    InternalAddRef();
    LRESULT result = 0;
    try {
        if (!OnChildMessage(child, message, wParam, lParam, result)) {
            result = CallChildProcedure(child, message, wParam, lParam);
        }
    } catch (...) {
        result = 0;
    }
    InternalRelease();
    return result;
}

LRESULT ControlBase::CallChildProcedure(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
    for (const SubclassedChild& entry : children_) {
        if (entry.window == child) {
            return CallWindowProcW(entry.procedure, child, message, wParam, lParam);
        }
    }
    return DefWindowProcW(child, message, wParam, lParam);
}

bool ControlBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_CREATE:
            OnWindowCreated();
            ApplyFont();
            ApplyEnabled();
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
            LayoutChildren(LOWORD(lParam), HIWORD(lParam));
            InvalidateRect(window_, nullptr, TRUE);
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
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) != window_ || !SetStockCursor()) return false;
            result = TRUE;
            return true;
        case WM_COMMAND:
            return lParam != 0 && OnCommand(HostedWindowOf(lParam), HIWORD(wParam));
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
            result = reinterpret_cast<LRESULT>(
                OnChildColor(HostedWindowOf(lParam), reinterpret_cast<HDC>(wParam), message));
            return true;
        case WM_HSCROLL:
        case WM_VSCROLL:
            return lParam != 0 && OnScroll(HostedWindowOf(lParam), message == WM_VSCROLL,
                                           LOWORD(wParam), HIWORD(wParam));
        default:
            return false;
    }
}

bool ControlBase::OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                                 LRESULT& result) {
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
        case WM_SETCURSOR:
            if (!SetStockCursor()) return false;
            result = TRUE;
            return true;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (!(class_.stockEvents & kMouseEvents)) return false;
            FireMouseEvent(message, wParam, lParam);
            result = CallChildProcedure(child, message, wParam, lParam);
            return true;
        default:
            return false;
    }
}

void ControlBase::LayoutChildren(int width, int height) {
    if (child_) MoveWindow(child_, 0, 0, width, height, TRUE);
}

// Focus moving between the control's window and its child stays with the control: the site
// hears only of focus coming from outside and going outside.
bool ControlBase::InsideControl(HWND window) const {
    return window && (window == window_ || IsChild(window_, window));
}

void ControlBase::FocusArriving(HWND previous) {
    if (InsideControl(previous)) return;
    OnFocusArrived();
    if (auto site = clientSite_.As<IOleControlSite>()) site->OnFocus(TRUE);
}

void ControlBase::FocusLeaving(HWND next) {
    if (InsideControl(next)) return;
    if (auto site = clientSite_.As<IOleControlSite>()) site->OnFocus(FALSE);
}

HWND ControlBase::Subclass(HWND child) {
    // The owner is kept in the window's user data, not in a window property: every message of
    // the window looks it up, and a property lookup costs a trip to the window server under Wine.
    SetWindowLongPtrW(child, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(static_cast<ControlBase*>(this)));
    auto original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlWindow::ChildProcedure)));
    children_.push_back(SubclassedChild{child, original});
    return child;
}

void ControlBase::ForgetChild(HWND child) {
    for (auto it = children_.begin(); it != children_.end(); ++it) {
        if (it->window == child) {
            children_.erase(it);
            break;
        }
    }
    if (child_ == child) child_ = nullptr;
}

HWND ControlBase::CreateHostedChild(const wchar_t* className, DWORD style, DWORD exStyle,
                                    const wchar_t* text) {
    DestroyHostedChild();
    if (!window_) return nullptr;
    RECT client;
    GetClientRect(window_, &client);
    HWND child = CreateWindowExW(exStyle, className, text, style | WS_CHILD, 0, 0, client.right,
                                 client.bottom, window_, reinterpret_cast<HMENU>(kMainChildId),
                                 ModuleState::Instance(), nullptr);
    if (!child) return nullptr;
    child_ = Subclass(child);
    LayoutChildren(client.right, client.bottom);
    return child;
}

HWND ControlBase::AddHostedChild(const wchar_t* className, DWORD style, DWORD exStyle,
                                 const RECT& place, const wchar_t* text) {
    if (!window_) return nullptr;
    HWND child = CreateWindowExW(exStyle, className, text, style | WS_CHILD, place.left,
                                 place.top, place.right - place.left, place.bottom - place.top,
                                 window_, nullptr, ModuleState::Instance(), nullptr);
    return child ? Subclass(child) : nullptr;
}

std::wstring ControlBase::TextOfWindow(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void ControlBase::DestroyHostedChild() {
    if (child_) DestroyWindow(child_);
    child_ = nullptr;
}

}  // namespace zelmor::com
