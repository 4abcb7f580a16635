// ZelGrid's input: presses, drags and releases of the mouse (cells, whole rows and columns,
// selections, border resizing), the keys of the grid's window and of its in-place editor, the
// editor itself, and the focus coming and going.
#include <windowsx.h>

#include <algorithm>

#include "com/AnsiText.h"
#include "controls/Win32Ime.h"
#include "grid/ZelGrid.h"
#include "grid/ZelGridMembers.h"

namespace zelmor {

using namespace grid_members;

namespace {

constexpr std::size_t kEditorText = 640;  // bytes of a cell the editor compares

bool IsArrow(WPARAM key) {
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

}  // namespace

// --- Messages ---

bool ZelGrid::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const bool run = Site().UserMode();
    switch (message) {
        case WM_PAINT:
            PaintBuffered();
            result = 0;
            return true;
        case WM_ERASEBKGND:
            result = 1;  // the paint covers the whole window
            return true;
        case WM_LBUTTONDOWN:
            if (run) {
                FireMouseEvent(message, wParam, lParam);
                SetFocus(Window());
                SetCapture(Window());
                OnPress(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            }
            result = 0;
            return true;
        case WM_MOUSEMOVE:
            if (run) {
                FireMouseEvent(message, wParam, lParam);
                OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam),
                            (wParam & MK_LBUTTON) != 0);
            }
            result = 0;
            return true;
        case WM_LBUTTONUP:
            if (run) {
                if (GetCapture() == Window()) ReleaseCapture();
                OnRelease(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                FireMouseEvent(message, wParam, lParam);
            }
            result = 0;
            return true;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            if (run) FireMouseEvent(message, wParam, lParam);
            result = 0;
            return true;
        case WM_LBUTTONDBLCLK:
            if (run) FireEvent(DISPID_DBLCLICK);
            result = 0;
            return true;
        case WM_SETCURSOR:
            // A border being dragged keeps its cursor.
            if (resizingCol_ >= 0 || resizingRow_ >= 0) {
                result = TRUE;
                return true;
            }
            break;
        case WM_KEYDOWN:
            if (run && OnGridKey(wParam)) {
                result = 0;
                return true;
            }
            break;
        case WM_GETDLGCODE:
            result = DLGC_WANTARROWS;
            return true;
        case WM_SETFOCUS: {
            BoundControlObject::OnMessage(message, wParam, lParam, result);
            if (run && reinterpret_cast<HWND>(wParam) != editor_) OnFocusGained();
            return true;
        }
        case WM_KILLFOCUS:
            if (run) OnFocusLost(reinterpret_cast<HWND>(wParam));
            break;
        default:
            break;
    }
    return BoundControlObject::OnMessage(message, wParam, lParam, result);
}

bool ZelGrid::OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result) {
    if (child == editor_) {
        if (message == WM_KEYDOWN && OnEditorKey(wParam)) {
            result = 0;
            return true;
        }
        if (message == WM_KILLFOCUS) OnFocusLost(reinterpret_cast<HWND>(wParam));
    }
    return BoundControlObject::OnChildMessage(child, message, wParam, lParam, result);
}

// KeyDown, KeyUp and KeyPress for keys aimed at the grid or its editor; a handler that sets
// the key to 0 takes it. The arrows stay with the grid; other keys are offered to the site.
HRESULT ZelGrid::OnTranslateAccelerator(MSG* msg) {
    const short shift = KeyShiftState();
    switch (msg->message) {
        case WM_KEYDOWN:
            if (FireKeyEvent(DISPID_KEYDOWN, static_cast<short>(msg->wParam), shift) == 0) {
                return S_OK;
            }
            if (IsArrow(msg->wParam)) return S_FALSE;
            return TranslateThroughSite(msg, shift);
        case WM_KEYUP:
            if (FireKeyEvent(DISPID_KEYUP, static_cast<short>(msg->wParam), shift) == 0) {
                return S_OK;
            }
            if (msg->wParam == VK_DELETE && Site().UserMode() && logic_.rowSelected) {
                DeleteSelectedRow();
                PlaceEditor();
            }
            return TranslateThroughSite(msg, shift);
        case WM_CHAR: {
            const short character = FireKeyPress(static_cast<short>(msg->wParam));
            if (character == 0) return S_OK;
            msg->wParam = static_cast<WPARAM>(static_cast<unsigned short>(character));
            return TranslateThroughSite(msg, shift);
        }
        default:
            return TranslateThroughSite(msg, shift);
    }
}

