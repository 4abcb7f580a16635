// The library's entry points: loading and unloading, the class objects, the unload check and
// self-registration.
#include <objbase.h>
#include <windows.h>

#include "com/ControlWindow.h"
#include "com/ModuleState.h"
#include "com/TypeLibrary.h"
#include "core/Process.h"
#include "extended/ResultSets.h"
#include "module/ClassTable.h"
#include "module/Registration.h"
#include "module/zelmor.h"

using namespace zelmor;

namespace {

module::RegistrationTarget LibraryTarget() {
    return module::RegistrationTarget{HKEY_CLASSES_ROOT, com::ModulePath(), LIBID_ZIVORADid,
                                      L"1.1"};
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            DisableThreadLibraryCalls(instance);
            com::ModuleState::SetInstance(instance);
            try {
                InitializeProcessState();
            } catch (...) {
                return FALSE;  // the library cannot work without its settings
            }
            break;
        case DLL_PROCESS_DETACH:
            // When the process ends (reserved set) the system takes everything back itself.
            if (!reserved) {
                FreeAllResultSets();
                com::UnregisterControlWindowClass();
                com::ReleaseModuleTypeLibrary();
            }
            break;
        default:
            break;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const module::ClassEntry* entry = module::FindClass(module::ClassTable(), clsid);
    if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
    return com::GetClassFactory(entry->create, iid, out);
}

STDAPI DllCanUnloadNow() {
    return com::ModuleState::CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    module::RegistrationTarget target = LibraryTarget();
    HRESULT hr = module::RegisterClasses(target, module::ClassTable());
    if (SUCCEEDED(hr)) hr = module::RegisterModuleTypeLibrary(target.modulePath);
    if (SUCCEEDED(hr)) {
        hr = module::RegisterApplicationId(HKEY_CLASSES_ROOT, module::kApplicationId,
                                           module::kApplicationName);
    }
    return hr;
}

STDAPI DllUnregisterServer() {
    module::RegistrationTarget target = LibraryTarget();
    HRESULT classes = module::UnregisterClasses(target, module::ClassTable());
    HRESULT library = module::UnregisterModuleTypeLibrary(target.modulePath);
    HRESULT application =
        module::UnregisterApplicationId(HKEY_CLASSES_ROOT, module::kApplicationId);
    if (FAILED(classes)) return classes;
    return FAILED(library) ? library : application;
}
