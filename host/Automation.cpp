#include "host/Automation.h"

#include <olectl.h>

#include <cwchar>

#include "com/ComPtr.h"
#include "com/DispatchInvoke.h"
#include "com/PropertyMap.h"

namespace zelmor::host {

namespace {

using com::ComPtr;

// One declared parameter of a method, as far as the call needs to know it.
struct Parameter {
    bool out = false;           // passed by reference; the method writes it
    bool optional = false;      // may be left out
    VARTYPE type = VT_VARIANT;  // for an out-parameter: the type the reference points to
};

// The variant type a type description stands for, following aliases and enumerations.
VARTYPE VariantTypeOf(ITypeInfo* info, const TYPEDESC& desc) {
    switch (desc.vt) {
        case VT_SAFEARRAY:
            return VT_ARRAY | VariantTypeOf(info, *desc.lptdesc);
        case VT_PTR:  // a pointer to an interface pointer
            return VariantTypeOf(info, *desc.lptdesc);
        case VT_USERDEFINED: {
            ComPtr<ITypeInfo> referenced;
            TYPEATTR* attributes = nullptr;
            if (FAILED(info->GetRefTypeInfo(desc.hreftype, referenced.Put())) ||
                FAILED(referenced->GetTypeAttr(&attributes))) {
                return VT_VARIANT;
            }
            VARTYPE type = VT_VARIANT;
            switch (attributes->typekind) {
                case TKIND_ENUM:
                    type = VT_I4;
                    break;
                case TKIND_ALIAS:
                    type = VariantTypeOf(referenced.Get(), attributes->tdescAlias);
                    break;
                case TKIND_DISPATCH:
                    type = VT_DISPATCH;
                    break;
                case TKIND_INTERFACE:
                    type = (attributes->wTypeFlags & TYPEFLAG_FDISPATCHABLE) ? VT_DISPATCH
                                                                             : VT_UNKNOWN;
                    break;
                default:
                    break;
            }
            referenced->ReleaseTypeAttr(attributes);
            return type;
        }
        case VT_INT:
            return VT_I4;
        case VT_UINT:
            return VT_UI4;
        default:
            return desc.vt;
    }
}

// The parameters of the method dispid from the object's type description; empty when the
// object describes none, and the arguments are then passed as they are.
std::vector<Parameter> DescribeParameters(IDispatch* object, DISPID dispid) {
    std::vector<Parameter> parameters;
    UINT infoCount = 0;
    ComPtr<ITypeInfo> info;
    if (FAILED(object->GetTypeInfoCount(&infoCount)) || infoCount == 0 ||
        FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put())) || !info) {
        return parameters;
    }
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return parameters;
    WORD functionCount = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < functionCount; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(i, &function))) continue;
        if (function->memid == dispid && function->invkind == INVOKE_FUNC) {
            for (SHORT p = 0; p < function->cParams; ++p) {
                const ELEMDESC& element = function->lprgelemdescParam[p];
                USHORT flags = element.paramdesc.wParamFlags;
                if (flags & PARAMFLAG_FRETVAL) continue;  // comes back as the result
                Parameter parameter;
                parameter.out = (flags & PARAMFLAG_FOUT) && element.tdesc.vt == VT_PTR;
                parameter.optional = (flags & PARAMFLAG_FOPT) != 0;
                if (parameter.out) {
                    parameter.type = VariantTypeOf(info.Get(), *element.tdesc.lptdesc);
                }
                parameters.push_back(parameter);
            }
            info->ReleaseFuncDesc(function);
            break;
        }
        info->ReleaseFuncDesc(function);
    }
    return parameters;
}

// A reference to the value held in holder, of holder's type.
VARIANT ReferenceTo(VARIANT& holder) {
    VARIANT reference;
    VariantInit(&reference);
    VARTYPE type = V_VT(&holder);
    if (type == VT_VARIANT || type == VT_EMPTY) {
        V_VT(&reference) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&reference) = &holder;
    } else {
        V_VT(&reference) = type | VT_BYREF;
        // Every member of the value union starts at the same place; a decimal fills the whole
        // variant.
        V_BYREF(&reference) = type == VT_DECIMAL ? static_cast<void*>(&V_DECIMAL(&holder))
                                                 : static_cast<void*>(&V_UI1(&holder));
    }
    return reference;
}

// The holder of an out-parameter: its value on the way in, of the parameter's type.
HRESULT PrepareOutput(const Parameter& parameter, const VARIANT* given, VARIANT* holder) {
    if (parameter.type == VT_VARIANT) {
        return given ? VariantCopy(holder, const_cast<VARIANT*>(given)) : S_OK;
    }
    if (given) return VariantChangeType(holder, const_cast<VARIANT*>(given), 0, parameter.type);
    V_VT(holder) = parameter.type;  // zero, or a null string, array or object
    return S_OK;
}

}  // namespace

com::Variant TextValue(const std::wstring& text) {
    com::Variant value;
    V_VT(value.Get()) = VT_BSTR;
    V_BSTR(value.Get()) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return value;
}

com::Variant LongValue(long number) {
    com::Variant value;
    V_VT(value.Get()) = VT_I4;
    V_I4(value.Get()) = number;
    return value;
}

com::Variant DoubleValue(double number) {
    com::Variant value;
    V_VT(value.Get()) = VT_R8;
    V_R8(value.Get()) = number;
    return value;
}

com::Variant BoolValue(bool flag) {
    com::Variant value;
    V_VT(value.Get()) = VT_BOOL;
    V_BOOL(value.Get()) = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return value;
}

