// The control's embedding (IOleObject apart from its verbs), IOleControl, ambient
// properties, property notification, events, property pages and class information.
#include "com/ControlBase.h"

#include <olectl.h>

#include "com/Enumerator.h"
#include "com/Guarded.h"
#include "com/TypeLibrary.h"
#include "com/Variant.h"

namespace zelmor::com {

namespace {

using ConnectionPointEnumerator =
    Enumerator<IEnumConnectionPoints, IConnectionPoint*, InterfaceItem>;

}  // namespace

ControlBase::ControlBase(const ControlClass& controlClass)
    : class_(controlClass),
      events_(static_cast<IConnectionPointContainer*>(this), *controlClass.eventIid),
      propertyNotify_(static_cast<IConnectionPointContainer*>(this), IID_IPropertyNotifySink),
      extent_(controlClass.defaultExtent) {}

ControlBase::~ControlBase() = default;

void* ControlBase::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IOleObject) return static_cast<IOleObject*>(this);
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
        return static_cast<IOleInPlaceObject*>(this);
    }
    if (iid == IID_IOleInPlaceActiveObject) return static_cast<IOleInPlaceActiveObject*>(this);
    if (iid == IID_IOleControl) return static_cast<IOleControl*>(this);
    if (iid == IID_IViewObject || iid == IID_IViewObject2) {
        return static_cast<IViewObject2*>(this);
    }
    if (iid == IID_IPersist || iid == IID_IPersistStreamInit) {
        return static_cast<IPersistStreamInit*>(this);
    }
    if (iid == IID_IPersistPropertyBag) return static_cast<IPersistPropertyBag*>(this);
    if (iid == IID_IPersistStorage) return static_cast<IPersistStorage*>(this);
    if (iid == IID_IQuickActivate) return static_cast<IQuickActivate*>(this);
    if (iid == IID_IPerPropertyBrowsing) return static_cast<IPerPropertyBrowsing*>(this);
    if (iid == IID_ISpecifyPropertyPages) return static_cast<ISpecifyPropertyPages*>(this);
    if (iid == IID_IConnectionPointContainer) {
        return static_cast<IConnectionPointContainer*>(this);
    }
    if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) {
        return static_cast<IProvideClassInfo2*>(this);
    }
    return nullptr;
}

void ControlBase::FinalRelease() {
    InPlaceDeactivate();
    StopHearingFont();
    eventGate_.Discard();
    events_.DisconnectAll();
    propertyNotify_.DisconnectAll();
    storage_ = nullptr;
    ForgetAccelerators();
    viewSink_ = nullptr;
    adviseHolder_ = nullptr;
    clientSite_ = nullptr;
}

// --- IOleObject ---

STDMETHODIMP ControlBase::SetClientSite(IOleClientSite* site) {
    clientSite_ = ComPtr<IOleClientSite>(site);
    if (!site) return S_OK;
    return Guarded([&] {
        OnClientSiteSet();
        return S_OK;
    });
}

STDMETHODIMP ControlBase::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    return clientSite_.CopyTo(site);
}

STDMETHODIMP ControlBase::Close(DWORD saveOption) {
    InPlaceDeactivate();
    bool save = saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE;
    if (save && dirty_ && clientSite_) {
        clientSite_->SaveObject();
        if (adviseHolder_) adviseHolder_->SendOnSave();
    }
    if (adviseHolder_) adviseHolder_->SendOnClose();
    // Events held back for a container that goes away are not delivered later.
    eventGate_.Discard();
    return S_OK;
}

STDMETHODIMP ControlBase::EnumVerbs(IEnumOLEVERB** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return OLE_S_USEREG;  // the verbs are those the registration wrote
}

STDMETHODIMP ControlBase::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = *class_.clsid;
    return S_OK;
}

STDMETHODIMP ControlBase::GetUserType(DWORD, LPOLESTR* name) {
    if (!name) return E_POINTER;
    *name = nullptr;
    return OLE_S_USEREG;
}

