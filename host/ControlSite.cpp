#include "host/ControlSite.h"

#include "com/Guarded.h"
#include "com/Metrics.h"

namespace zelmor::host {

namespace {

using com::ComPtr;

const NamedMember kAmbientMembers[] = {
    {L"BackColor", DISPID_AMBIENT_BACKCOLOR},
    {L"DisplayName", DISPID_AMBIENT_DISPLAYNAME},
    {L"Font", DISPID_AMBIENT_FONT},
    {L"ForeColor", DISPID_AMBIENT_FORECOLOR},
    {L"LocaleID", DISPID_AMBIENT_LOCALEID},
    {L"MessageReflect", DISPID_AMBIENT_MESSAGEREFLECT},
    {L"UserMode", DISPID_AMBIENT_USERMODE},
    {L"UIDead", DISPID_AMBIENT_UIDEAD},
    {L"ShowGrabHandles", DISPID_AMBIENT_SHOWGRABHANDLES},
    {L"ShowHatching", DISPID_AMBIENT_SHOWHATCHING},
};

void SetBool(VARIANT* value, bool flag) {
    V_VT(value) = VT_BOOL;
    V_BOOL(value) = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetLong(VARIANT* value, LONG number) {
    V_VT(value) = VT_I4;
    V_I4(value) = number;
}

}  // namespace

ControlSite::ControlSite(SiteHost& host, std::wstring name, HWND window, const RECT& rect)
    : NamedDispatch(kAmbientMembers),
      host_(&host),
      name_(std::move(name)),
      window_(window),
      rect_(rect),
      events_(com::MakeInstance<EventSink>()),
      notifications_(com::MakeInstance<PropertyNotifySink>()) {}

void* ControlSite::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
        return static_cast<IOleClientSite*>(this);
    }
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite || iid == IID_IOleInPlaceSiteEx) {
        return static_cast<IOleInPlaceSiteEx*>(this);
    }
    if (iid == IID_IOleControlSite) return static_cast<IOleControlSite*>(this);
    if (iid == IID_IDispatch) return static_cast<IDispatch*>(this);
    if (iid == IID_IGetVBAObject) return static_cast<IGetVBAObject*>(this);
    return nullptr;
}

// --- The control's life on the form ---

HRESULT ControlSite::Attach(IUnknown* control, PropertyBag* bag) {
    if (!control) return E_POINTER;
    object_ = ComPtr<IUnknown>(control);
    oleObject_ = object_.As<IOleObject>();
    if (!oleObject_) {
        object_ = nullptr;
        return E_NOINTERFACE;
    }
    dispatch_ = object_.As<IDispatch>();
    // Connected first, so that what the control does while it is sited and loaded is seen.
    events_->Connect(control);
    notifications_->Connect(control);

    DWORD status = 0;
    oleObject_->GetMiscStatus(DVASPECT_CONTENT, &status);
    auto* clientSite = static_cast<IOleClientSite*>(this);
    if (status & OLEMISC_SETCLIENTSITEFIRST) oleObject_->SetClientSite(clientSite);
    LoadProperties(bag);
    if (!(status & OLEMISC_SETCLIENTSITEFIRST)) oleObject_->SetClientSite(clientSite);
    if (host_) oleObject_->SetHostNames(L"zelform", host_->FormName().c_str());

    SIZEL extent = com::PixelsToHimetric(SIZE{rect_.right - rect_.left, rect_.bottom - rect_.top});
    oleObject_->SetExtent(DVASPECT_CONTENT, &extent);
    if ((status & OLEMISC_INVISIBLEATRUNTIME) && host_ && host_->UserMode()) return S_OK;
    // A control that cannot be active in place is drawn by the form through its view.
    if (FAILED(DoVerb(OLEIVERB_INPLACEACTIVATE))) DoVerb(OLEIVERB_SHOW);
    return S_OK;
}

