// The common root of every COM object of the library: its reference count and its share of
// the module's object count. A class derives from ObjectRoot and from the interfaces it
// implements, answers FindInterface for them, and is created as ComInstance<Class>, which
// supplies the IUnknown methods once for all its interfaces.
#pragma once

#include <unknwn.h>

#include <atomic>
#include <climits>
#include <new>
#include <utility>

#include "com/ComPtr.h"

namespace zelmor::com {

class ObjectRoot {
  public:
    ObjectRoot(const ObjectRoot&) = delete;
    ObjectRoot& operator=(const ObjectRoot&) = delete;

  protected:
    ObjectRoot();
    virtual ~ObjectRoot();

    // The object's pointer for the interface iid, without a new reference, or null. Classes
    // check their own interfaces and then ask their base.
    virtual void* FindInterface(REFIID iid) = 0;

    // Runs once when the last reference goes, while the whole object still exists: the place
    // to let go of sites, windows and sinks that may call back into the object.
    virtual void FinalRelease() {}

    HRESULT InternalQueryInterface(REFIID iid, void** out);
    ULONG InternalAddRef();
    ULONG InternalRelease();

  private:
    // While the object is torn down the count holds this value, so that the references taken
    // and dropped by callbacks during teardown can never bring it to zero a second time.
    static constexpr LONG kTearingDown = LONG_MAX / 2;

    std::atomic<LONG> references_{0};
};

// The concrete object: T with the IUnknown methods that every one of its interfaces shares.
template <typename T>
class ComInstance final : public T {
  public:
    template <typename... Args>
    explicit ComInstance(Args&&... args) : T(std::forward<Args>(args)...) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        return this->InternalQueryInterface(iid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return this->InternalAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return this->InternalRelease(); }
};

// Makes a new T and queries it for iid; the object goes away again when the query fails.
template <typename T, typename... Args>
HRESULT CreateInstance(REFIID iid, void** out, Args&&... args) {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto* object = new (std::nothrow) ComInstance<T>(std::forward<Args>(args)...);
    if (!object) return E_OUTOFMEMORY;
    object->AddRef();
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

// Makes a new T and keeps a reference to it in the C++ type, for callers that need the class
// itself (tests, and objects that own helpers).
template <typename T, typename... Args>
ComPtr<ComInstance<T>> MakeInstance(Args&&... args) {
    auto* object = new (std::nothrow) ComInstance<T>(std::forward<Args>(args)...);
    return ComPtr<ComInstance<T>>(object);
}

}  // namespace zelmor::com
