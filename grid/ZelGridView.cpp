// ZelGrid's window: its painting through a buffer, and its two scroll bars, laid out for the
// content, with their ranges and positions, moving the first row and column shown.
#include "com/Gdi.h"
#include "grid/GridPaint.h"
#include "grid/ZelGrid.h"
#include "grid/ZelGridMembers.h"

namespace zelmor {

using namespace grid_members;

namespace {

constexpr int kHorizontalBarId = 127;
constexpr int kVerticalBarId = 128;

}  // namespace

GridViewport ZelGrid::Viewport() {
    GridViewport viewport;
    if (Window()) {
        RECT client{};
        GetClientRect(Window(), &client);
        viewport.width = client.right;
        viewport.height = client.bottom;
    }
    viewport.inset = GridInset(Stock().appearance != 0, Stock().borderStyle != 0);
    viewport.verticalBar = verticalBar_ != nullptr;
    viewport.horizontalBar = horizontalBar_ != nullptr;
    viewport.topRow = topRow_;
    viewport.leftCol = leftCol_;
    return viewport;
}

GridModel::Current ZelGrid::CurrentCell() const {
    return {row_, col_, selStartRow_, selEndRow_, selStartCol_, selEndCol_, fillStyle_};
}

bool ZelGrid::HasFocus() const {
    HWND focus = GetFocus();
    return Window() && (focus == Window() || (focus && IsChild(Window(), focus)));
}

// --- Painting ---

void ZelGrid::OnDraw(HDC dc, const RECT& bounds) {
    GridViewport viewport = Viewport();
    viewport.width = bounds.right - bounds.left;
    viewport.height = bounds.bottom - bounds.top;
    HFONT font = nullptr;
    if (IFont* stock = StockFont()) stock->get_hFont(&font);
    // At run time the focus rectangle shows while the grid has the focus and the editor does
    // not mark the cell; at design time the current cell is marked once.
    const bool focusRect = Site().UserMode() ? HasFocus() && !editorShowing_ : true;
    const GridPaintState state{logic_.model,      viewport,         gridLines_,
                               gridLineWidth_,    Stock().backColor, Stock().foreColor,
                               Stock().borderStyle != 0, Stock().appearance != 0, font,
                               alignFixedCells_, centred_,         highLight_,
                               selStartRow_,      selEndRow_,       selStartCol_,
                               selEndCol_,        row_,             col_,
                               focusRect};
    PaintGrid(dc, bounds, state);
}

// The picture is made in memory and put on the window at once, so that nothing flickers.
void ZelGrid::PaintBuffered() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Window(), &paint);
    RECT client{};
    GetClientRect(Window(), &client);
    com::MemoryDc memory(dc);
    com::Bitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (memory.Get() && bitmap) {
        com::SelectedObject selected(memory.Get(), bitmap.Get());
        OnDraw(memory.Get(), client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
    } else {
        OnDraw(dc, client);
    }
    EndPaint(Window(), &paint);
}

// --- Scroll bars ---

// A new size lays the bars out again; an editor showing follows its cell.
void ZelGrid::LayoutChildren(int, int) {
    LayOutBars();
    SetBarRanges(false);
    if (editorShowing_) PlaceEditor();
}

