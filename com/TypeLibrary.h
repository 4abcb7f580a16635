// The type library embedded in the module as its TYPELIB resource 1, loaded once, and the
// type descriptions of its interfaces and classes, which the dispatch implementation, class
// information and property persistence use.
#pragma once

#include <oaidl.h>

#include <string>

#include "com/ComPtr.h"

namespace zelmor::com {

// The full path of the module (the library, or the program when no library is set).
std::wstring ModulePath();

// The module's type library; an empty pointer and the failure in *result when it cannot be
// loaded.
ComPtr<ITypeLib> ModuleTypeLibrary(HRESULT* result = nullptr);

// The type description of the interface or class guid in the module's library.
HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** out);

// Lets go of the loaded library (when the module is unloaded); a later call loads it again.
void ReleaseModuleTypeLibrary();

}  // namespace zelmor::com
