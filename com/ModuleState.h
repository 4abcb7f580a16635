// What the component server keeps for the whole module: the count of live objects and of
// server locks (the module may unload when both are zero), and the module's instance handle,
// from which its resources (the type library) are loaded.
#pragma once

#include <windows.h>

namespace zelmor::com {

class ModuleState {
  public:
    // The module whose resources the objects use; the program itself until the library's
    // entry point names the library.
    static HMODULE Instance();
    static void SetInstance(HMODULE module);

    static void ObjectCreated();
    static void ObjectDestroyed();
    static void Lock();
    static void Unlock();

    static long ObjectCount();
    static long LockCount();
    // True when no object and no lock remain.
    static bool CanUnload();
};

}  // namespace zelmor::com
