// Verbs and in-place activation: the control's window is created inside the container's
// window when the control becomes in-place active and destroyed when it is deactivated; UI
// activation makes it the container's active object.
#include <olectl.h>

#include <vector>

#include "com/ControlBase.h"
#include "com/Guarded.h"
#include "com/Metrics.h"

namespace zelmor::com {

STDMETHODIMP ControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
            // At design time the primary verb opens the property pages.
            return UserMode() ? InPlaceActivate(OLEIVERB_INPLACEACTIVATE)
                              : ShowPropertyPages(parent);
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(verb);
        case OLEIVERB_HIDE:
            UIDeactivate();
            if (window_) ShowWindow(window_, SW_HIDE);
            return S_OK;
        case OLEIVERB_PROPERTIES:
            return ShowPropertyPages(parent);
        case OLEIVERB_OPEN:
        case OLEIVERB_DISCARDUNDOSTATE:
            return S_OK;
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT ControlBase::InPlaceActivate(LONG verb) {
    if (!clientSite_) return E_UNEXPECTED;
    if (!inPlaceActive_) {
        auto site = clientSite_.As<IOleInPlaceSite>();
        if (!site || site->CanInPlaceActivate() != S_OK) return E_FAIL;
        inPlaceActive_ = true;
        inPlaceSite_ = site;
        site->OnInPlaceActivate();
        HWND parent = nullptr;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        if (FAILED(site->GetWindow(&parent)) || !parent ||
            FAILED(site->GetWindowContext(frame_.Put(), uiWindow_.Put(), &position, &clip,
                                          &frameInfo))) {
            InPlaceDeactivate();
            return E_FAIL;
        }
        position_ = position;
        CreateControlWindow(parent, position);
        if (!window_) {
            InPlaceDeactivate();
            return E_FAIL;
        }
    }
    if ((verb == OLEIVERB_PRIMARY || verb == OLEIVERB_UIACTIVATE) && !uiActive_) {
        HRESULT hr = UIActivate();
        if (FAILED(hr)) return hr;
    }
    if (window_) ShowWindow(window_, SW_SHOWNA);
    if (clientSite_) clientSite_->ShowObject();
    return S_OK;
}

HRESULT ControlBase::UIActivate() {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    if (window_ && GetFocus() != window_ && !IsChild(window_, GetFocus())) SetFocus(window_);
    auto* self = static_cast<IOleInPlaceActiveObject*>(this);
    if (frame_) {
        frame_->SetActiveObject(self, nullptr);
        frame_->SetBorderSpace(nullptr);
    }
    if (uiWindow_) {
        uiWindow_->SetActiveObject(self, nullptr);
        uiWindow_->SetBorderSpace(nullptr);
    }
    return S_OK;
}

STDMETHODIMP ControlBase::UIDeactivate() {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP ControlBase::InPlaceDeactivate() {
    if (!inPlaceActive_) return S_OK;
    UIDeactivate();
    inPlaceActive_ = false;
    DestroyControlWindow();
    ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
    frame_ = nullptr;
    uiWindow_ = nullptr;
    if (site) site->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP ControlBase::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    SIZE size{position->right - position->left, position->bottom - position->top};
    SIZE oldSize{position_.right - position_.left, position_.bottom - position_.top};
    if (size.cx != oldSize.cx || size.cy != oldSize.cy) extent_ = PixelsToHimetric(size);
    position_ = *position;
    if (window_) {
        SetWindowPos(window_, nullptr, position->left, position->top, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return S_OK;
}

STDMETHODIMP ControlBase::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP ControlBase::TranslateAccelerator(LPMSG msg) {
    if (!msg) return E_POINTER;
    return OnTranslateAccelerator(msg);
}

short ControlBase::KeyShiftState() {
    short state = 0;
    if (GetKeyState(VK_SHIFT) < 0) state |= 1;
    if (GetKeyState(VK_CONTROL) < 0) state |= 2;
    if (GetKeyState(VK_MENU) < 0) state |= 4;
    return state;
}

// KeyPress handlers decide what becomes of the character: 0 drops it (the host does not pass it
// on to the window), another code replaces it.
HRESULT ControlBase::OnTranslateAccelerator(MSG* msg) {
    const short shift = KeyShiftState();
    if (!(class_.stockEvents & kKeyEvents)) return TranslateThroughSite(msg, shift);
    switch (msg->message) {
        case WM_KEYDOWN:
            FireKeyEvent(DISPID_KEYDOWN, static_cast<short>(msg->wParam), shift);
            return TranslateThroughSite(msg, shift);
        case WM_KEYUP:
            if (FireKeyEvent(DISPID_KEYUP, static_cast<short>(msg->wParam), shift) == 0) {
                return S_FALSE;
            }
            return TranslateThroughSite(msg, shift);
        case WM_CHAR: {
            short character = FireKeyPress(static_cast<short>(msg->wParam));
            if (character == 0) return S_OK;
            msg->wParam = static_cast<WPARAM>(static_cast<unsigned short>(character));
            return TranslateThroughSite(msg, shift);
        }
        default:
            return TranslateThroughSite(msg, shift);
    }
}

HRESULT ControlBase::TranslateThroughSite(MSG* msg, DWORD shiftState) {
    auto site = clientSite_.As<IOleControlSite>();
    if (!site) return S_FALSE;
    return site->TranslateAccelerator(msg, shiftState);
}

HRESULT ControlBase::ShowPropertyPages(HWND parent) {
    // The container may show the pages in its own frame.
    if (auto site = clientSite_.As<IOleControlSite>()) {
        if (SUCCEEDED(site->ShowPropertyFrame())) return S_OK;
    }
    if (class_.pageCount == 0) return S_OK;
    return Guarded([&] {
        std::vector<CLSID> pages;
        for (size_t i = 0; i < class_.pageCount; ++i) pages.push_back(*class_.pages[i]);
        IUnknown* self = static_cast<IOleObject*>(this);
        std::wstring caption = AmbientDisplayName();
        return OleCreatePropertyFrame(parent, 0, 0, caption.c_str(), 1, &self,
                                      static_cast<ULONG>(pages.size()), pages.data(),
                                      LOCALE_USER_DEFAULT, 0, nullptr);
    });
}

}  // namespace zelmor::com
