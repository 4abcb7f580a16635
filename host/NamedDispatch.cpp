#include "host/NamedDispatch.h"

namespace zelmor::host {

STDMETHODIMP NamedDispatch::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP NamedDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP NamedDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids) return E_POINTER;
    if (count == 0) return E_INVALIDARG;
    // The members take no arguments, so names after the first (argument names) are unknown.
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (names[0]) {
        for (size_t i = 0; i < count_; ++i) {
            if (lstrcmpiW(names[0], members_[i].name) == 0) ids[0] = members_[i].dispid;
        }
    }
    return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

STDMETHODIMP NamedDispatch::Invoke(DISPID dispid, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) {
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    // Clients read a property as a get or as a call without arguments.
    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    VARIANT ignored;
    VARIANT* value = result ? result : &ignored;
    VariantInit(value);
    HRESULT hr = ReadMember(dispid, value);
    if (!result) VariantClear(&ignored);
    return hr;
}

}  // namespace zelmor::host