namespace {

// A picture object as "bitmap 48x48": its kind and its size in pixels at 96 per inch.
bool DescribePicture(const VARIANT& value, std::wstring& text) {
    if (V_VT(&value) != VT_DISPATCH || V_DISPATCH(&value) == nullptr) return false;
    ComPtr<IPicture> picture;
    if (FAILED(V_DISPATCH(&value)->QueryInterface(IID_IPicture, picture.PutVoid()))) return false;
    SHORT type = PICTYPE_NONE;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Type(&type);
    picture->get_Width(&width);
    picture->get_Height(&height);
    static const wchar_t* const kKinds[] = {L"none", L"bitmap", L"metafile", L"icon",
                                            L"enhanced metafile"};
    const wchar_t* kind = type >= 0 && type <= 4 ? kKinds[type] : L"picture";
    text = std::wstring(kind) + L" " + std::to_wstring(MulDiv(width, 96, 2540)) + L"x" +
           std::to_wstring(MulDiv(height, 96, 2540));
    return true;
}

}  // namespace

std::wstring TextOfValue(const VARIANT& value) {
    std::wstring description;
    if (DescribePicture(value, description)) return description;
    com::Variant text;
    if (FAILED(VariantChangeTypeEx(text.Get(), const_cast<VARIANT*>(&value), LOCALE_USER_DEFAULT,
                                   VARIANT_ALPHABOOL, VT_BSTR))) {
        return std::wstring();
    }
    return com::TextOf(V_BSTR(text.Get()));
}

std::wstring HresultText(HRESULT hr) {
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    std::wstring text = code;
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) {
        return text + L" (control error " + std::to_wstring(HRESULT_CODE(hr)) + L")";
    }
    wchar_t* message = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (length > 0) {
        std::wstring system(message, length);
        while (!system.empty() && (system.back() == L'\n' || system.back() == L'\r')) {
            system.pop_back();
        }
        text += L" (" + system + L")";
    }
    if (message) LocalFree(message);
    return text;
}

HRESULT MemberId(IDispatch* object, const std::wstring& name, DISPID* dispid) {
    if (!object || !dispid) return E_POINTER;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, dispid);
}

HRESULT GetProperty(IDispatch* object, const std::wstring& name, VARIANT* value,
                    const VARIANT* index) {
    if (!value) return E_POINTER;
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = MemberId(object, name, &dispid);
    com::Variant position;
    if (SUCCEEDED(hr) && index) hr = VariantCopy(position.Get(), const_cast<VARIANT*>(index));
    return SUCCEEDED(hr)
               ? com::GetDispatchProperty(object, dispid, value, index ? position.Get() : nullptr)
               : hr;
}

HRESULT PutProperty(IDispatch* object, const std::wstring& name, const VARIANT& value,
                    const VARIANT* index) {
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = MemberId(object, name, &dispid);
    if (FAILED(hr)) return hr;
    com::Variant copy, position;
    hr = VariantCopy(copy.Get(), const_cast<VARIANT*>(&value));
    if (SUCCEEDED(hr) && index) hr = VariantCopy(position.Get(), const_cast<VARIANT*>(index));
    return SUCCEEDED(hr) ? com::PutDispatchProperty(object, dispid, copy.Get(),
                                                     index ? position.Get() : nullptr)
                         : hr;
}

const VARIANT& CallResult::Outcome() const {
    if (V_VT(returned.Get()) != VT_EMPTY || lastOutput_ < 0) return *returned.Get();
    return *arguments[static_cast<size_t>(lastOutput_)].Get();
}

HRESULT CallMethod(IDispatch* object, const std::wstring& name,
                   const std::vector<com::Variant>& arguments, CallResult* result) {
    if (!object || !result) return E_POINTER;
    *result = CallResult();
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = MemberId(object, name, &dispid);
    if (FAILED(hr)) return hr;

    std::vector<Parameter> parameters = DescribeParameters(object, dispid);
    if (!parameters.empty() && arguments.size() > parameters.size()) return DISP_E_BADPARAMCOUNT;
    size_t count = parameters.empty() ? arguments.size() : parameters.size();
    std::vector<com::Variant> holders(count);
    std::vector<VARIANT> passed(count);  // last argument first, as Invoke takes them
    for (size_t i = 0; i < count; ++i) {
        const VARIANT* given = i < arguments.size() ? arguments[i].Get() : nullptr;
        VARIANT& slot = passed[count - 1 - i];
        VARIANT* holder = holders[i].Get();
        if (i < parameters.size() && parameters[i].out) {
            hr = PrepareOutput(parameters[i], given, holder);
            if (FAILED(hr)) return hr;
            slot = ReferenceTo(*holder);
            result->lastOutput_ = static_cast<int>(i);
        } else if (given) {
            hr = VariantCopy(holder, const_cast<VARIANT*>(given));
            if (FAILED(hr)) return hr;
            slot = *holder;  // the holder keeps ownership
        } else if (parameters[i].optional) {
            V_VT(&slot) = VT_ERROR;
            V_ERROR(&slot) = DISP_E_PARAMNOTFOUND;
        } else {
            return DISP_E_BADPARAMCOUNT;
        }
    }

    DISPPARAMS params{passed.data(), nullptr, static_cast<UINT>(count), 0};
    EXCEPINFO exception{};
    UINT argumentError = 0;
    hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                        result->returned.Put(), &exception, &argumentError);
    result->arguments = std::move(holders);
    return com::ErrorFromException(hr, exception);
}

}  // namespace zelmor::host
