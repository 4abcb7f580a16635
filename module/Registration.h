// Self-registration: what the library writes under the classes root for each class it can
// create, the type library from the module's own resource, and the application identifier;
// and how unregistration removes them. Table-driven, so that tests can register their own
// classes under a root key of their own.
#pragma once

#include <windows.h>

#include <string>

#include "module/ClassTable.h"

namespace zelmor::module {

struct RegistrationTarget {
    HKEY classesRoot;             // HKEY_CLASSES_ROOT, or a stand-in for tests
    std::wstring modulePath;      // the server's full path
    GUID libraryId;               // the type library the classes belong to
    std::wstring libraryVersion;  // "1.1"
};

// Registers every class of the list that has a creation function, in list order. The keys of
// a class are replaced, not merged, so that registering again leaves one set.
HRESULT RegisterClasses(const RegistrationTarget& target, ClassList classes);
// Removes the class keys of every class of the list, and the program identifiers that name it.
HRESULT UnregisterClasses(const RegistrationTarget& target, ClassList classes);

HRESULT RegisterApplicationId(HKEY classesRoot, const GUID& id, const wchar_t* name);
HRESULT UnregisterApplicationId(HKEY classesRoot, const GUID& id);

// Registers the type library held as resource 1 of the module at modulePath.
HRESULT RegisterModuleTypeLibrary(const std::wstring& modulePath);
HRESULT UnregisterModuleTypeLibrary(const std::wstring& modulePath);

}  // namespace zelmor::module