// --- The mouse ---

void ZelGrid::OnPress(int x, int y) {
    GridLayout layout = Layout();
    const int inset = Viewport().inset;
    const GridHit hit = layout.HitTest(x - inset, y - inset);
    if (hit.kind == GridHit::Outside) {
        FireEvent(DISPID_CLICK);
        return;
    }
    logic_.rowSelected = false;
    const GridModel& model = logic_.model;
    switch (hit.kind) {
        case GridHit::Data: {
            CommitEditor();
            const std::int32_t previous = row_;
            row_ = selStartRow_ = selEndRow_ = hit.row;
            col_ = selStartCol_ = selEndCol_ = hit.col;
            FireEvent(DISPID_GRID_EVENT_CHANGE);
            selecting_ = true;
            anchorRow_ = hit.row;
            anchorCol_ = hit.col;
            dragRow_ = dragCol_ = -1;
            if (previous != row_) logic_.WriteBackRow(previous);
            break;
        }
        case GridHit::FixedCol:
            if (hit.onBorder) break;
            selStartRow_ = selEndRow_ = row_ = hit.row;
            selStartCol_ = col_ = model.FixedCols();
            selEndCol_ = model.Cols();
            FireEvent(DISPID_GRID_EVENT_CHANGE);
            logic_.rowSelected = true;
            break;
        case GridHit::FixedRow:
            if (hit.onBorder) break;
            selStartRow_ = row_ = model.FixedRows();
            selEndRow_ = model.Rows();
            selStartCol_ = selEndCol_ = col_ = hit.col;
            FireEvent(DISPID_GRID_EVENT_CHANGE);
            break;
        default:  // the corner: the whole grid
            selStartRow_ = row_ = model.FixedRows();
            selEndRow_ = model.Rows();
            selStartCol_ = col_ = model.FixedCols();
            selEndCol_ = model.Cols();
            FireEvent(DISPID_GRID_EVENT_CHANGE);
            break;
    }
    // A press on a border starts its resize at once (a real mouse starts it when it moves
    // while still on the border).
    OnMouseMove(x, y, true);
    PlaceEditor();
    FireEvent(DISPID_CLICK);
    FireViewChange();
}

void ZelGrid::OnMouseMove(int x, int y, bool buttonDown) {
    const int inset = Viewport().inset;
    GridLayout layout = Layout();
    if (selecting_) {
        if (!buttonDown) {
            selecting_ = false;
            return;
        }
        const GridHit hit = layout.HitTest(x - inset, y - inset);
        if (hit.kind == GridHit::Data && (hit.row != dragRow_ || hit.col != dragCol_) &&
            (hit.row != anchorRow_ || hit.col != anchorCol_ || dragRow_ >= 0)) {
            dragRow_ = hit.row;
            dragCol_ = hit.col;
            if (highLight_) {
                selStartRow_ = std::min(anchorRow_, dragRow_);
                selEndRow_ = std::max(anchorRow_, dragRow_);
                selStartCol_ = std::min(anchorCol_, dragCol_);
                selEndCol_ = std::max(anchorCol_, dragCol_);
                FireViewChange();
            }
        }
        return;
    }
    if (resizingCol_ >= 0 || resizingRow_ >= 0) {
        if (!buttonDown) return;
        InvertDragLine();
        dragAt_ = std::max(resizingCol_ >= 0 ? x : y, dragMinimum_);
        InvertDragLine();
        return;
    }
    const bool columns = allowUserResizing_ == kResizeCol || allowUserResizing_ == kResizeBoth;
    const bool rows = allowUserResizing_ == kResizeRow || allowUserResizing_ == kResizeBoth;
    const std::int32_t col = columns ? layout.ColBorderAt(x - inset, y - inset) : -1;
    const std::int32_t row = col < 0 && rows ? layout.RowBorderAt(x - inset, y - inset) : -1;
    if (col < 0 && row < 0) return;  // the stock cursor, as WM_SETCURSOR sets it
    SetCursor(LoadCursorA(nullptr, col >= 0 ? IDC_SIZEWE : IDC_SIZENS));
    if (!buttonDown) return;
    HideEditor();
    GridRect cell{};
    const int areaLimit = col >= 0 ? layout.ContentBottom() : layout.ContentRight();
    if (col >= 0) {
        layout.CellRect(0, col, cell);
        resizingCol_ = col;
        dragMinimum_ = inset + cell.left + 1;
        dragAt_ = x;
        dragLength_ = std::min(areaLimit, layout.AreaHeight());
    } else {
        layout.CellRect(row, 0, cell);
        resizingRow_ = row;
        dragMinimum_ = inset + cell.top + 1;
        dragAt_ = y;
        dragLength_ = std::min(areaLimit, layout.AreaWidth());
    }
    dragAt_ = std::max(dragAt_, dragMinimum_);
    InvertDragLine();
}

