#include "com/ClassFactory.h"

#include "com/ModuleState.h"

namespace zelmor::com {

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ModuleState::Lock();
    } else {
        ModuleState::Unlock();
    }
    return S_OK;
}

void* ClassFactory::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) return static_cast<IClassFactory*>(this);
    return nullptr;
}

HRESULT GetClassFactory(CreateFunction create, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!create) return CLASS_E_CLASSNOTAVAILABLE;
    return com::CreateInstance<ClassFactory>(iid, out, create);
}

}  // namespace zelmor::com
