// The grid as a COM object (coclass ZelGrid, interface IZelGrid, events _DZelGridEvents): a
// window of its own that shows GridLogic's rows of text cells, filled by extended operations
// from the table of a data control on the same form.
#pragma once

#ifdef _WIN32

#include "controls/BoundControlObject.h"
#include "grid/GridLayout.h"
#include "grid/GridLogic.h"

namespace zelmor {

class ZelGrid : public BoundControlObject<IZelGrid>, private GridView {
  public:
    ZelGrid();

    // A new frame changes the room for the cells: the bars are laid out again.
    STDMETHODIMP put_Appearance(short value) override;
    STDMETHODIMP put_BorderStyle(_enumBorderStyle value) override;

    // The cells: Text reads the current cell and writes as FillStyle says.
    STDMETHODIMP get_Text(BSTR* value) override;
    STDMETHODIMP put_Text(BSTR value) override;

    // The fill's source and settings.
    STDMETHODIMP get_DbListSource(BSTR* value) override;
    STDMETHODIMP put_DbListSource(BSTR value) override;
    STDMETHODIMP get_DbListTable(BSTR* value) override;
    STDMETHODIMP put_DbListTable(BSTR value) override;
    STDMETHODIMP get_DbListFields(BSTR* value) override;
    STDMETHODIMP put_DbListFields(BSTR value) override;
    STDMETHODIMP get_DbListIndex(BSTR* value) override;
    STDMETHODIMP put_DbListIndex(BSTR value) override;
    STDMETHODIMP get_DbConditions(BSTR* value) override;
    STDMETHODIMP put_DbConditions(BSTR value) override;
    STDMETHODIMP get_Abort(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Abort(VARIANT_BOOL value) override;
    STDMETHODIMP get_DbCompareCase(_enumDbCompareCase* value) override;
    STDMETHODIMP put_DbCompareCase(_enumDbCompareCase value) override;
    STDMETHODIMP get_DbExOperation(_enumExOpCode* value) override;
    STDMETHODIMP put_DbExOperation(_enumExOpCode value) override;
    STDMETHODIMP get_DbLeaveResults(VARIANT_BOOL* value) override;
    STDMETHODIMP put_DbLeaveResults(VARIANT_BOOL value) override;
    STDMETHODIMP get_DbLocks(_enumLocks* value) override;
    STDMETHODIMP put_DbLocks(_enumLocks value) override;
    STDMETHODIMP get_DbResultID(short* value) override;
    STDMETHODIMP put_DbResultID(short value) override;
    STDMETHODIMP get_DbMaxRecords(long* value) override;
    STDMETHODIMP put_DbMaxRecords(long value) override;
    STDMETHODIMP get_DbSkipRecords(short* value) override;
    STDMETHODIMP put_DbSkipRecords(short value) override;
    STDMETHODIMP get_DbUpdateOption(_enumGridUpdateOption* value) override;
    STDMETHODIMP put_DbUpdateOption(_enumGridUpdateOption value) override;
    STDMETHODIMP get_SetColNames(VARIANT_BOOL* value) override;
    STDMETHODIMP put_SetColNames(VARIANT_BOOL value) override;
    STDMETHODIMP get_SetRecordNumbers(VARIANT_BOOL* value) override;
    STDMETHODIMP put_SetRecordNumbers(VARIANT_BOOL value) override;
    STDMETHODIMP get_SetColWidth(VARIANT_BOOL* value) override;
    STDMETHODIMP put_SetColWidth(VARIANT_BOOL value) override;
    STDMETHODIMP get_AllowUpdate(VARIANT_BOOL* value) override;
    STDMETHODIMP put_AllowUpdate(VARIANT_BOOL value) override;
    STDMETHODIMP get_AllowDelete(VARIANT_BOOL* value) override;
    STDMETHODIMP put_AllowDelete(VARIANT_BOOL value) override;
    STDMETHODIMP Refresh() override;
    STDMETHODIMP Reload() override { return Refresh(); }
    STDMETHODIMP Clear() override;

    // Geometry.
    STDMETHODIMP get_Rows(long* value) override;
    STDMETHODIMP put_Rows(long value) override;
    STDMETHODIMP get_Cols(long* value) override;
    STDMETHODIMP put_Cols(long value) override;
    STDMETHODIMP get_FixedRows(long* value) override;
    STDMETHODIMP put_FixedRows(long value) override;
    STDMETHODIMP get_FixedCols(long* value) override;
    STDMETHODIMP put_FixedCols(long value) override;
    STDMETHODIMP get_Row(long* value) override;
    STDMETHODIMP put_Row(long value) override;
    STDMETHODIMP get_Col(long* value) override;
    STDMETHODIMP put_Col(long value) override;
    STDMETHODIMP get_SelStartRow(long* value) override;
    STDMETHODIMP put_SelStartRow(long value) override;
    STDMETHODIMP get_SelEndRow(long* value) override;
    STDMETHODIMP put_SelEndRow(long value) override;
    STDMETHODIMP get_SelStartCol(long* value) override;
    STDMETHODIMP put_SelStartCol(long value) override;
    STDMETHODIMP get_SelEndCol(long* value) override;
    STDMETHODIMP put_SelEndCol(long value) override;
    STDMETHODIMP get_RowHeight(long index, long* value) override;
    STDMETHODIMP put_RowHeight(long index, long value) override;
    STDMETHODIMP get_ColWidth(long index, long* value) override;
    STDMETHODIMP put_ColWidth(long index, long value) override;

    // Per-column settings and the records' positions.
    STDMETHODIMP get_FormatString(long index, BSTR* value) override;
    STDMETHODIMP put_FormatString(long index, BSTR value) override;
    STDMETHODIMP get_CellMaxLength(long index, short* value) override;
    STDMETHODIMP put_CellMaxLength(long index, short value) override;
    STDMETHODIMP get_TextAlign(long index, short* value) override;
    STDMETHODIMP put_TextAlign(long index, short value) override;
    STDMETHODIMP get_IMEMode(long index, _enumImeMode* value) override;
    STDMETHODIMP put_IMEMode(long index, _enumImeMode value) override;
    STDMETHODIMP get_DbPhysicalPosition(long index, long* value) override;
    STDMETHODIMP put_DbPhysicalPosition(long index, long value) override;

    // Drawing.
    STDMETHODIMP get_GridLines(VARIANT_BOOL* value) override;
    STDMETHODIMP put_GridLines(VARIANT_BOOL value) override;
    STDMETHODIMP get_GridLineWidth(long* value) override;
    STDMETHODIMP put_GridLineWidth(long value) override;
    STDMETHODIMP get_HighLight(VARIANT_BOOL* value) override;
    STDMETHODIMP put_HighLight(VARIANT_BOOL value) override;
    STDMETHODIMP get_FillStyle(_enumGridFillStyle* value) override;
    STDMETHODIMP put_FillStyle(_enumGridFillStyle value) override;
    STDMETHODIMP get_ScrollBars(_enumGridSc* value) override;
    STDMETHODIMP put_ScrollBars(_enumGridSc value) override;
    STDMETHODIMP get_AlignFixedCells(VARIANT_BOOL* value) override;
    STDMETHODIMP put_AlignFixedCells(VARIANT_BOOL value) override;
    STDMETHODIMP get_AllowUserResizing(_enumGridResizing* value) override;
    STDMETHODIMP put_AllowUserResizing(_enumGridResizing value) override;

    GridLogic& Logic() { return logic_; }

  protected:
    BoundField& Binding() override { return logic_; }
    void CreateWindows() override;
    void OnWindowCreated() override;
    void OnWindowDestroying() override;
    void OnPropertiesLoaded() override;
    void OnDraw(HDC dc, const RECT& bounds) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) override;
    bool OnScroll(HWND child, bool vertical, WORD code, WORD position) override;
    HRESULT OnTranslateAccelerator(MSG* msg) override;
    void LayoutChildren(int width, int height) override;