void ZelGrid::InvertDragLine() {
    if (dragAt_ < 0 || !Window()) return;
    HDC dc = GetDC(Window());
    const int inset = Viewport().inset;
    if (resizingCol_ >= 0) {
        PatBlt(dc, dragAt_, inset, 1, dragLength_, DSTINVERT);
    } else if (resizingRow_ >= 0) {
        PatBlt(dc, inset, dragAt_, dragLength_, 1, DSTINVERT);
    }
    ReleaseDC(Window(), dc);
}

void ZelGrid::OnRelease(int, int) {
    GridModel& model = logic_.model;
    if (resizingCol_ >= 0 || resizingRow_ >= 0) {
        InvertDragLine();
        const int start = dragMinimum_ - 1;
        if (resizingCol_ >= 0) model.SetColWidth(resizingCol_, dragAt_ - start);
        if (resizingRow_ >= 0) model.SetRowHeight(resizingRow_, dragAt_ - start);
        resizingCol_ = resizingRow_ = -1;
        dragAt_ = -1;
        LayOutBars();
        SetBarRanges(false);
        FireViewChange();
        PlaceEditor();
        return;
    }
    if (!selecting_) return;
    selecting_ = false;
    if (dragRow_ >= 0) {
        selStartRow_ = std::min(anchorRow_, dragRow_);
        selEndRow_ = std::max(anchorRow_, dragRow_);
        selStartCol_ = std::min(anchorCol_, dragCol_);
        selEndCol_ = std::max(anchorCol_, dragCol_);
    } else {
        selStartRow_ = selEndRow_ = anchorRow_;
        selStartCol_ = selEndCol_ = anchorCol_;
    }
    FireViewChange();
    FireEvent(DISPID_GRID_EVENT_SELCHANGE);
}

// --- Keys ---

void ZelGrid::MoveRow(int delta) {
    const GridModel& model = logic_.model;
    const std::int32_t target = row_ + delta;
    if (target < model.FixedRows() || target >= model.Rows()) return;
    CommitEditor();
    logic_.WriteBackRow(row_);
    row_ = target;
    if (!Layout().FullyVisible(row_, col_)) {
        if (delta > 0 || (topRow_ > model.FixedRows() && verticalPosition_ > model.FixedRows())) {
            ScrollBy(true, delta);
        }
    }
    FireViewChange();
    PlaceEditor();
}

void ZelGrid::MoveCol(int delta) {
    const GridModel& model = logic_.model;
    const std::int32_t target = col_ + delta;
    if (target < model.FixedCols() || target >= model.Cols()) return;
    col_ = target;
    if (!Layout().FullyVisible(row_, col_)) ScrollBy(false, delta);
    FireViewChange();
    PlaceEditor();
}

// A current cell that shows whole moves one column right (its text taken first); one cut off
// at the right scrolls into view and stays current.
void ZelGrid::StepRight() {
    if (Layout().FullyVisible(row_, col_)) {
        CommitEditor();
        MoveCol(1);
    } else {
        ScrollBy(false, 1);
        PlaceEditor();
    }
}

bool ZelGrid::OnGridKey(WPARAM key) {
    const GridModel& model = logic_.model;
    row_ = std::max(row_, model.FixedRows());
    col_ = std::max(col_, model.FixedCols());
    if (!Layout().FullyVisible(row_, col_)) {
        row_ = topRow_;
        col_ = leftCol_;
    }
    switch (key) {
        case VK_RETURN:
        case VK_RIGHT:
            if (col_ < model.Cols() - 1) StepRight();
            return true;
        case VK_LEFT:
            if (!logic_.allowUpdate) MoveCol(-1);
            return true;
        case VK_UP:
            MoveRow(-1);
            return true;
        case VK_DOWN:
            MoveRow(1);
            return true;
        case VK_DELETE:
            if (!logic_.allowUpdate) DeleteSelectedRow();
            return true;
        default:
            return false;
    }
}

