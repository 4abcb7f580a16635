// The process's registry, with the real window system's parent windows.
#include "binding/BindingRegistry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zelmor {

BindingRegistry& Registry() {
    static BindingRegistry registry([](WindowHandle window) -> WindowHandle {
#ifdef _WIN32
        return reinterpret_cast<WindowHandle>(GetParent(reinterpret_cast<HWND>(window)));
#else
        (void)window;
        return 0;  // no window system: no parents
#endif
    });
    return registry;
}

}  // namespace zelmor