void ControlSite::LoadProperties(PropertyBag* bag) {
    bool hasValues = bag && !bag->Values().empty();
    auto bagPersistence = object_.As<IPersistPropertyBag>();
    auto streamPersistence = object_.As<IPersistStreamInit>();
    if (bagPersistence && hasValues) {
        HRESULT hr = bagPersistence->Load(bag, static_cast<IErrorLog*>(bag));
        loadProblems_ = bag->Errors();
        if (FAILED(hr)) loadProblems_.push_back(L"(all properties): " + HresultText(hr));
    } else if (streamPersistence) {
        streamPersistence->InitNew();
    } else if (bagPersistence) {
        bagPersistence->InitNew();
    }
    if (!hasValues) return;
    // What the control did not read (it does not persist it) is set like a script sets it.
    for (const NamedValue* unread : bag->Unread()) {
        HRESULT hr = dispatch_ ? PutProperty(dispatch_.Get(), unread->name, *unread->value.Get())
                               : E_NOINTERFACE;
        if (FAILED(hr)) loadProblems_.push_back(unread->name + L": " + HresultText(hr));
    }
}

void ControlSite::Detach() {
    ComPtr<IOleObject> oleObject = std::move(oleObject_);
    if (oleObject) oleObject->Close(OLECLOSE_NOSAVE);
    events_->Disconnect();
    notifications_->Disconnect();
    if (oleObject) oleObject->SetClientSite(nullptr);
    inPlaceObject_ = nullptr;
    dispatch_ = nullptr;
    object_ = nullptr;
    inPlaceActive_ = uiActive_ = false;
    host_ = nullptr;
}

HRESULT ControlSite::DoVerb(LONG verb) {
    if (!oleObject_) return E_UNEXPECTED;
    return oleObject_->DoVerb(verb, nullptr, static_cast<IOleClientSite*>(this), 0, window_,
                              &rect_);
}

HWND ControlSite::ControlWindow() const {
    HWND window = nullptr;
    if (inPlaceObject_ && FAILED(inPlaceObject_->GetWindow(&window))) window = nullptr;
    return window;
}

void ControlSite::UIDeactivate() {
    if (uiActive_ && inPlaceObject_) inPlaceObject_->UIDeactivate();
}

void ControlSite::SetVisible(bool visible) {
    visible_ = visible;
    if (!visible) UIDeactivate();
    if (HWND window = ControlWindow()) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
    InvalidateRect(window_, &rect_, TRUE);
}

void ControlSite::AmbientChanged(DISPID dispid) {
    if (auto control = object_.As<IOleControl>()) control->OnAmbientPropertyChange(dispid);
}

void ControlSite::DrawInactive(HDC dc) {
    if (inPlaceActive_ || !visible_) return;
    auto view = object_.As<IViewObject>();
    if (!view) return;
    RECTL bounds{rect_.left, rect_.top, rect_.right, rect_.bottom};
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
}

HRESULT ControlSite::Get(const std::wstring& name, VARIANT* value, const VARIANT* index) const {
    return dispatch_ ? GetProperty(dispatch_.Get(), name, value, index) : E_NOINTERFACE;
}

HRESULT ControlSite::Put(const std::wstring& name, const VARIANT& value, const VARIANT* index) {
    return dispatch_ ? PutProperty(dispatch_.Get(), name, value, index) : E_NOINTERFACE;
}

HRESULT ControlSite::Call(const std::wstring& name, const std::vector<com::Variant>& arguments,
                          CallResult* result) {
    return dispatch_ ? CallMethod(dispatch_.Get(), name, arguments, result) : E_NOINTERFACE;
}

// --- IOleClientSite ---

STDMETHODIMP ControlSite::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetContainer(IOleContainer** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return host_ ? host_->GetContainer(out) : E_UNEXPECTED;
}

// --- IOleInPlaceSite ---

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
}

STDMETHODIMP ControlSite::OnInPlaceActivate() {
    inPlaceActive_ = true;
    inPlaceObject_ = object_.As<IOleInPlaceObject>();
    return S_OK;
}

STDMETHODIMP ControlSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD) {
    if (noRedraw) *noRedraw = FALSE;
    return OnInPlaceActivate();
}

