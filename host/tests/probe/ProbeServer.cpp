// zelprobe.dll: the probe control as an in-process server, so that zelform can create it by
// its program identifier "ZelProbe.ZelProbe" once regsvr32 has registered it.
#include <objbase.h>
#include <windows.h>

#include "ProbeControl.h"
#include "ProbePage.h"
#include "com/ClassFactory.h"
#include "com/ModuleState.h"
#include "com/TypeLibrary.h"
#include "module/Registration.h"

using namespace zelmor;

namespace {

const module::ClassEntry kProbeEntry = {
    L"ZelProbe",
    L"ZelProbe",
    &CLSID_ZelProbe,
    module::ClassKind::Control,
    0,
    host::testing::kProbeMiscStatus,
    host::testing::CreateProbeControl,
};

const module::ClassEntry kProbeEntries[] = {
    kProbeEntry,
    {L"ZelProbePage", L"ZelProbePage", &host::testing::CLSID_ZelProbePage,
     module::ClassKind::PropertyPage, 0, 0, host::testing::CreateProbePage},
};

module::ClassList Classes() {
    return module::ClassList{kProbeEntries, 2};
}

module::RegistrationTarget Target() {
    return module::RegistrationTarget{HKEY_CLASSES_ROOT, com::ModulePath(), LIBID_ZelmorProbeLib,
                                      L"1.0"};
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        com::ModuleState::SetInstance(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualCLSID(clsid, host::testing::CLSID_ZelProbePage)) {
        return com::GetClassFactory(host::testing::CreateProbePage, iid, out);
    }
    if (!IsEqualCLSID(clsid, CLSID_ZelProbe)) return CLASS_E_CLASSNOTAVAILABLE;
    return com::GetClassFactory(host::testing::CreateProbeControl, iid, out);
}

STDAPI DllCanUnloadNow() {
    return com::ModuleState::CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    module::RegistrationTarget target = Target();
    HRESULT hr = module::RegisterClasses(target, Classes());
    return SUCCEEDED(hr) ? module::RegisterModuleTypeLibrary(target.modulePath) : hr;
}

STDAPI DllUnregisterServer() {
    module::RegistrationTarget target = Target();
    HRESULT classes = module::UnregisterClasses(target, Classes());
    HRESULT library = module::UnregisterModuleTypeLibrary(target.modulePath);
    return FAILED(classes) ? classes : library;
}
