#include "module/reference/ReferenceWriter.h"

#include <oleauto.h>

#include <cctype>
#include <map>
#include <sstream>
#include <vector>

#include "com/ComPtr.h"
#include "com/Variant.h"
#include "module/RegistryKey.h"

namespace zelmor::module {

namespace {

using com::Bstr;
using com::ComPtr;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &converted[0],
                        size, nullptr, nullptr);
    return converted;
}

std::string MemberName(ITypeInfo* info, MEMBERID id) {
    Bstr name;
    info->GetDocumentation(id, name.Put(), nullptr, nullptr, nullptr);
    return Utf8(name.Text());
}

std::string DispatchId(MEMBERID id) {
    return std::to_string(static_cast<long>(id));
}

// A type as the interface definition spells it.
std::string TypeText(ITypeInfo* owner, const TYPEDESC& type) {
    switch (type.vt) {
        case VT_PTR: return TypeText(owner, *type.lptdesc) + "*";
        case VT_SAFEARRAY: return "SAFEARRAY(" + TypeText(owner, *type.lptdesc) + ")";
        case VT_USERDEFINED: {
            ComPtr<ITypeInfo> named;
            if (FAILED(owner->GetRefTypeInfo(type.hreftype, named.Put()))) return "?";
            return MemberName(named.Get(), MEMBERID_NIL);
        }
        case VT_I1: return "char";
        case VT_UI1: return "unsigned char";
        case VT_I2: return "short";
        case VT_UI2: return "unsigned short";
        case VT_I4: return "long";
        case VT_UI4: return "unsigned long";
        case VT_INT: return "int";
        case VT_UINT: return "unsigned int";
        case VT_R4: return "float";
        case VT_R8: return "double";
        case VT_CY: return "CURRENCY";
        case VT_DATE: return "DATE";
        case VT_BSTR: return "BSTR";
        case VT_BOOL: return "VARIANT_BOOL";
        case VT_VARIANT: return "VARIANT";
        case VT_DISPATCH: return "IDispatch*";
        case VT_UNKNOWN: return "IUnknown*";
        case VT_HRESULT: return "HRESULT";
        case VT_VOID: return "void";
        default: return "VT_" + std::to_string(type.vt);
    }
}

// "[in, out] short* KeyCode": the direction, the type and the name of each parameter.
std::string Parameters(ITypeInfo* info, const FUNCDESC& function, bool skipRetval) {
    std::vector<BSTR> names(static_cast<size_t>(function.cParams) + 1, nullptr);
    UINT count = 0;
    info->GetNames(function.memid, names.data(), static_cast<UINT>(names.size()), &count);
    std::string text;
    for (SHORT i = 0; i < function.cParams; ++i) {
        const ELEMDESC& parameter = function.lprgelemdescParam[i];
        USHORT flags = parameter.paramdesc.wParamFlags;
        if (skipRetval && (flags & PARAMFLAG_FRETVAL)) continue;
        std::string direction;
        if (flags & PARAMFLAG_FIN) direction = "in";
        if (flags & PARAMFLAG_FOUT) direction += direction.empty() ? "out" : ", out";
        if (flags & PARAMFLAG_FOPT) direction += direction.empty() ? "optional" : ", optional";
        if (!text.empty()) text += ", ";
        if (!direction.empty()) text += "[" + direction + "] ";
        text += TypeText(info, parameter.tdesc);
        size_t nameIndex = static_cast<size_t>(i) + 1;
        if (nameIndex < count && names[nameIndex]) text += " " + Utf8(names[nameIndex]);
    }
    for (BSTR name : names) SysFreeString(name);
    return text;
}

// The type a property's accessors carry: the returned value of get, the last argument of put.
std::string PropertyType(ITypeInfo* info, const FUNCDESC& function) {
    if (function.cParams == 0) return "?";
    TYPEDESC type = function.lprgelemdescParam[function.cParams - 1].tdesc;
    if (function.invkind == INVOKE_PROPERTYGET && type.vt == VT_PTR) type = *type.lptdesc;
    if (function.invkind == INVOKE_PROPERTYPUTREF && type.vt == VT_PTR) type = *type.lptdesc;
    return TypeText(info, type);
}

