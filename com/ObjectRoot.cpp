#include "com/ObjectRoot.h"

#include "com/ModuleState.h"

namespace zelmor::com {

ObjectRoot::ObjectRoot() {
    ModuleState::ObjectCreated();
}

ObjectRoot::~ObjectRoot() {
    ModuleState::ObjectDestroyed();
}

HRESULT ObjectRoot::InternalQueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    void* found = FindInterface(iid);
    if (!found) return E_NOINTERFACE;
    // Every interface pointer of the object starts with the shared IUnknown methods.
    static_cast<IUnknown*>(found)->AddRef();
    *out = found;
    return S_OK;
}

ULONG ObjectRoot::InternalAddRef() {
    return static_cast<ULONG>(++references_);
}

ULONG ObjectRoot::InternalRelease() {
    LONG remaining = --references_;
    if (remaining == 0) {
        references_ = kTearingDown;
        FinalRelease();
        delete this;
    }
    return static_cast<ULONG>(remaining);
}

}  // namespace zelmor::com
