// The window procedures of the controls' own windows and of the standard child windows they
// host; they hand each message to its control.
#pragma once

#include <windows.h>

namespace zelmor::com {

class ControlWindow {
  public:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ChildProcedure(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
};

// The window class is registered by the module on first use; a library must remove it before
// it is unloaded, since its window procedure goes with it.
void UnregisterControlWindowClass();

}  // namespace zelmor::com
