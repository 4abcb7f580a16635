#include "grid/GridLayout.h"

#include <algorithm>
#include <cstdlib>

namespace zelmor {

int GridInset(bool threeD, bool border) {
    return threeD ? 2 : border ? 1 : 0;
}

GridLayout::GridLayout(const GridModel& model, const GridViewport& viewport)
    : model_(model), viewport_(viewport) {}

int GridLayout::AreaWidth() const {
    return std::max(0, viewport_.width - 2 * viewport_.inset -
                           (viewport_.verticalBar ? kGridBarThickness : 0));
}

int GridLayout::AreaHeight() const {
    return std::max(0, viewport_.height - 2 * viewport_.inset -
                           (viewport_.horizontalBar ? kGridBarThickness : 0));
}

int GridLayout::Width(std::int32_t col) const {
    std::int32_t width = 0;
    model_.ColWidth(col, width);
    return width;
}

int GridLayout::Height(std::int32_t row) const {
    std::int32_t height = 0;
    model_.RowHeight(row, height);
    return height;
}

int GridLayout::ContentRight() const {
    int right = model_.FixedBandWidth();
    for (std::int32_t col = std::max(viewport_.leftCol, model_.FixedCols()); col < model_.Cols();
         ++col) {
        right += Width(col);
        if (right > AreaWidth()) break;  // nothing further is shown
    }
    return right;
}

int GridLayout::ContentBottom() const {
    int bottom = model_.FixedBandHeight();
    for (std::int32_t row = std::max(viewport_.topRow, model_.FixedRows()); row < model_.Rows();
         ++row) {
        bottom += Height(row);
        if (bottom > AreaHeight()) break;
    }
    return bottom;
}

int GridLayout::ColStart(std::int32_t col) const {
    if (col < 0 || col >= model_.Cols()) return -1;
    int x = 0;
    if (col < model_.FixedCols()) {
        for (std::int32_t c = 0; c < col; ++c) x += Width(c);
        return x;
    }
    if (col < viewport_.leftCol) return -1;
    x = model_.FixedBandWidth();
    for (std::int32_t c = std::max(viewport_.leftCol, model_.FixedCols()); c < col; ++c) {
        x += Width(c);
    }
    return x;
}

int GridLayout::RowStart(std::int32_t row) const {
    if (row < 0 || row >= model_.Rows()) return -1;
    int y = 0;
    if (row < model_.FixedRows()) {
        for (std::int32_t r = 0; r < row; ++r) y += Height(r);
        return y;
    }
    if (row < viewport_.topRow) return -1;
    y = model_.FixedBandHeight();
    for (std::int32_t r = std::max(viewport_.topRow, model_.FixedRows()); r < row; ++r) {
        y += Height(r);
    }
    return y;
}

bool GridLayout::CellRect(std::int32_t row, std::int32_t col, GridRect& rect) const {
    const int x = ColStart(col);
    const int y = RowStart(row);
    if (x < 0 || y < 0) return false;
    rect = {x, y, x + Width(col), y + Height(row)};
    return true;
}

bool GridLayout::FullyVisible(std::int32_t row, std::int32_t col) const {
    GridRect rect{};
    return row >= viewport_.topRow && col >= viewport_.leftCol && CellRect(row, col, rect) &&
           rect.right <= AreaWidth() && rect.bottom <= AreaHeight();
}

std::int32_t GridLayout::LastVisibleRow() const {
    std::int32_t last = model_.FixedRows() - 1;
    int y = model_.FixedBandHeight();
    for (std::int32_t row = std::max(viewport_.topRow, model_.FixedRows());
         row < model_.Rows() && y < AreaHeight(); ++row) {
        last = row;
        y += Height(row);
    }
    return last;
}

std::int32_t GridLayout::LastVisibleCol() const {
    std::int32_t last = model_.FixedCols() - 1;
    int x = model_.FixedBandWidth();
    for (std::int32_t col = std::max(viewport_.leftCol, model_.FixedCols());
         col < model_.Cols() && x < AreaWidth(); ++col) {
        last = col;
        x += Width(col);
    }
    return last;
}

GridHit GridLayout::HitTest(int x, int y) const {
    GridHit hit;
    if (x < 0 || y < 0 || x >= ContentRight() || y >= ContentBottom()) return hit;
    const bool inFixedCols = x < model_.FixedBandWidth();
    const bool inFixedRows = y < model_.FixedBandHeight();
    // The row and the column under the point: from 0 in the fixed bands, else from the first
    // shown.
    auto find = [](std::int32_t first, std::int32_t end, int at, int start, auto size) {
        for (std::int32_t i = first; i < end; ++i) {
            start += size(i);
            if (at < start) return i;
        }
        return end - 1;
    };
    auto width = [this](std::int32_t c) { return Width(c); };
    auto height = [this](std::int32_t r) { return Height(r); };
    hit.col = inFixedCols ? find(0, model_.FixedCols(), x, 0, width)
                          : find(std::max(viewport_.leftCol, model_.FixedCols()), model_.Cols(),
                                 x, model_.FixedBandWidth(), width);
    hit.row = inFixedRows ? find(0, model_.FixedRows(), y, 0, height)
                          : find(std::max(viewport_.topRow, model_.FixedRows()), model_.Rows(), y,
                                 model_.FixedBandHeight(), height);
    if (inFixedCols && inFixedRows) {
        hit.kind = GridHit::Corner;
    } else if (inFixedCols) {
        hit.kind = GridHit::FixedCol;
        hit.onBorder = RowBorderAt(x, y) >= 0;
    } else if (inFixedRows) {
        hit.kind = GridHit::FixedRow;
        hit.onBorder = ColBorderAt(x, y) >= 0;
    } else {
        hit.kind = GridHit::Data;
    }
    return hit;
}

std::int32_t GridLayout::ColBorderAt(int x, int y) const {
    if (y < 0 || y >= model_.FixedBandHeight()) return -1;
    for (std::int32_t col = 0; col <= LastVisibleCol(); ++col) {
        GridRect rect{};
        if (col >= model_.FixedCols() && col < viewport_.leftCol) continue;
        if (CellRect(0, col, rect) && std::abs(x - rect.right) <= 1) return col;
    }
    return -1;
}

std::int32_t GridLayout::RowBorderAt(int x, int y) const {
    if (x < 0 || x >= model_.FixedBandWidth()) return -1;
    for (std::int32_t row = 0; row <= LastVisibleRow(); ++row) {
        GridRect rect{};
        if (row >= model_.FixedRows() && row < viewport_.topRow) continue;
        if (CellRect(row, 0, rect) && std::abs(y - rect.bottom) <= 1) return row;
    }
    return -1;
}

GridBars NeededBars(const GridModel& model, int scrollBars, int width, int height) {
    GridBars bars;
    if (scrollBars == kGridScNone) return bars;
    long long totalHeight = 0;
    long long totalWidth = 0;
    for (std::int32_t row = 0; row < model.Rows(); ++row) {
        std::int32_t h = 0;
        model.RowHeight(row, h);
        totalHeight += h;
    }
    for (std::int32_t col = 0; col < model.Cols(); ++col) {
        std::int32_t w = 0;
        model.ColWidth(col, w);
        totalWidth += w;
    }
    const bool wider = totalWidth > width;
    const bool taller = totalHeight > height;
    switch (scrollBars) {
        case kGridScHorz:
            bars.horizontal = wider;
            break;
        case kGridScVert:
            bars.vertical = taller;
            break;
        default:
            // Either bar takes room from the other direction: content that overflows one way
            // and nearly fills the other needs both. Content that fits needs none.
            if ((wider && taller) ||
                ((wider || taller) && totalWidth > width - kGridBarThickness &&
                 totalHeight > height - kGridBarThickness)) {
                bars = {true, true};
            } else {
                bars = {wider, !wider && taller};
            }
            break;
    }
    return bars;
}

std::int32_t VerticalRangeEnd(const GridModel& model, int areaHeight) {
    const int room = areaHeight - kGridBarThickness - model.FixedBandHeight();
    int sum = 0;
    for (std::int32_t row = model.FixedRows(); row < model.Rows(); ++row) {
        std::int32_t height = 0;
        model.RowHeight(row, height);
        sum += height;
        if (sum > room) return model.Rows() - row + 1;
    }
    return 0;
}

}  // namespace zelmor
