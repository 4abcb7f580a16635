#include "com/DispatchInvoke.h"

#include <vector>

#include "com/ComPtr.h"

namespace zelmor::com {

namespace {

// A member's description, released with the object.
class FunctionDescription {
  public:
    FunctionDescription(ITypeInfo* info, DISPID dispid, WORD flags) : info_(info) {
        TYPEATTR* attributes = nullptr;
        if (FAILED(info->GetTypeAttr(&attributes))) return;
        WORD count = attributes->cFuncs;
        info->ReleaseTypeAttr(attributes);
        for (WORD i = 0; i < count && !description_; ++i) {
            FUNCDESC* candidate = nullptr;
            if (FAILED(info->GetFuncDesc(i, &candidate))) continue;
            if (candidate->memid == dispid && (candidate->invkind & flags)) {
                description_ = candidate;
            } else {
                info->ReleaseFuncDesc(candidate);
            }
        }
    }
    ~FunctionDescription() {
        if (description_) info_->ReleaseFuncDesc(description_);
    }
    FunctionDescription(const FunctionDescription&) = delete;
    FunctionDescription& operator=(const FunctionDescription&) = delete;

    const FUNCDESC* Get() const { return description_; }

  private:
    ITypeInfo* info_;
    FUNCDESC* description_ = nullptr;
};

// The variant type of a parameter's pointed-to type: enumerations are 32-bit integers and
// aliases are followed. VT_EMPTY for types that are not adapted (variants, records, objects).
VARTYPE BaseType(ITypeInfo* info, const TYPEDESC& type) {
    if (type.vt == VT_VARIANT || type.vt == VT_PTR || type.vt == VT_SAFEARRAY ||
        type.vt == VT_CARRAY) {
        return VT_EMPTY;
    }
    if (type.vt != VT_USERDEFINED) return type.vt;
    ComPtr<ITypeInfo> referenced;
    if (FAILED(info->GetRefTypeInfo(type.hreftype, referenced.Put()))) return VT_EMPTY;
    TYPEATTR* attributes = nullptr;
    if (FAILED(referenced->GetTypeAttr(&attributes))) return VT_EMPTY;
    VARTYPE result = VT_EMPTY;
    if (attributes->typekind == TKIND_ENUM) result = VT_I4;
    if (attributes->typekind == TKIND_ALIAS) {
        result = BaseType(referenced.Get(), attributes->tdescAlias);
    }
    referenced->ReleaseTypeAttr(attributes);
    return result;
}

bool HasVariantReference(const DISPPARAMS& params) {
    for (UINT i = 0; i < params.cArgs; ++i) {
        if (V_VT(&params.rgvarg[i]) == (VT_VARIANT | VT_BYREF)) return true;
    }
    return false;
}

// Points argument at the caller's variant as a reference of the parameter's type. An
// out-only parameter starts empty; an in-out one is converted first.
HRESULT AdaptArgument(ITypeInfo* info, const ELEMDESC& parameter, VARIANT& argument) {
    VARIANT* target = V_VARIANTREF(&argument);
    if (!target || (V_VT(target) & VT_BYREF) || parameter.tdesc.vt != VT_PTR) return S_OK;
    VARTYPE type = BaseType(info, *parameter.tdesc.lptdesc);
    if (type == VT_EMPTY) return S_OK;
    if (parameter.paramdesc.wParamFlags & PARAMFLAG_FIN) {
        HRESULT hr = VariantChangeType(target, target, 0, type);
        if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
    } else {
        VariantClear(target);
        ZeroMemory(target, sizeof(VARIANT));
        V_VT(target) = type;
    }
    V_VT(&argument) = static_cast<VARTYPE>(type | VT_BYREF);
    V_BYREF(&argument) = &V_UI1(target);  // the value's place inside the variant
    return S_OK;
}

}  // namespace

HRESULT InvokeThroughTypeInfo(void* instance, ITypeInfo* info, DISPID dispid, WORD flags,
                              DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                              UINT* argumentError) {
    if (!params || !HasVariantReference(*params)) {
        return DispInvoke(instance, info, dispid, flags, params, result, exception, argumentError);
    }
    FunctionDescription function(info, dispid, flags);
    if (!function.Get()) {
        return DispInvoke(instance, info, dispid, flags, params, result, exception, argumentError);
    }
    std::vector<VARIANT> arguments(params->rgvarg, params->rgvarg + params->cArgs);
    // Positional arguments follow the named ones, last parameter first.
    for (UINT k = params->cNamedArgs; k < params->cArgs; ++k) {
        UINT parameter = params->cArgs - 1 - k;
        if (parameter >= static_cast<UINT>(function.Get()->cParams)) continue;
        if (V_VT(&arguments[k]) != (VT_VARIANT | VT_BYREF)) continue;
        HRESULT hr =
            AdaptArgument(info, function.Get()->lprgelemdescParam[parameter], arguments[k]);
        if (FAILED(hr)) {
            if (argumentError) *argumentError = k;
            return hr;
        }
    }
    DISPPARAMS adapted = *params;
    adapted.rgvarg = arguments.data();
    return DispInvoke(instance, info, dispid, flags, &adapted, result, exception, argumentError);
}

HRESULT ErrorFromException(HRESULT hr, EXCEPINFO& exception) {
    if (hr != DISP_E_EXCEPTION) return hr;
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (FAILED(exception.scode)) return exception.scode;
    return exception.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, exception.wCode) : hr;
}

}  // namespace zelmor::com
