// Windows: which form a control sits on, found through its site, and the form's name and window
// handle, asked of the host's object model (the container's "Parent" object).
#pragma once

#ifdef _WIN32

#include <ole2.h>

#include <string>

#include "binding/BoundControl.h"

namespace zelmor {

// The window of the control's in-place site, else of its client site; a frame or tab window
// (the host's "ThunderFrame", "ThunderRT5Frame", "ThunderRTFrame", "SSTabCtlWndClass") is
// stepped over once, to its parent. 0 when the control is not sited.
WindowHandle FindFormWindow(IOleClientSite* site);

// The "Name" of the container's Parent, in the ANSI code page (at most 127 bytes). 0, or -1
// after showing VE808 to VE811; -1 without a site, and 0 with an empty name when the site has no
// container.
int QueryFormName(IOleClientSite* site, std::string& formName);

// The "hWnd" of the container's Parent, in the same way.
int QueryFormHandle(IOleClientSite* site, WindowHandle& formWindow);

}  // namespace zelmor

#endif
