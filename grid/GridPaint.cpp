#include "grid/GridPaint.h"

#include <algorithm>
#include <vector>

#include "com/AnsiText.h"
#include "com/Gdi.h"
#include "com/StockProperties.h"

namespace zelmor {

namespace {

// The columns (rows) drawn: the fixed ones, then from the first shown on, while they start
// inside `extent` pixels. Each with its start.
struct Band {
    std::int32_t index;
    int start, size;
};

template <typename SizeOf>
std::vector<Band> BandsShown(std::int32_t fixed, std::int32_t first, std::int32_t count,
                             int extent, SizeOf sizeOf) {
    std::vector<Band> bands;
    int at = 0;
    auto add = [&](std::int32_t index) {
        const int size = sizeOf(index);
        bands.push_back({index, at, size});
        at += size;
    };
    for (std::int32_t i = 0; i < fixed && at < extent; ++i) add(i);
    for (std::int32_t i = std::max(first, fixed); i < count && at < extent; ++i) add(i);
    return bands;
}

constexpr UINT kTextFlags = DT_WORDBREAK | DT_SINGLELINE | DT_EXTERNALLEADING | DT_NOPREFIX |
                            DT_VCENTER | DT_LEFT;

}  // namespace

void PaintGrid(HDC dc, const RECT& bounds, const GridPaintState& state) {
    const GridModel& model = state.model;
    RECT area = bounds;
    com::Brush background(CreateSolidBrush(com::ColourOf(state.backColor)));
    FillRect(dc, &area, background.Get());
    if (state.border) {
        FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&area, -1, -1);
    }
    if (state.sunken) {
        DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT);
        InflateRect(&area, -2, -2);
    }
    if (area.right <= area.left || area.bottom <= area.top) return;

    const std::vector<Band> cols =
        BandsShown(model.FixedCols(), state.leftCol, model.Cols(), area.right - area.left,
                   [&](std::int32_t c) {
                       std::int32_t width = 0;
                       model.ColWidth(c, width);
                       return static_cast<int>(width);
                   });
    const std::vector<Band> rows =
        BandsShown(model.FixedRows(), state.topRow, model.Rows(), area.bottom - area.top,
                   [&](std::int32_t r) {
                       std::int32_t height = 0;
                       model.RowHeight(r, height);
                       return static_cast<int>(height);
                   });

    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    if (state.font) SelectObject(dc, state.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, com::ColourOf(state.foreColor));
    com::Brush fixedFace(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    com::GdiObject<HPEN> pen(CreatePen(PS_SOLID, std::max<std::int32_t>(state.gridLineWidth, 1),
                                       GetSysColor(COLOR_BTNSHADOW)));
    for (const Band& row : rows) {
        for (const Band& col : cols) {
            RECT cell{area.left + col.start, area.top + row.start,
                      area.left + col.start + col.size, area.top + row.start + row.size};
            const bool fixed = row.index < model.FixedRows() || col.index < model.FixedCols();
            if (fixed) {
                FillRect(dc, &cell, fixedFace.Get());
                DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
            }
            const std::string& text = model.Cell(row.index, col.index);
            if (!text.empty()) {
                RECT inner{cell.left + 2, cell.top, cell.right - 2, cell.bottom};
                const std::wstring wide = com::WideOf(text);
                DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &inner, kTextFlags);
            }
        }
    }
    if (state.gridLines && !rows.empty() && !cols.empty()) {
        com::SelectedObject selected(dc, pen.Get());
        const int right = area.left + cols.back().start + cols.back().size;
        const int bottom = area.top + rows.back().start + rows.back().size;
        for (const Band& col : cols) {
            const int x = area.left + col.start + col.size - 1;
            MoveToEx(dc, x, area.top, nullptr);
            LineTo(dc, x, bottom);
        }
        for (const Band& row : rows) {
            const int y = area.top + row.start + row.size - 1;
            MoveToEx(dc, area.left, y, nullptr);
            LineTo(dc, right, y);
        }
    }
    RestoreDC(dc, saved);
}

}  // namespace zelmor
