#include "com/StockProperties.h"

namespace zelmor::com {

namespace {

struct PointerCursor {
    long pointer;
    WORD cursor;  // the system cursor's identifier
};

// _enumMousePointer and the system cursors they show (IDC_ARROW 32512, IDC_CROSS 32515, ...).
const PointerCursor kPointerCursors[] = {
    {1, 32512},  {2, 32515},  {3, 32513},  {4, 32512},  {5, 32646},
    {6, 32642},  {7, 32645},  {8, 32643},  {9, 32644},  {10, 32516},
    {11, 32514}, {12, 32648}, {13, 32650}, {14, 32651}, {15, 32646},
};

}  // namespace

HCURSOR CursorForPointer(long mousePointer, IPictureDisp* icon) {
    if (mousePointer == kPointerUserDefined) {
        auto picture = ComPtr<IPictureDisp>(icon).As<IPicture>();
        OLE_HANDLE handle = 0;
        if (!picture || FAILED(picture->get_Handle(&handle))) return nullptr;
        return reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(handle));
    }
    for (const PointerCursor& entry : kPointerCursors) {
        if (entry.pointer == mousePointer) {
            return LoadCursorW(nullptr, MAKEINTRESOURCEW(entry.cursor));
        }
    }
    return nullptr;
}

COLORREF ColourOf(OLE_COLOR colour) {
    COLORREF resolved = 0;
    if (FAILED(OleTranslateColor(colour, nullptr, &resolved))) resolved = GetSysColor(COLOR_WINDOW);
    return resolved;
}

}  // namespace zelmor::com
