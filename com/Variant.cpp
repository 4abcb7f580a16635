#include "com/Variant.h"

namespace zelmor::com {

Bstr::Bstr(const std::wstring& text)
    : s_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}

Bstr::Bstr(const wchar_t* text) : s_(SysAllocString(text)) {}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
    if (this != &other) {
        SysFreeString(s_);
        s_ = std::exchange(other.s_, nullptr);
    }
    return *this;
}

Bstr::~Bstr() {
    SysFreeString(s_);
}

BSTR* Bstr::Put() {
    SysFreeString(std::exchange(s_, nullptr));
    return &s_;
}

std::wstring Bstr::Text() const {
    return TextOf(s_);
}

std::wstring TextOf(BSTR s) {
    return s ? std::wstring(s, SysStringLen(s)) : std::wstring();
}

HRESULT CopyToOut(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

Variant::Variant(const Variant& other) {
    VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));
    return *this;
}

VARIANT* Variant::Put() {
    VariantClear(&v_);
    v_ = VARIANT{};
    return &v_;
}

}  // namespace zelmor::com