STDMETHODIMP ControlSite::OnUIActivate() {
    if (host_) host_->SiteUIActivating(*this);
    uiActive_ = true;
    return S_OK;
}

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip,
                                           LPOLEINPLACEFRAMEINFO info) {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = nullptr;
    *document = nullptr;  // the form is its own frame; there is no separate document window
    if (host_) host_->GetFrame(frame);
    *position = rect_;
    *clip = rect_;
    info->cb = sizeof(OLEINPLACEFRAMEINFO);
    info->fMDIApp = FALSE;
    info->hwndFrame = host_ ? host_->FormWindow() : nullptr;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP ControlSite::OnUIDeactivate(BOOL) {
    uiActive_ = false;
    return S_OK;
}

STDMETHODIMP ControlSite::OnInPlaceDeactivate() {
    inPlaceActive_ = false;
    uiActive_ = false;
    inPlaceObject_ = nullptr;
    return S_OK;
}

STDMETHODIMP ControlSite::DeactivateAndUndo() {
    if (inPlaceObject_) inPlaceObject_->UIDeactivate();
    return S_OK;
}

STDMETHODIMP ControlSite::OnPosRectChange(LPCRECT position) {
    if (!position) return E_POINTER;
    rect_ = *position;
    if (inPlaceObject_) inPlaceObject_->SetObjectRects(&rect_, &rect_);
    return S_OK;
}

// --- IOleControlSite ---

STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    if (!himetric || !container) return E_POINTER;
    // The form's unit is the pixel.
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        SIZE pixels = com::HimetricToPixels(SIZEL{himetric->x, himetric->y});
        container->x = static_cast<float>(pixels.cx);
        container->y = static_cast<float>(pixels.cy);
        return S_OK;
    }
    if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
        SIZEL units = com::PixelsToHimetric(
            SIZE{static_cast<LONG>(container->x), static_cast<LONG>(container->y)});
        himetric->x = units.cx;
        himetric->y = units.cy;
        return S_OK;
    }
    return E_INVALIDARG;
}

STDMETHODIMP ControlSite::ShowPropertyFrame() {
    if (!host_) return E_UNEXPECTED;
    return com::Guarded([&] { return host_->ShowPropertyFrame(*this); });
}

// --- IGetVBAObject ---

STDMETHODIMP ControlSite::GetObject(REFIID iid, void** out, DWORD) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return host_ ? host_->GetFormatter(iid, out) : E_UNEXPECTED;
}

// --- Ambient properties ---

HRESULT ControlSite::ReadMember(DISPID dispid, VARIANT* value) {
    if (!host_) return DISP_E_MEMBERNOTFOUND;
    bool userMode = host_->UserMode();
    switch (dispid) {
        case DISPID_AMBIENT_USERMODE:
            SetBool(value, userMode);
            return S_OK;
        case DISPID_AMBIENT_DISPLAYNAME:
            V_VT(value) = VT_BSTR;
            V_BSTR(value) = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
            return V_BSTR(value) ? S_OK : E_OUTOFMEMORY;
        case DISPID_AMBIENT_BACKCOLOR:
            SetLong(value, static_cast<LONG>(kAmbientBackColor));
            return S_OK;
        case DISPID_AMBIENT_FORECOLOR:
            SetLong(value, static_cast<LONG>(kAmbientForeColor));
            return S_OK;
        case DISPID_AMBIENT_FONT: {
            IFontDisp* font = nullptr;
            HRESULT hr = host_->GetAmbientFont(&font);
            if (FAILED(hr)) return hr;
            V_VT(value) = VT_DISPATCH;
            V_DISPATCH(value) = font;
            return S_OK;
        }
        case DISPID_AMBIENT_LOCALEID:
            SetLong(value, static_cast<LONG>(GetUserDefaultLCID()));
            return S_OK;
        case DISPID_AMBIENT_MESSAGEREFLECT:
        case DISPID_AMBIENT_UIDEAD:
            SetBool(value, false);
            return S_OK;
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_SHOWHATCHING:
            SetBool(value, !userMode);
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace zelmor::host