STDMETHODIMP ControlBase::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    if (size->cx != extent_.cx || size->cy != extent_.cy) {
        extent_ = *size;
        dirty_ = true;
        FireViewChange();
    }
    return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP ControlBase::Advise(IAdviseSink* sink, DWORD* cookie) {
    if (!adviseHolder_) {
        HRESULT hr = CreateOleAdviseHolder(adviseHolder_.Put());
        if (FAILED(hr)) return hr;
    }
    return adviseHolder_->Advise(sink, cookie);
}

STDMETHODIMP ControlBase::Unadvise(DWORD cookie) {
    return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP ControlBase::EnumAdvise(IEnumSTATDATA** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(out) : E_FAIL;
}

STDMETHODIMP ControlBase::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!status) return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? class_.miscStatus : 0;
    return S_OK;
}

// --- IOleControl ---

// The table stays the control's: the container copies what it needs and does not free it.
STDMETHODIMP ControlBase::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof(CONTROLINFO);
    info->hAccel = accelerators_;
    info->cAccel = static_cast<USHORT>(accelerators_ ? acceleratorCount_ : 0);
    info->dwFlags = controlInfoFlags_;
    return S_OK;
}

STDMETHODIMP ControlBase::OnMnemonic(MSG* msg) {
    if (!msg) return E_POINTER;
    return Guarded([&] {
        ComPtr<IUnknown> keepAlive(static_cast<IOleObject*>(this));  // a click handler may let go
        OnMnemonicKey(*msg);
        return S_OK;
    });
}

void ControlBase::SetControlInfo(const std::vector<ACCEL>& keys, DWORD flags) {
    ForgetAccelerators();
    if (!keys.empty()) {
        std::vector<ACCEL> table = keys;
        accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
        acceleratorCount_ = accelerators_ ? static_cast<UINT>(table.size()) : 0;
    }
    controlInfoFlags_ = flags;
    if (auto site = clientSite_.As<IOleControlSite>()) site->OnControlInfoChanged();
}

void ControlBase::ForgetAccelerators() {
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    accelerators_ = nullptr;
    acceleratorCount_ = 0;
}

std::vector<ACCEL> MnemonicAccelerators(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        wchar_t key = caption[i + 1];
        if (key == L'&') {  // an ampersand shown as such
            ++i;
            continue;
        }
        SHORT scan = VkKeyScanW(key);
        if (scan == -1) return {};  // no key on the keyboard gives it
        auto vk = static_cast<WORD>(LOBYTE(scan));
        // With Alt from anywhere on the form, and the key alone where the focus does not type.
        return {ACCEL{FVIRTKEY | FALT, vk, 1}, ACCEL{FVIRTKEY, vk, 1}};
    }
    return {};
}

STDMETHODIMP ControlBase::OnAmbientPropertyChange(DISPID dispid) {
    if (dispid == DISPID_AMBIENT_USERMODE || dispid == DISPID_UNKNOWN) {
        quickUserModeKnown_ = false;  // asked from the site again
    }
    OnAmbientChanged(dispid);
    FireViewChange();
    return S_OK;
}

STDMETHODIMP ControlBase::FreezeEvents(BOOL freeze) {
    eventGate_.Freeze(freeze != FALSE);
    if (freeze || eventGate_.FreezeCount() > 0 || eventGate_.HeldCount() == 0) return S_OK;
    return Guarded([&] {
        ComPtr<IUnknown> keepAlive(static_cast<IOleObject*>(this));  // a handler may let go
        eventGate_.DeliverHeld(events_);
        return S_OK;
    });
}

// --- Ambient properties ---

HRESULT ControlBase::GetAmbientProperty(DISPID dispid, VARIANT* value) const {
    if (!value) return E_POINTER;
    VariantClear(value);
    auto ambient = clientSite_.As<IDispatch>();
    if (!ambient) return E_NOINTERFACE;
    DISPPARAMS none{};
    return ambient->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                           value, nullptr, nullptr);
}

