#include "host/EventSink.h"

#include <olectl.h>

#include <cwctype>

namespace zelmor::host {

namespace {

using com::ComPtr;

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// The type description of the control's default event interface, from its class information.
HRESULT DefaultEventInfo(IUnknown* control, ITypeInfo** out) {
    ComPtr<IProvideClassInfo> classInfo;
    HRESULT hr = control->QueryInterface(IID_IProvideClassInfo, classInfo.PutVoid());
    if (FAILED(hr)) return E_NOINTERFACE;
    ComPtr<ITypeInfo> coclass;
    hr = classInfo->GetClassInfo(coclass.Put());
    if (FAILED(hr)) return hr;
    TYPEATTR* attributes = nullptr;
    hr = coclass->GetTypeAttr(&attributes);
    if (FAILED(hr)) return hr;
    WORD count = attributes->cImplTypes;
    coclass->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < count; ++i) {
        INT flags = 0;
        HREFTYPE reference = 0;
        if (SUCCEEDED(coclass->GetImplTypeFlags(i, &flags)) && (flags & IMPLTYPEFLAG_FDEFAULT) &&
            (flags & IMPLTYPEFLAG_FSOURCE) &&
            SUCCEEDED(coclass->GetRefTypeOfImplType(i, &reference))) {
            return coclass->GetRefTypeInfo(reference, out);
        }
    }
    return E_NOINTERFACE;
}

}  // namespace

// --- EventCall ---

EventCall::EventCall(EventRecord record, DISPPARAMS* params,
                     const std::vector<std::wstring>* parameterNames)
    : record_(std::move(record)), params_(params), parameterNames_(parameterNames) {}

int EventCall::IndexOf(const std::wstring& name) const {
    if (!parameterNames_) return -1;
    for (size_t i = 0; i < parameterNames_->size(); ++i) {
        if (lstrcmpiW((*parameterNames_)[i].c_str(), name.c_str()) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

VARIANT* EventCall::Passed(size_t index) const {
    if (!params_ || index >= params_->cArgs) return nullptr;
    return &params_->rgvarg[params_->cArgs - 1 - index];  // they arrive last first
}

HRESULT EventCall::Set(size_t index, const VARIANT& value) {
    VARIANT* target = Passed(index);
    if (!target || !(V_VT(target) & VT_BYREF)) return E_INVALIDARG;
    VARTYPE type = V_VT(target) & ~VT_BYREF;
    if (type == VT_VARIANT) return VariantCopy(V_VARIANTREF(target), const_cast<VARIANT*>(&value));
    com::Variant converted;
    HRESULT hr = VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value), 0, type);
    if (FAILED(hr)) return hr;
    VARIANT* v = converted.Get();
    switch (type) {
        case VT_I2:
            *V_I2REF(target) = V_I2(v);
            break;
        case VT_I4:
            *V_I4REF(target) = V_I4(v);
            break;
        case VT_R4:
            *V_R4REF(target) = V_R4(v);
            break;
        case VT_R8:
            *V_R8REF(target) = V_R8(v);
            break;
        case VT_BOOL:
            *V_BOOLREF(target) = V_BOOL(v);
            break;
        case VT_UI1:
            *V_UI1REF(target) = V_UI1(v);
            break;
        case VT_CY:
            *V_CYREF(target) = V_CY(v);
            break;
        case VT_DATE:
            *V_DATEREF(target) = V_DATE(v);
            break;
        case VT_BSTR:
            // The control's string is replaced: the old one is freed, the new one handed over.
            SysFreeString(*V_BSTRREF(target));
            *V_BSTRREF(target) = V_BSTR(v);
            V_VT(v) = VT_EMPTY;
            break;
        default:
            return E_NOTIMPL;
    }
    return S_OK;
}

HRESULT EventCall::Set(const std::wstring& parameterName, const VARIANT& value) {
    int index = IndexOf(parameterName);
    return index < 0 ? E_INVALIDARG : Set(static_cast<size_t>(index), value);
}

// --- EventSink ---

void* EventSink::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || (iid == events_ && events_ != IID_NULL)) {
        return static_cast<IDispatch*>(this);
    }
    return nullptr;
}

