// An owning interface pointer: releases what it holds, adds a reference when copied.
#pragma once

#include <unknwn.h>

#include <utility>

namespace zelmor::com {

template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to p.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) {
        ComPtr copy(other);
        Swap(copy);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr moved(std::move(other));
        Swap(moved);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) {
        Reset();
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr Adopt(T* p) {
        ComPtr result;
        result.p_ = p;
        return result;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out-parameters: releases what is held and gives the address to fill.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    // Hands the reference to the caller.
    T* Detach() { return std::exchange(p_, nullptr); }

    void Reset() {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    // Queries the held object for another interface; an empty pointer when it has none.
    template <typename U>
    ComPtr<U> As() const {
        ComPtr<U> result;
        if (p_) p_->QueryInterface(__uuidof(U), result.PutVoid());
        return result;
    }

    // Copies the reference into an out-parameter.
    HRESULT CopyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return S_OK;
    }

  private:
    T* p_ = nullptr;
};

template <typename T, typename U>
bool operator==(const ComPtr<T>& a, const ComPtr<U>& b) {
    return a.Get() == b.Get();
}

}  // namespace zelmor::com
