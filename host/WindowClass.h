// The host's window classes are registered by the program on first use.
#pragma once

#include <windows.h>

namespace zelmor::host {

// Registers className with procedure and the button-face background, unless it is already.
void RegisterWindowClass(const wchar_t* className, WNDPROC procedure);

}  // namespace zelmor::host
