// A plain picture of the grid: its frame, the fixed bands, the grid lines and the texts of the
// cells shown from the top row and left column on. The scroll bars, the selection's highlight
// and the focus are not drawn here.
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <ocidl.h>

#include <cstdint>

#include "grid/GridModel.h"

namespace zelmor {

struct GridPaintState {
    const GridModel& model;
    std::int32_t topRow, leftCol;  // the first scrollable row and column shown
    bool gridLines;
    std::int32_t gridLineWidth;
    OLE_COLOR backColor, foreColor;
    bool border, sunken;
    HFONT font;  // nullptr: the device context's own
};

void PaintGrid(HDC dc, const RECT& bounds, const GridPaintState& state);

}  // namespace zelmor

#endif
