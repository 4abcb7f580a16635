// Where the grid's cells are on its window, apart from the window: the drawing area (the client
// area less the border inset and the scroll bars), the rectangle of a cell, whether a cell is
// fully visible, what lies under a point, which scroll bars the content needs and their ranges.
// Positions are pixels of the drawing area, whose origin is the client area's corner moved in by
// the border inset.
#pragma once

#include <cstdint>

#include "grid/GridModel.h"

namespace zelmor {

constexpr int kGridBarThickness = 18;

// ScrollBars: the bars the grid may show.
enum GridScrollBars : int { kGridScNone = 0, kGridScHorz = 1, kGridScVert = 2, kGridScBoth = 3 };

// AllowUserResizing: the borders the user may drag.
enum GridResizing : int {
    kResizeNone = 0,
    kResizeCol = 1,
    kResizeRow = 2,
    kResizeBoth = 3
};

struct GridRect {
    int left, top, right, bottom;
    bool operator==(const GridRect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
};

// What the view shows: its client size, frame and bars, and the first scrollable row and column.
struct GridViewport {
    int width = 0, height = 0;  // the client area
    int inset = 0;              // 2 with a 3-D look, else 1 with a border, else 0
    bool verticalBar = false, horizontalBar = false;
    std::int32_t topRow = 1, leftCol = 1;
};

// The border inset of a frame.
int GridInset(bool threeD, bool border);

// What a point lies on.
struct GridHit {
    enum Kind {
        Outside,   // past the content, or outside the drawing area
        Data,      // a data cell
        FixedCol,  // the fixed columns of a scrollable row
        FixedRow,  // the fixed rows of a scrollable column
        Corner,    // the fixed rows and the fixed columns
    };
    Kind kind = Outside;
    std::int32_t row = -1, col = -1;
    // Within one pixel of the bottom edge of `row` (FixedCol) or the right edge of `col`
    // (FixedRow): a border the user may drag.
    bool onBorder = false;
};

class GridLayout {
  public:
    GridLayout(const GridModel& model, const GridViewport& viewport);

    // The drawing area's size.
    int AreaWidth() const;
    int AreaHeight() const;
    // The right and bottom edges of the content shown (the fixed bands and the cells from the
    // left column and the top row).
    int ContentRight() const;
    int ContentBottom() const;

    // A cell's rectangle; a scrollable cell before the top row or left column has none (false).
    bool CellRect(std::int32_t row, std::int32_t col, GridRect& rect) const;
    // Not before the top row or the left column, and its right and bottom edges inside the area.
    bool FullyVisible(std::int32_t row, std::int32_t col) const;
    // The last row and column that start inside the drawing area.
    std::int32_t LastVisibleRow() const;
    std::int32_t LastVisibleCol() const;

    GridHit HitTest(int x, int y) const;
    // The column whose right edge (any column shown, in the fixed rows) or the row whose bottom
    // edge (in the fixed columns) is within one pixel of the point; -1 when none.
    std::int32_t ColBorderAt(int x, int y) const;
    std::int32_t RowBorderAt(int x, int y) const;

  private:
    int ColStart(std::int32_t col) const;  // -1 when not shown
    int RowStart(std::int32_t row) const;
    int Width(std::int32_t col) const;
    int Height(std::int32_t row) const;

    const GridModel& model_;
    GridViewport viewport_;
};

// The bars the content needs in a client area of width × height.
struct GridBars {
    bool horizontal = false, vertical = false;
    bool operator==(const GridBars& other) const {
        return horizontal == other.horizontal && vertical == other.vertical;
    }
};
GridBars NeededBars(const GridModel& model, int scrollBars, int width, int height);

// The vertical bar's last position: the rows from FixedRows on that do not fit under the fixed
// band in `areaHeight` (the client height less the inset) less a bar's thickness; 0 when every
// row fits (the range is then left as it was). The horizontal bar runs 1 .. Cols - FixedCols.
std::int32_t VerticalRangeEnd(const GridModel& model, int areaHeight);

}  // namespace zelmor
