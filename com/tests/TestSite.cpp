#include "TestSite.h"

namespace zelmor::com::testing {

namespace {

const wchar_t kContainerClass[] = L"ZelmorTestContainer";

ATOM RegisterContainerClass() {
    static ATOM atom = [] {
        WNDCLASSEXW description{};
        description.cbSize = sizeof description;
        description.lpfnWndProc = DefWindowProcW;
        description.hInstance = GetModuleHandleW(nullptr);
        description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        description.lpszClassName = kContainerClass;
        return RegisterClassExW(&description);
    }();
    return atom;
}

}  // namespace

TestSite::TestSite() {
    RegisterContainerClass();
    window_ = CreateWindowExW(0, kContainerClass, L"Test container",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 400, 300,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TestSite::~TestSite() {
    if (window_) DestroyWindow(window_);
}

std::vector<std::string> TestSite::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls) {
        if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
    }
    return found;
}

void* TestSite::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
        return static_cast<IOleClientSite*>(this);
    }
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
        return static_cast<IOleInPlaceSite*>(this);
    }
    if (iid == IID_IOleControlSite) return static_cast<IOleControlSite*>(this);
    if (iid == IID_IDispatch) return static_cast<IDispatch*>(this);
    if (iid == IID_IPropertyNotifySink) return static_cast<IPropertyNotifySink*>(this);
    return nullptr;
}

STDMETHODIMP TestSite::SaveObject() {
    calls.push_back("SaveObject");
    return S_OK;
}

STDMETHODIMP TestSite::GetContainer(IOleContainer** out) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP TestSite::ShowObject() {
    calls.push_back("ShowObject");
    return S_OK;
}

STDMETHODIMP TestSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
}

STDMETHODIMP TestSite::OnInPlaceActivate() {
    calls.push_back("OnInPlaceActivate");
    return S_OK;
}

STDMETHODIMP TestSite::OnUIActivate() {
    calls.push_back("OnUIActivate");
    return S_OK;
}

STDMETHODIMP TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                        LPRECT positionOut, LPRECT clip,
                                        LPOLEINPLACEFRAMEINFO info) {
    // No frame and no document window: the control must cope without them.
    if (frame) *frame = nullptr;
    if (document) *document = nullptr;
    if (positionOut) *positionOut = position;
    if (clip) *clip = position;
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP TestSite::OnUIDeactivate(BOOL) {
    calls.push_back("OnUIDeactivate");
    return S_OK;
}

STDMETHODIMP TestSite::OnInPlaceDeactivate() {
    calls.push_back("OnInPlaceDeactivate");
    if (touchOnDeactivate) {
        IUnknown* control = nullptr;
        touchOnDeactivate->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&control));
        if (control) control->Release();
    }
    return S_OK;
}

STDMETHODIMP TestSite::TranslateAccelerator(MSG* msg, DWORD modifiers) {
    calls.push_back("TranslateAccelerator " + std::to_string(msg ? msg->message : 0) + " " +
                    std::to_string(modifiers));
    return S_FALSE;
}

STDMETHODIMP TestSite::OnFocus(BOOL gotFocus) {
    calls.push_back(std::string("OnFocus ") + (gotFocus ? "1" : "0"));
    return S_OK;
}

STDMETHODIMP TestSite::ShowPropertyFrame() {
    calls.push_back("ShowPropertyFrame");
    return S_OK;
}

STDMETHODIMP TestSite::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP TestSite::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                              EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    switch (dispid) {
        case DISPID_AMBIENT_USERMODE:
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = userMode ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case DISPID_AMBIENT_DISPLAYNAME:
            if (displayName.empty()) return DISP_E_MEMBERNOTFOUND;
            V_VT(result) = VT_BSTR;
            V_BSTR(result) = SysAllocString(displayName.c_str());
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

STDMETHODIMP TestSite::OnChanged(DISPID dispid) {
    calls.push_back("Changed " + std::to_string(dispid));
    return S_OK;
}

STDMETHODIMP TestSite::OnRequestEdit(DISPID dispid) {
    calls.push_back("RequestEdit " + std::to_string(dispid));
    return refuseEdits ? S_FALSE : S_OK;
}

}  // namespace zelmor::com::testing
