#include "com/PropertyMap.h"

#include "com/DispatchInvoke.h"

#include "com/StreamVariant.h"
#include "com/Variant.h"

namespace zelmor::com {

namespace {

constexpr uint32_t kStreamFormatVersion = 1;
const wchar_t kWidthName[] = L"_cx";
const wchar_t kHeightName[] = L"_cy";

HRESULT WriteExtentToBag(IPropertyBag* bag, const wchar_t* name, LONG size) {
    Variant value;
    V_VT(value.Get()) = VT_UI4;
    V_UI4(value.Get()) = static_cast<ULONG>(size);
    return bag->Write(name, value.Get());
}

// Leaves size as it was when the bag has no such entry or no number in it.
void ReadExtentFromBag(IPropertyBag* bag, const wchar_t* name, LONG& size, IErrorLog* log) {
    Variant value;
    V_VT(value.Get()) = VT_UI4;
    if (FAILED(bag->Read(name, value.Get(), log))) return;
    if (FAILED(VariantChangeType(value.Get(), value.Get(), 0, VT_UI4))) return;
    size = static_cast<LONG>(V_UI4(value.Get()));
}

// Invokes a member; when the member failed, the dispatch layer reports an exception, and the
// member's own error is taken from it.
HRESULT InvokeForError(IDispatch* object, DISPID dispid, WORD flags, DISPPARAMS* params,
                       VARIANT* result) {
    EXCEPINFO exception{};
    HRESULT hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, params, result,
                                &exception, nullptr);
    return ErrorFromException(hr, exception);
}

void ReportLoadError(IErrorLog* log, const wchar_t* name, HRESULT hr) {
    if (!log) return;
    EXCEPINFO info{};
    info.scode = hr;
    log->AddError(name, &info);
}

}  // namespace

HRESULT GetDispatchProperty(IDispatch* object, DISPID dispid, VARIANT* value, VARIANT* index) {
    VariantClear(value);
    DISPPARAMS params{index, nullptr, index ? 1u : 0u, 0};
    return InvokeForError(object, dispid, DISPATCH_PROPERTYGET, &params, value);
}

HRESULT PutDispatchProperty(IDispatch* object, DISPID dispid, VARIANT* value, VARIANT* index) {
    DISPID named = DISPID_PROPERTYPUT;
    VARIANT arguments[2] = {*value, index ? *index : *value};  // the value last, so first
    DISPPARAMS params{arguments, &named, index ? 2u : 1u, 1};
    return InvokeForError(object, dispid, DISPATCH_PROPERTYPUT, &params, nullptr);
}

HRESULT SavePropertiesToStream(IDispatch* object, const PropertyMap& map, const SIZEL& extent,
                               IStream* stream) {
    if (!stream) return E_POINTER;
    HRESULT hr = WriteU32(stream, kStreamFormatVersion);
    if (SUCCEEDED(hr)) hr = WriteU32(stream, static_cast<uint32_t>(extent.cx));
    if (SUCCEEDED(hr)) hr = WriteU32(stream, static_cast<uint32_t>(extent.cy));
    if (SUCCEEDED(hr)) hr = WriteU32(stream, static_cast<uint32_t>(map.count));
    for (const PropertyMapEntry& entry : map) {
        if (FAILED(hr)) break;
        Variant value;
        hr = GetDispatchProperty(object, entry.dispid, value.Get());
        if (SUCCEEDED(hr)) hr = WriteVariant(stream, *value.Get());
    }
    return hr;
}

HRESULT LoadPropertiesFromStream(IDispatch* object, const PropertyMap& map, SIZEL& extent,
                                 IStream* stream) {
    if (!stream) return E_POINTER;
    uint32_t version = 0, width = 0, height = 0, stored = 0;
    HRESULT hr = ReadU32(stream, &version);
    if (FAILED(hr)) return hr;
    if (version != kStreamFormatVersion) return STG_E_OLDFORMAT;
    if (FAILED(hr = ReadU32(stream, &width)) || FAILED(hr = ReadU32(stream, &height)) ||
        FAILED(hr = ReadU32(stream, &stored))) {
        return hr;
    }
    extent.cx = static_cast<LONG>(width);
    extent.cy = static_cast<LONG>(height);
    for (uint32_t i = 0; i < stored; ++i) {
        Variant value;
        hr = ReadVariant(stream, value.Get());
        if (FAILED(hr)) return hr;
        if (i < map.count) PutDispatchProperty(object, map.entries[i].dispid, value.Get());
    }
    return S_OK;
}

HRESULT SavePropertiesToBag(IDispatch* object, const PropertyMap& map, const SIZEL& extent,
                            IPropertyBag* bag) {
    if (!bag) return E_POINTER;
    HRESULT hr = WriteExtentToBag(bag, kWidthName, extent.cx);
    if (SUCCEEDED(hr)) hr = WriteExtentToBag(bag, kHeightName, extent.cy);
    for (const PropertyMapEntry& entry : map) {
        if (FAILED(hr)) break;
        Variant value;
        hr = GetDispatchProperty(object, entry.dispid, value.Get());
        if (SUCCEEDED(hr)) hr = bag->Write(entry.name, value.Get());
    }
    return hr;
}

HRESULT LoadPropertiesFromBag(IDispatch* object, const PropertyMap& map, SIZEL& extent,
                              IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    ReadExtentFromBag(bag, kWidthName, extent.cx, log);
    ReadExtentFromBag(bag, kHeightName, extent.cy, log);
    for (const PropertyMapEntry& entry : map) {
        // Ask for the type the property has now, so that the bag converts what it keeps.
        Variant current;
        if (FAILED(GetDispatchProperty(object, entry.dispid, current.Get()))) continue;
        Variant value;
        V_VT(value.Get()) = V_VT(current.Get());
        if (FAILED(bag->Read(entry.name, value.Get(), log))) continue;
        HRESULT hr = PutDispatchProperty(object, entry.dispid, value.Get());
        if (FAILED(hr)) ReportLoadError(log, entry.name, hr);
    }
    return S_OK;
}

}  // namespace zelmor::com