  private:
    // GridView
    void RaiseFormat(std::string& line) override;
    int RaiseBtrieveError(const std::string& tableName, int status) override;
    std::string FormatText(const std::string& text, const std::string& format) override;
    void Filled() override;
    bool RaiseBeforeColUpdate(const std::string& text) override;
    void RaiseAfterColUpdate() override;
    bool RaiseBeforeUpdate() override;
    void RaiseAfterUpdate() override;
    bool RaiseBeforeDelete() override;
    void RaiseAfterDelete() override;
    // An event with a by-reference cancel flag; true when the handler set it.
    bool RaiseCancellable(DISPID dispid, const std::wstring* text);

    // Once per object: the current cell and the first cells shown at the fixed counts, and at
    // run time the cell table.
    void Initialize();
    HRESULT PutName(DISPID dispid, std::u16string& name, BSTR value);
    HRESULT PutText(DISPID dispid, std::string& text, BSTR value);
    // A geometry setter: checked by the model, then announced and redrawn. While properties
    // load, the four counts are kept and applied together afterwards, so that a saved grid
    // comes back whatever the order of its counts.
    HRESULT PutCount(DISPID dispid, long value);
    HRESULT PutCountNow(DISPID dispid, long value);
    // A run-time value with no checks; `repaint` redraws the view.
    HRESULT PutPlain(std::int32_t& field, long value, bool repaint);
    // The width of a field name in the grid's font, for SetColWidth.
    int TextWidth(const std::string& text);

