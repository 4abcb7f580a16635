// The grid's picture: the frame, the background, the fixed bands with their lines, raised look
// and texts, the data cells as one block in the background colour, the highlighted selection,
// the focus rectangle and the corner between the scroll bars.
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <ocidl.h>

#include <cstdint>

#include "grid/GridLayout.h"
#include "grid/GridModel.h"

namespace zelmor {

struct GridPaintState {
    const GridModel& model;
    GridViewport viewport;
    bool gridLines;
    std::int32_t gridLineWidth;
    OLE_COLOR backColor, foreColor;
    bool border, threeD;
    HFONT font;  // nullptr: the stock font
    bool alignFixedCells;
    bool centred;  // texts centred vertically
    bool highLight;
    std::int32_t selStartRow, selEndRow, selStartCol, selEndCol;
    std::int32_t row, col;  // the current cell
    bool focusRect;         // the current cell shows the focus
};

void PaintGrid(HDC dc, const RECT& bounds, const GridPaintState& state);

// The text flags of a cell of a column with alignment `align` (TextAlign: 1 right, 2 centre).
UINT GridTextFlags(bool centred, int align);

}  // namespace zelmor

#endif
