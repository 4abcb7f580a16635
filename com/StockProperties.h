// The stock properties a control may have (colours, font, enabled state, tab stop, appearance,
// border, mouse pointer and icon, picture, text or caption), kept once for every control, and
// the mouse pointer table. The control base applies them to its windows.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "com/ComPtr.h"

namespace zelmor::com {

// System colours as automation colours (the high bit marks a system colour index).
constexpr OLE_COLOR kSystemWindow = 0x80000005;
constexpr OLE_COLOR kSystemWindowText = 0x80000008;
constexpr OLE_COLOR kSystemButtonFace = 0x8000000F;
constexpr OLE_COLOR kSystemButtonText = 0x80000012;

// _enumMousePointer: the user-defined pointer shows the MouseIcon picture.
constexpr long kPointerDefault = 0;
constexpr long kPointerUserDefined = 99;

struct StockProperties {
    OLE_COLOR backColor = kSystemWindow;
    OLE_COLOR foreColor = kSystemWindowText;
    bool enabled = true;
    bool tabStop = true;
    short appearance = 1;  // 0 flat, 1 sunken
    long borderStyle = 1;  // 0 none, 1 single line
    long mousePointer = kPointerDefault;
    ComPtr<IFont> font;  // made on first use from the container's font
    ComPtr<IPictureDisp> mouseIcon;
    ComPtr<IPictureDisp> picture;
    std::wstring text;  // Text, or Caption
};

// The cursor a mouse pointer value shows: a system cursor from the table, the icon's picture
// for the user-defined pointer, or null (leave the window's default) for 0, for values the
// table does not list, and for the user-defined pointer without an icon.
HCURSOR CursorForPointer(long mousePointer, IPictureDisp* icon);

// The colour an automation colour stands for (system colours resolved).
COLORREF ColourOf(OLE_COLOR colour);

}  // namespace zelmor::com