void ZelGrid::LayOutBars() {
    if (!Window() || !initialized_) return;
    RECT client{};
    GetClientRect(Window(), &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0) return;
    const GridModel& model = logic_.model;
    const GridBars bars = NeededBars(model, scrollBars_, width, height);
    const int inset = Viewport().inset;
    const int bar = kGridBarThickness;
    auto place = [&](HWND& window, bool needed, bool vertical, RECT at) {
        if (!needed) {
            if (window) DestroyWindow(window);
            window = nullptr;
            return;
        }
        if (!window) {
            window = AddHostedChild(L"ScrollBar",
                                    WS_VISIBLE | WS_CLIPSIBLINGS | (vertical ? SBS_VERT : SBS_HORZ),
                                    0, at);
            if (window) {
                SetWindowLongPtrW(window, GWLP_ID, vertical ? kVerticalBarId : kHorizontalBarId);
            }
        } else {
            // A window asked to stay where it is repaints all the same: it is left alone.
            RECT now{};
            GetWindowRect(window, &now);
            MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&now), 2);
            if (!EqualRect(&now, &at)) {
                MoveWindow(window, at.left, at.top, at.right - at.left, at.bottom - at.top, TRUE);
            }
        }
    };
    const int horizontalWidth = width - 2 * inset - (bars.vertical ? bar : 0);
    const int verticalHeight = height - 2 * inset - (bars.horizontal ? bar : 0);
    place(horizontalBar_, bars.horizontal, false,
          RECT{inset, height - bar - inset, inset + horizontalWidth, height - inset});
    place(verticalBar_, bars.vertical, true,
          RECT{width - bar - inset, inset, width - inset, inset + verticalHeight});
    // Without a bar the content shows from its start.
    if (!verticalBar_) topRow_ = model.FixedRows();
    if (!horizontalBar_) leftCol_ = model.FixedCols();
}

namespace {

// A bar is told only what changes: each call redraws it.
void SetRange(HWND bar, int end) {
    int minimum = 0;
    int maximum = 0;
    GetScrollRange(bar, SB_CTL, &minimum, &maximum);
    if (minimum != 1 || maximum != end) SetScrollRange(bar, SB_CTL, 1, end, TRUE);
}

void SetPosition(HWND bar, int position) {
    if (bar && GetScrollPos(bar, SB_CTL) != position) SetScrollPos(bar, SB_CTL, position, TRUE);
}

}  // namespace

void ZelGrid::SetBarRanges(bool reset) {
    if (!Window()) return;
    const GridModel& model = logic_.model;
    if (verticalBar_) {
        const int end = VerticalRangeEnd(model, Viewport().height - 2 * Viewport().inset);
        if (end > 0) SetRange(verticalBar_, end);
    }
    if (horizontalBar_) SetRange(horizontalBar_, std::max(1, model.Cols() - model.FixedCols()));
    if (reset) {
        verticalPosition_ = horizontalPosition_ = 1;
        topRow_ = model.FixedRows();
        leftCol_ = model.FixedCols();
    }
    ShowBarPositions();
}

void ZelGrid::ShowBarPositions() {
    SetPosition(verticalBar_, verticalPosition_);
    SetPosition(horizontalBar_, horizontalPosition_);
}

bool ZelGrid::ScrollBy(bool vertical, int delta) {
    HWND bar = vertical ? verticalBar_ : horizontalBar_;
    if (!bar) return false;
    int minimum = 1;
    int maximum = 1;
    GetScrollRange(bar, SB_CTL, &minimum, &maximum);
    int& position = vertical ? verticalPosition_ : horizontalPosition_;
    const int wanted = position + delta;
    if (wanted < minimum || wanted > maximum) return false;
    position = wanted;
    if (vertical) {
        topRow_ = logic_.model.FixedRows() + position - 1;
    } else {
        leftCol_ = logic_.model.FixedCols() + position - 1;
    }
    ShowBarPositions();
    FireViewChange();
    return true;
}

// Line and page moves go one row (column) at a time; a released thumb goes where it was let go.
bool ZelGrid::OnScroll(HWND child, bool vertical, WORD code, WORD position) {
    if (!child || (child != verticalBar_ && child != horizontalBar_)) return false;
    vertical = child == verticalBar_;
    bool moved = false;
    switch (code) {
        case SB_LINEUP:
        case SB_PAGEUP:
            moved = ScrollBy(vertical, -1);
            break;
        case SB_LINEDOWN:
        case SB_PAGEDOWN:
            moved = ScrollBy(vertical, 1);
            break;
        case SB_THUMBPOSITION:
            moved = ScrollBy(vertical, static_cast<int>(position) -
                                           (vertical ? verticalPosition_ : horizontalPosition_));
            break;
        default:
            break;
    }
    if (!moved) return true;
    if (!vertical && !Layout().FullyVisible(row_, col_)) col_ = leftCol_;
    PlaceEditor();
    return true;
}

}  // namespace zelmor