struct Property {
    std::string type;
    std::string index;  // the index parameters of an indexed property
    MEMBERID id = 0;
    bool get = false, put = false, putReference = false, hidden = false;
};

std::string Access(const Property& property) {
    std::string access = property.get && property.put ? "read-write"
                         : property.get             ? "read-only"
                                                    : "write-only";
    if (property.putReference) access += ", by reference";
    if (property.hidden) access += ", hidden";
    return access;
}

// The own members of an interface: properties merged from their accessors, and methods.
void WriteMembers(std::ostringstream& out, ITypeInfo* info, bool events) {
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return;
    WORD count = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);

    std::vector<std::string> propertyOrder;
    std::map<std::string, Property> properties;
    std::ostringstream methods;
    for (WORD i = 0; i < count; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(i, &function))) continue;
        std::string name = MemberName(info, function->memid);
        bool hidden = (function->wFuncFlags & FUNCFLAG_FHIDDEN) != 0;
        if (function->invkind == INVOKE_FUNC) {
            methods << "| " << name << (hidden ? " (hidden)" : "") << " | "
                    << Parameters(info, *function, false) << " | " << DispatchId(function->memid)
                    << " |\n";
        } else {
            if (!properties.count(name)) propertyOrder.push_back(name);
            Property& property = properties[name];
            property.id = function->memid;
            property.hidden = property.hidden || hidden;
            if (function->invkind == INVOKE_PROPERTYGET) {
                property.get = true;
                property.type = PropertyType(info, *function);
                FUNCDESC indexOnly = *function;
                indexOnly.cParams = static_cast<SHORT>(function->cParams - 1);
                property.index = Parameters(info, indexOnly, true);
            } else {
                (function->invkind == INVOKE_PROPERTYPUT ? property.put : property.putReference) =
                    true;
                if (property.type.empty()) property.type = PropertyType(info, *function);
            }
        }
        info->ReleaseFuncDesc(function);
    }
    if (!propertyOrder.empty()) {
        out << "\n**Properties**\n\n| name | type | access | dispatch ID |\n|---|---|---|---|\n";
        for (const std::string& name : propertyOrder) {
            const Property& property = properties[name];
            out << "| " << name;
            if (!property.index.empty()) out << "(" << property.index << ")";
            out << " | " << property.type << " | " << Access(property) << " | "
                << DispatchId(property.id) << " |\n";
        }
    }
    std::string methodRows = methods.str();
    if (!methodRows.empty()) {
        out << "\n**" << (events ? "Events" : "Methods")
            << "**\n\n| name | parameters | dispatch ID |\n|---|---|---|\n"
            << methodRows;
    }
}

// The implemented interface of a class marked as the default (source or not).
ComPtr<ITypeInfo> DefaultInterface(ITypeInfo* coclass, bool source) {
    TYPEATTR* attributes = nullptr;
    ComPtr<ITypeInfo> found;
    if (FAILED(coclass->GetTypeAttr(&attributes))) return found;
    WORD count = attributes->cImplTypes;
    coclass->ReleaseTypeAttr(attributes);
    for (WORD i = 0; i < count; ++i) {
        INT flags = 0;
        HREFTYPE reference = 0;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags)) ||
            FAILED(coclass->GetRefTypeOfImplType(i, &reference))) {
            continue;
        }
        if (!(flags & IMPLTYPEFLAG_FDEFAULT) || ((flags & IMPLTYPEFLAG_FSOURCE) != 0) != source) {
            continue;
        }
        coclass->GetRefTypeInfo(reference, found.Put());
        break;
    }
    return found;
}

// A dual interface's own members are those of its vtable part, without IDispatch's.
ComPtr<ITypeInfo> OwnMembers(ComPtr<ITypeInfo> dispatch) {
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> vtable;
    if (SUCCEEDED(dispatch->GetRefTypeOfImplType(-1, &reference)) &&
        SUCCEEDED(dispatch->GetRefTypeInfo(reference, vtable.Put()))) {
        return vtable;
    }
    return dispatch;
}

ComPtr<ITypeInfo> ClassInfo(ITypeLib* library, const CLSID& clsid) {
    ComPtr<ITypeInfo> info;
    library->GetTypeInfoOfGuid(clsid, info.Put());
    return info;
}