bool ZelGrid::OnEditorKey(WPARAM key) {
    const GridModel& model = logic_.model;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(editor_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const auto length = static_cast<DWORD>(GetWindowTextLengthW(editor_));
    switch (key) {
        case VK_LEFT:
            if (start != 0 || end != 0 || col_ <= model.FixedCols()) return false;
            CommitEditor();
            MoveCol(-1);
            return true;
        case VK_RIGHT:
            if (start != length || end != length || col_ >= model.Cols() - 1) return false;
            CommitEditor();
            StepRight();
            return true;
        case VK_UP:
            MoveRow(-1);
            return true;
        case VK_DOWN:
            MoveRow(1);
            return true;
        case VK_DELETE:
            if (!logic_.allowDelete || !logic_.rowSelected) return false;
            DeleteSelectedRow();
            PlaceEditor();
            return true;
        default:
            return false;
    }
}

void ZelGrid::DeleteSelectedRow() {
    if (!logic_.rowSelected) return;
    logic_.DeleteSelectedRow(selStartRow_);
    FireViewChange();
}

// --- The editor ---

void ZelGrid::PlaceEditor() {
    if (!editor_ || !logic_.allowUpdate) return;
    editorShowing_ = false;
    GridLayout layout = Layout();
    GridRect cell{};
    if (!layout.FullyVisible(row_, col_) || !layout.CellRect(row_, col_, cell) ||
        !logic_.model.HasCells()) {
        HideEditor();
        return;
    }
    const int inset = Viewport().inset;
    std::int16_t align = 0;
    logic_.model.TextAlign(col_, align);
    LONG_PTR style = GetWindowLongPtrW(editor_, GWL_STYLE) & ~static_cast<LONG_PTR>(ES_RIGHT);
    SetWindowLongPtrW(editor_, GWL_STYLE, style | (align != 0 ? ES_RIGHT : 0));
    std::int16_t limit = 0;
    logic_.model.CellMaxLength(col_, limit);
    SendMessageW(editor_, EM_LIMITTEXT, static_cast<WPARAM>(std::max<std::int16_t>(limit, 0)), 0);
    std::int16_t ime = 0;
    logic_.model.ImeMode(col_, ime);
    if (ime != 0) SetImeMode(PlatformImeCalls(), reinterpret_cast<WindowHandle>(editor_), ime);
    editOriginal_ = logic_.model.Cell(row_, col_).substr(0, kEditorText);
    SetWindowTextW(editor_, com::WideOf(editOriginal_).c_str());
    MoveWindow(editor_, inset + cell.left + 1, inset + cell.top + 1, cell.right - cell.left - 1,
               cell.bottom - cell.top - 1, TRUE);
    ShowWindow(editor_, SW_SHOW);
    SendMessageW(editor_, EM_SETSEL, 0, -1);
    editorShowing_ = true;
    if (GetFocus() != editor_ && HasFocus()) SetFocus(editor_);
}

// A hidden editor gives the focus back to the grid's window.
void ZelGrid::HideEditor() {
    editorShowing_ = false;
    if (!editor_) return;
    const bool focused = GetFocus() == editor_;
    ShowWindow(editor_, SW_HIDE);
    if (focused) SetFocus(Window());
}

void ZelGrid::CommitEditor() {
    if (!editor_ || !editorShowing_) return;
    std::string text = com::AnsiOf(TextOfWindow(editor_));
    if (text.size() > kEditorText) text.resize(kEditorText);
    logic_.CommitEdit(text, editOriginal_, CurrentCell());
    editOriginal_ = logic_.model.Cell(row_, col_).substr(0, kEditorText);
}

// --- Focus ---

void ZelGrid::OnFocusGained() {
    PlaceEditor();
    FireViewChange();
}

// Focus leaving the control (not moving between the grid's window and its editor) takes the
// editor's text and writes the row back.
void ZelGrid::OnFocusLost(HWND next) {
    if (next && (next == Window() || IsChild(Window(), next))) return;
    CommitEditor();
    logic_.WriteBackRow(row_);
    FireViewChange();
}

}  // namespace zelmor
