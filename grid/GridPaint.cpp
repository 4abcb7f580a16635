#include "grid/GridPaint.h"

#include <algorithm>

#include "com/AnsiText.h"
#include "com/Gdi.h"
#include "com/StockProperties.h"

namespace zelmor {

namespace {

const COLORREF kHighlight = RGB(0, 255, 255);
const COLORREF kDataLines = RGB(0x80, 0x80, 0x80);
const COLORREF kRaisedShadow = RGB(0x60, 0x60, 0x60);

class Painter {
  public:
    Painter(HDC dc, const GridPaintState& state)
        : dc_(dc), state_(state), model_(state.model), layout_(state.model, state.viewport) {}

    void Paint(const RECT& bounds) {
        const int inset = state_.viewport.inset;
        RECT area = bounds;
        if (state_.border) {
            FrameRect(dc_, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
        if (state_.threeD) DrawEdge(dc_, &area, EDGE_SUNKEN, BF_RECT);
        origin_ = {bounds.left + inset, bounds.top + inset};
        area_ = {origin_.x, origin_.y, origin_.x + layout_.AreaWidth(),
                 origin_.y + layout_.AreaHeight()};
        const int saved = SaveDC(dc_);
        IntersectClipRect(dc_, area_.left, area_.top, area_.right, area_.bottom);
        SetMapMode(dc_, MM_TEXT);
        FillRect(dc_, &area_, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        SelectObject(dc_, state_.font ? static_cast<HGDIOBJ>(state_.font)
                                      : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, com::ColourOf(state_.foreColor));
        lastRow_ = layout_.LastVisibleRow();
        lastCol_ = layout_.LastVisibleCol();
        if (model_.Rows() > 0 && model_.Cols() > 0) {
            FixedBands();
            DataBlock(state_.viewport.topRow, lastRow_, state_.viewport.leftCol, lastCol_,
                      com::ColourOf(state_.backColor));
            if (state_.focusRect) FocusRect();
            Highlight();
        }
        RestoreDC(dc_, saved);
        if (state_.viewport.verticalBar && state_.viewport.horizontalBar) {
            RECT corner{area_.right, area_.bottom, area_.right + kGridBarThickness,
                        area_.bottom + kGridBarThickness};
            FillRect(dc_, &corner, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        }
    }

  private:
    RECT Cell(std::int32_t row, std::int32_t col) const {
        GridRect rect{};
        layout_.CellRect(row, col, rect);
        return {origin_.x + rect.left, origin_.y + rect.top, origin_.x + rect.right,
                origin_.y + rect.bottom};
    }
    // The bottom of a row and the right edge of a column shown.
    int RowBottom(std::int32_t row) const {
        return Cell(row, model_.FixedCols() > 0 ? 0 : state_.viewport.leftCol).bottom;
    }
    int ColRight(std::int32_t col) const {
        return Cell(model_.FixedRows() > 0 ? 0 : state_.viewport.topRow, col).right;
    }
    int Align(std::int32_t col) const {
        std::int16_t align = 0;
        model_.TextAlign(col, align);
        return align;
    }
    void Text(std::int32_t row, std::int32_t col, RECT rect, int align) {
        const std::string& text = model_.Cell(row, col);
        if (text.empty()) return;
        const std::wstring wide = com::WideOf(text);
        DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &rect,
                  GridTextFlags(state_.centred, align));
    }
    void Line(int x1, int y1, int x2, int y2) {
        MoveToEx(dc_, x1, y1, nullptr);
        LineTo(dc_, x2, y2);
    }
    // The rows (columns) whose fixed cells are drawn: the fixed ones, then the visible ones.
    template <typename Visit>
    void EachShown(std::int32_t fixed, std::int32_t first, std::int32_t last, Visit visit) {
        for (std::int32_t i = 0; i < fixed; ++i) visit(i);
        for (std::int32_t i = std::max(first, fixed); i <= last; ++i) visit(i);
    }

    void FixedBands() {
        const int bandHeight = model_.FixedBandHeight();
        const int bandWidth = model_.FixedBandWidth();
        RECT top{area_.left, area_.top, area_.right, area_.top + bandHeight};
        RECT left{area_.left, area_.top, area_.left + bandWidth, area_.bottom};
        FillRect(dc_, &top, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        FillRect(dc_, &left, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
        const GridViewport& view = state_.viewport;
        if (state_.gridLines) {
            com::GdiObject<HPEN> pen(CreatePen(PS_SOLID, std::max(state_.gridLineWidth, 1), 0));
            com::SelectedObject selected(dc_, pen.Get());
            const int right = origin_.x + layout_.ContentRight();
            const int bottom = origin_.y + layout_.ContentBottom();
            // The grid's end, when it ends inside the area.
            if (bottom < area_.bottom) Line(area_.left, bottom - 1, right, bottom - 1);
            if (right < area_.right) Line(right - 1, area_.top, right - 1, bottom);
            for (std::int32_t r = 0; r < model_.FixedRows(); ++r) {
                Line(area_.left, RowBottom(r) - 1, area_.right, RowBottom(r) - 1);
            }
            for (std::int32_t c = 0; c < model_.FixedCols(); ++c) {
                Line(ColRight(c) - 1, area_.top, ColRight(c) - 1, area_.bottom);
            }
            for (std::int32_t r = view.topRow; r <= lastRow_; ++r) {
                Line(area_.left, RowBottom(r) - 1, area_.left + bandWidth, RowBottom(r) - 1);
            }
            for (std::int32_t c = view.leftCol; c <= lastCol_; ++c) {
                Line(ColRight(c) - 1, area_.top, ColRight(c) - 1, area_.top + bandHeight);
            }
        }
        auto fixedCell = [&](std::int32_t row, std::int32_t col) {
            RECT cell = Cell(row, col);
            if (state_.gridLines && state_.threeD) Raised(cell);
            RECT text{cell.left + 1, cell.top + 1, cell.right, cell.bottom};
            if (state_.threeD) InflateRect(&text, -1, -1);
            Text(row, col, text, state_.alignFixedCells ? Align(col) : 0);
        };
        // The corner, the fixed columns of the rows shown and the fixed rows of the columns.
        EachShown(model_.FixedRows(), view.topRow, lastRow_, [&](std::int32_t row) {
            for (std::int32_t col = 0; col < model_.FixedCols(); ++col) fixedCell(row, col);
        });
        for (std::int32_t row = 0; row < model_.FixedRows(); ++row) {
            for (std::int32_t col = std::max(view.leftCol, model_.FixedCols()); col <= lastCol_;
                 ++col) {
                fixedCell(row, col);
            }
        }
    }

    // White lines on the top and left edges, dark grey on the bottom and right, inside.
    void Raised(const RECT& cell) {
        const int right = cell.right - 1 - (state_.gridLines ? state_.gridLineWidth : 0);
        const int bottom = cell.bottom - 1 - (state_.gridLines ? state_.gridLineWidth : 0);
        {
            com::SelectedObject white(dc_, GetStockObject(WHITE_PEN));
            Line(cell.left, bottom, cell.left, cell.top);
            Line(cell.left, cell.top, right + 1, cell.top);
        }
        com::GdiObject<HPEN> shadow(CreatePen(PS_SOLID, 1, kRaisedShadow));
        com::SelectedObject selected(dc_, shadow.Get());
        Line(cell.left, bottom, right, bottom);
        Line(right, bottom, right, cell.top - 1);
    }

    // Rows r1..r2 and columns c1..c2 (inclusive, in either order) filled with a colour, with
    // grey lines between them and their texts in their columns' alignment.
    void DataBlock(std::int32_t r1, std::int32_t r2, std::int32_t c1, std::int32_t c2,
                   COLORREF colour) {
        if (r1 > r2) std::swap(r1, r2);
        if (c1 > c2) std::swap(c1, c2);
        r1 = std::max(r1, state_.viewport.topRow);
        c1 = std::max(c1, state_.viewport.leftCol);
        r2 = std::min(r2, lastRow_);
        c2 = std::min(c2, lastCol_);
        if (r1 > r2 || c1 > c2) return;
        const RECT first = Cell(r1, c1);
        const RECT last = Cell(r2, c2);
        RECT block{first.left, first.top, std::min(last.right, area_.right),
                   std::min(last.bottom, area_.bottom)};
        com::Brush brush(CreateSolidBrush(colour));
        FillRect(dc_, &block, brush.Get());
        if (state_.gridLines) {
            com::GdiObject<HPEN> pen(
                CreatePen(PS_SOLID, std::max(state_.gridLineWidth, 1), kDataLines));
            com::SelectedObject selected(dc_, pen.Get());
            for (std::int32_t r = r1; r <= r2; ++r) {
                const int y = Cell(r, c1).bottom - 1;
                Line(block.left, y, block.right, y);
            }
            for (std::int32_t c = c1; c <= c2; ++c) {
                const int x = Cell(r1, c).right - 1;
                Line(x, block.top, x, block.bottom);
            }
        }
        for (std::int32_t r = r1; r <= r2; ++r) {
            for (std::int32_t c = c1; c <= c2; ++c) {
                const RECT cell = Cell(r, c);
                RECT text{cell.left + 1, cell.top + 1, cell.right, cell.bottom};
                if (state_.threeD) InflateRect(&text, -1, -1);
                Text(r, c, text, Align(c));
            }
        }
    }

    void FocusRect() {
        const GridViewport& view = state_.viewport;
        if (state_.row < view.topRow || state_.col < view.leftCol || state_.row > lastRow_ ||
            state_.col > lastCol_) {
            return;
        }
        RECT cell = Cell(state_.row, state_.col);
        InflateRect(&cell, -1, -1);
        DrawFocusRect(dc_, &cell);
    }

    // The selection, when it lies wholly in the data area; ends past the grid stop at its last
    // row and column.
    void Highlight() {
        const std::int32_t fixedRows = model_.FixedRows();
        const std::int32_t fixedCols = model_.FixedCols();
        if (!state_.highLight || state_.selStartRow < fixedRows || state_.selEndRow < fixedRows ||
            state_.selStartCol < fixedCols || state_.selEndCol < fixedCols) {
            return;
        }
        const std::int32_t r1 = std::max(state_.selStartRow, state_.viewport.topRow);
        const std::int32_t c1 = std::max(state_.selStartCol, state_.viewport.leftCol);
        const std::int32_t r2 = std::min(state_.selEndRow, model_.Rows() - 1);
        const std::int32_t c2 = std::min(state_.selEndCol, model_.Cols() - 1);
        DataBlock(r1, r2, c1, c2, kHighlight);
        if (state_.focusRect && r1 == state_.row && c1 == state_.col) FocusRect();
    }

    HDC dc_;
    const GridPaintState& state_;
    const GridModel& model_;
    GridLayout layout_;
    POINT origin_{};
    RECT area_{};
    std::int32_t lastRow_ = 0, lastCol_ = 0;
};

}  // namespace

UINT GridTextFlags(bool centred, int align) {
    UINT flags = DT_WORDBREAK | DT_SINGLELINE | DT_EXTERNALLEADING | DT_NOPREFIX;
    if (centred) flags |= DT_VCENTER;
    if (align == 1) flags |= DT_RIGHT;
    if (align == 2) flags |= DT_CENTER;
    return flags;
}

void PaintGrid(HDC dc, const RECT& bounds, const GridPaintState& state) {
    Painter(dc, state).Paint(bounds);
}

}  // namespace zelmor