bool ControlBase::UserMode() const {
    if (quickUserModeKnown_) return quickUserMode_;
    Variant value;
    if (FAILED(GetAmbientProperty(DISPID_AMBIENT_USERMODE, value.Get()))) return true;
    if (FAILED(VariantChangeType(value.Get(), value.Get(), 0, VT_BOOL))) return true;
    return V_BOOL(value.Get()) != VARIANT_FALSE;
}

std::wstring ControlBase::AmbientDisplayName() const {
    Variant value;
    if (FAILED(GetAmbientProperty(DISPID_AMBIENT_DISPLAYNAME, value.Get()))) return {};
    if (FAILED(VariantChangeType(value.Get(), value.Get(), 0, VT_BSTR))) return {};
    return TextOf(V_BSTR(value.Get()));
}

// --- Property notification ---

HRESULT ControlBase::SetStringProperty(DISPID dispid, std::wstring& field, BSTR value) {
    return SetProperty(dispid, field, TextOf(value));
}

bool ControlBase::RequestEdit(DISPID dispid) {
    if (loading_) return true;
    for (const ComPtr<IUnknown>& sink : propertyNotify_.Sinks()) {
        if (static_cast<IPropertyNotifySink*>(sink.Get())->OnRequestEdit(dispid) == S_FALSE) {
            return false;
        }
    }
    return true;
}

void ControlBase::PropertyChanged(DISPID dispid) {
    if (loading_) return;
    dirty_ = true;
    for (const ComPtr<IUnknown>& sink : propertyNotify_.Sinks()) {
        static_cast<IPropertyNotifySink*>(sink.Get())->OnChanged(dispid);
    }
    FireViewChange();
}

void ControlBase::FireViewChange() {
    if (window_) {
        InvalidateRect(window_, nullptr, TRUE);
    } else if (viewSink_ && (viewAspects_ & DVASPECT_CONTENT)) {
        viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
    }
}

// --- Events ---

void ControlBase::FireEvent(DISPID dispid, EventArguments& arguments) {
    // A sink may drop the last reference to the control while it handles the event.
    InternalAddRef();
    eventGate_.Fire(events_, dispid, arguments.Params());
    InternalRelease();
}

void ControlBase::FireEvent(DISPID dispid) {
    EventArguments none;
    FireEvent(dispid, none);
}

// --- ISpecifyPropertyPages ---

STDMETHODIMP ControlBase::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (class_.pageCount == 0) return S_OK;
    auto* elements = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * class_.pageCount));
    if (!elements) return E_OUTOFMEMORY;
    for (size_t i = 0; i < class_.pageCount; ++i) elements[i] = *class_.pages[i];
    pages->cElems = static_cast<ULONG>(class_.pageCount);
    pages->pElems = elements;
    return S_OK;
}

// --- IConnectionPointContainer ---

STDMETHODIMP ControlBase::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Guarded([&] {
        std::vector<IConnectionPoint*> points{&events_, &propertyNotify_};
        auto enumerator = MakeInstance<ConnectionPointEnumerator>(std::move(points));
        if (!enumerator) return E_OUTOFMEMORY;
        *out = static_cast<IEnumConnectionPoints*>(enumerator.Detach());
        return S_OK;
    });
}

STDMETHODIMP ControlBase::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ConnectionPoint* point = nullptr;
    if (iid == events_.Iid()) point = &events_;
    if (iid == propertyNotify_.Iid()) point = &propertyNotify_;
    if (!point) return CONNECT_E_NOCONNECTION;
    point->AddRef();
    *out = point;
    return S_OK;
}

// --- IProvideClassInfo2 ---

STDMETHODIMP ControlBase::GetClassInfo(ITypeInfo** out) {
    return ModuleTypeInfo(*class_.clsid, out);
}

STDMETHODIMP ControlBase::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = *class_.eventIid;
    return S_OK;
}

}  // namespace zelmor::com
