#include "com/EventArguments.h"

namespace zelmor::com {

EventArguments::~EventArguments() {
    for (VARIANT& argument : arguments_) VariantClear(&argument);
}

VARIANT& EventArguments::Next() {
    arguments_.emplace_back();
    VariantInit(&arguments_.back());
    return arguments_.back();
}

EventArguments& EventArguments::Add(short value) {
    VARIANT& v = Next();
    V_VT(&v) = VT_I2;
    V_I2(&v) = value;
    return *this;
}

EventArguments& EventArguments::Add(long value) {
    VARIANT& v = Next();
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return *this;
}

EventArguments& EventArguments::Add(float value) {
    VARIANT& v = Next();
    V_VT(&v) = VT_R4;
    V_R4(&v) = value;
    return *this;
}

EventArguments& EventArguments::AddBool(bool value) {
    VARIANT& v = Next();
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return *this;
}

EventArguments& EventArguments::Add(const std::wstring& text) {
    VARIANT& v = Next();
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *this;
}

EventArguments& EventArguments::AddByRef(short* value) {
    VARIANT& v = Next();
    V_VT(&v) = VT_I2 | VT_BYREF;
    V_I2REF(&v) = value;
    return *this;
}

EventArguments& EventArguments::AddByRef(BSTR* text) {
    VARIANT& v = Next();
    V_VT(&v) = VT_BSTR | VT_BYREF;
    V_BSTRREF(&v) = text;
    return *this;
}

DISPPARAMS* EventArguments::Params() {
    reversed_.assign(arguments_.rbegin(), arguments_.rend());
    params_.rgvarg = reversed_.empty() ? nullptr : reversed_.data();
    params_.cArgs = static_cast<UINT>(reversed_.size());
    params_.rgdispidNamedArgs = nullptr;
    params_.cNamedArgs = 0;
    return &params_;
}

}  // namespace zelmor::com
