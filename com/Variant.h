// Owning wrappers for automation strings and variants, and the conversions the controls need
// at the component boundary.
#pragma once

#include <oaidl.h>

#include <string>
#include <utility>

namespace zelmor::com {

// An automation string that frees itself.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text);
    explicit Bstr(const wchar_t* text);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept;
    ~Bstr();

    BSTR Get() const { return s_; }
    BSTR* Put();
    BSTR Detach() { return std::exchange(s_, nullptr); }
    std::wstring Text() const;

  private:
    BSTR s_ = nullptr;
};

// The text of an automation string; a null string is the empty text.
std::wstring TextOf(BSTR s);

// A new automation string for an out-parameter: E_POINTER for a null pointer, E_OUTOFMEMORY
// when it cannot be made.
HRESULT CopyToOut(const std::wstring& text, BSTR* out);

// A variant that clears itself. It starts, and is given to fill, wholly zeroed: a callee that
// sets only the type leaves a zero, a null string, array or object, never stale bytes.
class Variant {
  public:
    Variant() = default;
    Variant(const Variant& other);
    Variant& operator=(const Variant& other);
    ~Variant() { VariantClear(&v_); }

    VARIANT* Get() { return &v_; }
    const VARIANT* Get() const { return &v_; }
    VARIANT* operator->() { return &v_; }
    const VARIANT* operator->() const { return &v_; }
    // Clears the value and gives the variant to fill.
    VARIANT* Put();

  private:
    VARIANT v_{};  // VT_EMPTY is 0
};

}  // namespace zelmor::com