    // --- The view (ZelGridView.cpp) ---
    GridViewport Viewport();
    GridLayout Layout() { return GridLayout(logic_.model, Viewport()); }
    GridModel::Current CurrentCell() const;
    bool HasFocus() const;
    // Paints into the window through a buffer.
    void PaintBuffered();
    // Creates, moves or removes the bars the content needs; then their ranges, and with
    // `reset` their positions back at the start.
    void LayOutBars();
    void SetBarRanges(bool reset);
    // Moves the first row (column) shown by `delta` within the bar's range; false when it
    // could not.
    bool ScrollBy(bool vertical, int delta);
    void ShowBarPositions();

    // --- Input (ZelGridInput.cpp) ---
    void OnPress(int x, int y);
    void OnMouseMove(int x, int y, bool buttonDown);
    void OnRelease(int x, int y);
    // Keys reaching the grid's window and the editor; true when the key was used.
    bool OnGridKey(WPARAM key);
    bool OnEditorKey(WPARAM key);
    void OnFocusGained();
    void OnFocusLost(HWND next);
    // Moves to another row with Up or Down: commit, write back, move, scroll when needed.
    void MoveRow(int delta);
    // Moves one column left or right, scrolling when the new cell is not fully visible.
    void MoveCol(int delta);
    void StepRight();
    void DeleteSelectedRow();
    // The in-place editor: put on the current cell with its text, hidden, or its text taken.
    void PlaceEditor();
    void HideEditor();
    void CommitEditor();
    // The inverted line that follows a border being dragged.
    void InvertDragLine();

    GridLogic logic_;
    bool initialized_ = false;
    std::int32_t row_ = 1, col_ = 1;
    std::int32_t topRow_ = 1, leftCol_ = 1;
    std::int32_t selStartRow_ = 0, selEndRow_ = 0, selStartCol_ = 0, selEndCol_ = 0;
    bool gridLines_ = true;
    std::int32_t gridLineWidth_ = 1;
    bool highLight_ = false;
    int fillStyle_ = kFillCell;
    int scrollBars_ = 3;  // gridScBoth
    bool alignFixedCells_ = false;
    bool setColWidth_ = false;
    int allowUserResizing_ = 3;  // gridResizeBoth
    // The counts read while properties load: Cols, Rows, FixedCols, FixedRows (-1: not read).
    long loadedCounts_[4] = {-1, -1, -1, -1};

    // The window's parts: the scroll bars (either may be absent), their positions, the editor.
    HWND verticalBar_ = nullptr, horizontalBar_ = nullptr;
    int verticalPosition_ = 1, horizontalPosition_ = 1;
    HWND editor_ = nullptr;
    bool editorShowing_ = false;
    std::string editOriginal_;  // the cell's text when the editor was placed
    bool centred_ = false;      // texts centred vertically (AllowUpdate False at creation)
    // A border being dragged: the column or row, where the line is, where it may go.
    std::int32_t resizingCol_ = -1, resizingRow_ = -1;
    int dragAt_ = -1, dragMinimum_ = 0, dragLength_ = 0;
    // A selection being dragged: its anchor and the cell the mouse reached last.
    bool selecting_ = false;
    std::int32_t anchorRow_ = 0, anchorCol_ = 0, dragRow_ = -1, dragCol_ = -1;
};

HRESULT CreateZelGrid(REFIID iid, void** out);

}  // namespace zelmor

#endif