std::string ProgId(const ClassEntry& entry) {
    std::wstring independent = std::wstring(entry.programName) + L"." + entry.programName;
    return "`" + Utf8(independent + L".1") + "` (`" + Utf8(independent) + "`)";
}

void WriteClass(std::ostringstream& out, ITypeLib* library, const ClassEntry& entry) {
    ComPtr<ITypeInfo> coclass = ClassInfo(library, *entry.clsid);
    if (!coclass) return;
    ComPtr<ITypeInfo> dispatch = DefaultInterface(coclass.Get(), false);
    ComPtr<ITypeInfo> events = DefaultInterface(coclass.Get(), true);
    Bstr help;
    coclass->GetDocumentation(MEMBERID_NIL, nullptr, help.Put(), nullptr, nullptr);
    out << "\n## " << Utf8(entry.className) << "\n\n" << Utf8(help.Text())
        << ". Program identifier " << ProgId(entry) << ", class identifier `"
        << Utf8(GuidText(*entry.clsid)) << "`";
    if (dispatch) out << ", interface `" << MemberName(dispatch.Get(), MEMBERID_NIL) << "`";
    if (events) out << ", events `" << MemberName(events.Get(), MEMBERID_NIL) << "`";
    out << ".\n";
    if (dispatch) WriteMembers(out, OwnMembers(dispatch).Get(), false);
    if (events) WriteMembers(out, events.Get(), true);
}

void WriteEnumeration(std::ostringstream& out, ITypeInfo* info) {
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return;
    WORD count = attributes->cVars;
    info->ReleaseTypeAttr(attributes);
    out << "\n### " << MemberName(info, MEMBERID_NIL) << "\n\n| name | value |\n|---|---|\n";
    for (WORD i = 0; i < count; ++i) {
        VARDESC* variable = nullptr;
        if (FAILED(info->GetVarDesc(i, &variable))) continue;
        long value = 0;
        if (variable->varkind == VAR_CONST && variable->lpvarValue) {
            com::Variant number;
            if (SUCCEEDED(VariantChangeType(number.Put(), variable->lpvarValue, 0, VT_I4))) {
                value = V_I4(number.Get());
            }
        }
        out << "| " << MemberName(info, variable->memid) << " | " << value << " |\n";
        info->ReleaseVarDesc(variable);
    }
}

}  // namespace

std::string WriteReference(ITypeLib* library, ClassList classes) {
    if (!library) return {};
    TLIBATTR* attributes = nullptr;
    if (FAILED(library->GetLibAttr(&attributes))) return {};
    std::ostringstream out;
    Bstr name, help;
    library->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr);
    out << "# " << Utf8(help.Text()) << ": control reference\n\n"
        << "Written from the type library `" << Utf8(name.Text()) << "` "
        << attributes->wMajorVerNum << "." << attributes->wMinorVerNum << " (`"
        << Utf8(GuidText(attributes->guid))
        << "`) by `zelref`; `scripts/make-reference.sh` writes it again. Types are those of the "
           "interface definition: `BSTR` is a string, `VARIANT_BOOL` a Boolean, `short` a "
           "16-bit and `long` a 32-bit integer. Methods of the data control report their "
           "results in `[out]` parameters, which a script passes as variables.\n";
    library->ReleaseTLibAttr(attributes);

    out << "\n| class | program identifier |\n|---|---|\n";
    for (const ClassEntry& entry : classes) {
        if (entry.kind != ClassKind::Control) continue;
        std::string className = Utf8(entry.className);
        std::string anchor;
        for (char c : className) anchor += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        out << "| [" << className << "](#" << anchor << ") | "
            << ProgId(entry) << " |\n";
    }
    for (const ClassEntry& entry : classes) {
        if (entry.kind == ClassKind::Control) WriteClass(out, library, entry);
    }
    out << "\n## Enumerations\n";
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        TYPEKIND kind = TKIND_MAX;
        ComPtr<ITypeInfo> info;
        if (SUCCEEDED(library->GetTypeInfoType(i, &kind)) && kind == TKIND_ENUM &&
            SUCCEEDED(library->GetTypeInfo(i, info.Put()))) {
            WriteEnumeration(out, info.Get());
        }
    }
    return out.str();
}

}  // namespace zelmor::module