HRESULT EventSink::Connect(IUnknown* control) {
    Disconnect();
    if (!control) return E_POINTER;
    HRESULT hr = DefaultEventInfo(control, eventInfo_.Put());
    if (FAILED(hr)) return hr;
    TYPEATTR* attributes = nullptr;
    hr = eventInfo_->GetTypeAttr(&attributes);
    if (FAILED(hr)) return hr;
    events_ = attributes->guid;
    eventInfo_->ReleaseTypeAttr(attributes);
    DescribeEvents();

    return connection_.Connect(control, events_, static_cast<IDispatch*>(this));
}

void EventSink::DescribeEvents() {
    descriptions_.clear();
    TYPEATTR* attributes = nullptr;
    if (FAILED(eventInfo_->GetTypeAttr(&attributes))) return;
    WORD count = attributes->cFuncs;
    eventInfo_->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < count; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(eventInfo_->GetFuncDesc(i, &function))) continue;
        std::vector<BSTR> names(static_cast<size_t>(function->cParams) + 1, nullptr);
        UINT found = 0;
        eventInfo_->GetNames(function->memid, names.data(), static_cast<UINT>(names.size()),
                             &found);
        EventDescription description;
        for (UINT n = 0; n < found; ++n) {
            std::wstring name = com::TextOf(names[n]);
            if (n == 0) {
                description.name = name;
            } else {
                description.parameters.push_back(name);
            }
            SysFreeString(names[n]);
        }
        descriptions_[function->memid] = std::move(description);
        eventInfo_->ReleaseFuncDesc(function);
    }
}

const EventSink::EventDescription* EventSink::Describe(DISPID dispid) const {
    auto found = descriptions_.find(dispid);
    return found == descriptions_.end() ? nullptr : &found->second;
}

const EventSink::EventDescription* EventSink::FindByName(const std::wstring& name) const {
    for (const auto& entry : descriptions_) {
        if (lstrcmpiW(entry.second.name.c_str(), name.c_str()) == 0) return &entry.second;
    }
    return nullptr;
}

void EventSink::OnEvent(const std::wstring& name, EventHandler handler) {
    if (handler) {
        handlers_[Lower(name)] = std::move(handler);
    } else {
        handlers_.erase(Lower(name));
    }
}

size_t EventSink::CountOf(const std::wstring& name) const {
    size_t count = 0;
    for (const EventRecord& record : records_) {
        if (lstrcmpiW(record.name.c_str(), name.c_str()) == 0) ++count;
    }
    return count;
}

const EventRecord* EventSink::Last(const std::wstring& name) const {
    for (auto it = records_.rbegin(); it != records_.rend(); ++it) {
        if (lstrcmpiW(it->name.c_str(), name.c_str()) == 0) return &*it;
    }
    return nullptr;
}

std::vector<std::wstring> EventSink::ParameterNames(const std::wstring& name) const {
    const EventDescription* description = FindByName(name);
    return description ? description->parameters : std::vector<std::wstring>();
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = eventInfo_ ? 1 : 0;
    return S_OK;
}

STDMETHODIMP EventSink::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0 || !eventInfo_) return DISP_E_BADINDEX;
    return eventInfo_.CopyTo(out);
}

STDMETHODIMP EventSink::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!eventInfo_) return DISP_E_UNKNOWNNAME;
    return DispGetIDsOfNames(eventInfo_.Get(), names, count, ids);
}

STDMETHODIMP EventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO*, UINT*) {
    if (result) VariantInit(result);
    const EventDescription* description = Describe(dispid);
    EventRecord record;
    record.dispid = dispid;
    record.name = description ? description->name : L"#" + std::to_wstring(dispid);
    UINT count = params ? params->cArgs : 0;
    for (UINT i = count; i-- > 0;) {
        com::Variant argument;
        VariantCopyInd(argument.Get(), &params->rgvarg[i]);
        record.arguments.push_back(argument);
    }
    records_.push_back(record);

    // A handler may let go of the form's last reference to this sink.
    InternalAddRef();
    EventCall call(record, params, description ? &description->parameters : nullptr);
    auto handler = handlers_.find(Lower(record.name));
    if (handler != handlers_.end()) {
        EventHandler run = handler->second;  // the handler may replace itself
        run(call);
    }
    if (observer_) {
        EventHandler observe = observer_;
        observe(call);
    }
    InternalRelease();
    return S_OK;
}

}  // namespace zelmor::host
