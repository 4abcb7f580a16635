// The class object handed out by DllGetClassObject: it makes instances of one class through
// that class's creation function and holds the module's server lock for LockServer.
#pragma once

#include <unknwn.h>

#include "com/ObjectRoot.h"

namespace zelmor::com {

// Makes a new object of one class and queries it for iid.
using CreateFunction = HRESULT (*)(REFIID iid, void** out);

class ClassFactory : public ObjectRoot, public IClassFactory {
  public:
    explicit ClassFactory(CreateFunction create) : create_(create) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

  protected:
    void* FindInterface(REFIID iid) override;

  private:
    CreateFunction create_;
};

// A class object for create, queried for iid.
HRESULT GetClassFactory(CreateFunction create, REFIID iid, void** out);

}  // namespace zelmor::com
