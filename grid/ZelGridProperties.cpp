// ZelGrid's settings: the fill's source and options, the geometry with its checks, the
// per-column settings and the drawing options.
#include "com/AnsiText.h"
#include "com/Guarded.h"
#include "grid/ZelGrid.h"
#include "grid/ZelGridMembers.h"

namespace zelmor {

using namespace grid_members;

// --- The fill's source and settings ---

HRESULT ZelGrid::PutName(DISPID dispid, std::u16string& name, BSTR value) {
    return com::Guarded([&] { return BoundControlObject::PutName(dispid, name, value); });
}

HRESULT ZelGrid::PutText(DISPID dispid, std::string& text, BSTR value) {
    return com::Guarded([&] { return SetProperty(dispid, text, com::AnsiOf(value)); });
}

STDMETHODIMP ZelGrid::get_DbListSource(BSTR* value) {
    return GetName(logic_.dbListSource, value);
}
STDMETHODIMP ZelGrid::put_DbListSource(BSTR value) {
    return PutName(DISPID_GRID_DBLISTSOURCE, logic_.dbListSource, value);
}
STDMETHODIMP ZelGrid::get_DbListTable(BSTR* value) {
    return GetName(logic_.dbListTable, value);
}
STDMETHODIMP ZelGrid::put_DbListTable(BSTR value) {
    return PutName(DISPID_GRID_DBLISTTABLE, logic_.dbListTable, value);
}
STDMETHODIMP ZelGrid::get_DbListFields(BSTR* value) {
    return com::Guarded([&] { return com::AnsiToOut(logic_.dbListFields, value); });
}
// More names than data columns widen the grid; fewer never narrow it.
STDMETHODIMP ZelGrid::put_DbListFields(BSTR value) {
    HRESULT hr = PutText(DISPID_GRID_DBLISTFIELDS, logic_.dbListFields, value);
    if (hr != S_OK) return hr;
    const auto count = static_cast<long>(SplitFieldList(logic_.dbListFields).size());
    const long fixedCols = logic_.model.FixedCols();
    if (logic_.model.Cols() - fixedCols < count) PutCountNow(DISPID_GRID_COLS, fixedCols + count);
    return S_OK;
}
// The key is resolved at every fill: nobody is told of the change.
STDMETHODIMP ZelGrid::get_DbListIndex(BSTR* value) {
    return GetName(logic_.dbListIndex, value);
}
STDMETHODIMP ZelGrid::put_DbListIndex(BSTR value) {
    std::wstring text = com::TextOf(value);
    logic_.dbListIndex.assign(text.begin(), text.end());
    SetDirty(true);
    return S_OK;
}
STDMETHODIMP ZelGrid::get_DbConditions(BSTR* value) {
    return com::Guarded([&] { return com::AnsiToOut(logic_.conditions, value); });
}
STDMETHODIMP ZelGrid::put_DbConditions(BSTR value) {
    return PutText(DISPID_GRID_DBCONDITIONS, logic_.conditions, value);
}

STDMETHODIMP ZelGrid::get_Abort(VARIANT_BOOL* value) {
    return OutBool(value, logic_.abort);
}
STDMETHODIMP ZelGrid::put_Abort(VARIANT_BOOL value) {
    logic_.abort = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP ZelGrid::get_DbCompareCase(_enumDbCompareCase* value) {
    return Out(value, logic_.compareCase);
}
STDMETHODIMP ZelGrid::put_DbCompareCase(_enumDbCompareCase value) {
    return SetProperty(DISPID_GRID_DBCOMPARECASE, logic_.compareCase, static_cast<int>(value));
}
STDMETHODIMP ZelGrid::get_DbExOperation(_enumExOpCode* value) {
    return Out(value, logic_.operation);
}
STDMETHODIMP ZelGrid::put_DbExOperation(_enumExOpCode value) {
    return SetProperty(DISPID_GRID_DBEXOPERATION, logic_.operation, static_cast<int>(value));
}
STDMETHODIMP ZelGrid::get_DbLeaveResults(VARIANT_BOOL* value) {
    return OutBool(value, logic_.leaveResults);
}
STDMETHODIMP ZelGrid::put_DbLeaveResults(VARIANT_BOOL value) {
    return SetProperty(DISPID_GRID_DBLEAVERESULTS, logic_.leaveResults, value != VARIANT_FALSE);
}
STDMETHODIMP ZelGrid::get_DbLocks(_enumLocks* value) {
    return Out(value, logic_.locks);
}
STDMETHODIMP ZelGrid::put_DbLocks(_enumLocks value) {
    return SetProperty(DISPID_GRID_DBLOCKS, logic_.locks, static_cast<int>(value));
}
STDMETHODIMP ZelGrid::get_DbResultID(short* value) {
    return Out(value, logic_.resultId);
}
STDMETHODIMP ZelGrid::put_DbResultID(short value) {
    logic_.resultId = value;
    return S_OK;
}
// A request holds at most 65,535 records (the count is 16 bits on the wire).
STDMETHODIMP ZelGrid::get_DbMaxRecords(long* value) {
    return Out(value, logic_.maxRecords);
}
STDMETHODIMP ZelGrid::put_DbMaxRecords(long value) {
    if (value < 1 || value > 65535) return CTL_E_INVALIDPROPERTYVALUE;
    return SetProperty(DISPID_GRID_DBMAXRECORDS, logic_.maxRecords, static_cast<std::int32_t>(value));
}
STDMETHODIMP ZelGrid::get_DbSkipRecords(short* value) {
    return Out(value, logic_.skipRecords);
}
STDMETHODIMP ZelGrid::put_DbSkipRecords(short value) {
    if (value < 0) return CTL_E_INVALIDPROPERTYVALUE;
    return SetProperty(DISPID_GRID_DBSKIPRECORDS, logic_.skipRecords, value);
}
STDMETHODIMP ZelGrid::get_DbUpdateOption(_enumGridUpdateOption* value) {
    return Out(value, logic_.updateOption);
}
STDMETHODIMP ZelGrid::put_DbUpdateOption(_enumGridUpdateOption value) {
    return SetProperty(DISPID_GRID_DBUPDATEOPTION, logic_.updateOption, static_cast<std::int16_t>(value));
}
STDMETHODIMP ZelGrid::get_SetColNames(VARIANT_BOOL* value) {
    return OutBool(value, logic_.setColNames);
}
STDMETHODIMP ZelGrid::put_SetColNames(VARIANT_BOOL value) {
    return SetProperty(DISPID_GRID_SETCOLNAMES, logic_.setColNames, value != VARIANT_FALSE);
}
STDMETHODIMP ZelGrid::get_SetRecordNumbers(VARIANT_BOOL* value) {
    return OutBool(value, logic_.setRecordNumbers);
}
STDMETHODIMP ZelGrid::put_SetRecordNumbers(VARIANT_BOOL value) {
    return SetProperty(DISPID_GRID_SETRECORDNUMBERS, logic_.setRecordNumbers, value != VARIANT_FALSE);
}
STDMETHODIMP ZelGrid::get_SetColWidth(VARIANT_BOOL* value) {
    return OutBool(value, setColWidth_);
}
STDMETHODIMP ZelGrid::put_SetColWidth(VARIANT_BOOL value) {
    return SetProperty(DISPID_GRID_SETCOLWIDTH, setColWidth_, value != VARIANT_FALSE);
}
STDMETHODIMP ZelGrid::get_AllowUpdate(VARIANT_BOOL* value) {
    return OutBool(value, logic_.allowUpdate);
}
STDMETHODIMP ZelGrid::put_AllowUpdate(VARIANT_BOOL value) {
    return SetProperty(DISPID_GRID_ALLOWUPDATE, logic_.allowUpdate, value != VARIANT_FALSE);
}
STDMETHODIMP ZelGrid::get_AllowDelete(VARIANT_BOOL* value) {
    return OutBool(value, logic_.allowDelete);
}
STDMETHODIMP ZelGrid::put_AllowDelete(VARIANT_BOOL value) {
    return SetProperty(DISPID_GRID_ALLOWDELETE, logic_.allowDelete, value != VARIANT_FALSE);
}

// --- Geometry ---

HRESULT ZelGrid::PutCount(DISPID dispid, long value) {
    if (Loading()) {
        loadedCounts_[CountSlot(dispid)] = value;
        return S_OK;
    }
    return PutCountNow(dispid, value);
}

HRESULT ZelGrid::PutCountNow(DISPID dispid, long value) {
    GridModel& model = logic_.model;
    const auto count = static_cast<std::int32_t>(value);
    if (value != count) return CTL_E_INVALIDPROPERTYVALUE;
    const std::int32_t before[] = {model.Cols(), model.Rows(), model.FixedCols(),
                                   model.FixedRows()};
    if (before[CountSlot(dispid)] == count) return S_OK;
    if (!RequestEdit(dispid)) return S_FALSE;
    GridResult result = GridResult::Ok;
    switch (dispid) {
        case DISPID_GRID_COLS:
            result = model.SetCols(count);
            break;
        case DISPID_GRID_ROWS:
            result = model.SetRows(count);
            break;
        case DISPID_GRID_FIXEDCOLS:
            result = model.SetFixedCols(count);
            break;
        default:
            result = model.SetFixedRows(count);
            break;
    }
    if (result != GridResult::Ok) return ResultOf(result);
    // At design time the first cells shown follow the fixed counts.
    if (Window() && !Site().UserMode()) {
        if (dispid == DISPID_GRID_FIXEDCOLS) col_ = leftCol_ = count;
        if (dispid == DISPID_GRID_FIXEDROWS) row_ = topRow_ = count;
    }
    PropertyChanged(dispid);
    return S_OK;
}

STDMETHODIMP ZelGrid::get_Rows(long* value) {
    return Out(value, logic_.model.Rows());
}
STDMETHODIMP ZelGrid::put_Rows(long value) {
    return PutCount(DISPID_GRID_ROWS, value);
}
STDMETHODIMP ZelGrid::get_Cols(long* value) {
    return Out(value, logic_.model.Cols());
}
STDMETHODIMP ZelGrid::put_Cols(long value) {
    return PutCount(DISPID_GRID_COLS, value);
}
STDMETHODIMP ZelGrid::get_FixedRows(long* value) {
    return Out(value, logic_.model.FixedRows());
}
STDMETHODIMP ZelGrid::put_FixedRows(long value) {
    return PutCount(DISPID_GRID_FIXEDROWS, value);
}
STDMETHODIMP ZelGrid::get_FixedCols(long* value) {
    return Out(value, logic_.model.FixedCols());
}
STDMETHODIMP ZelGrid::put_FixedCols(long value) {
    return PutCount(DISPID_GRID_FIXEDCOLS, value);
}

HRESULT ZelGrid::PutPlain(std::int32_t& field, long value, bool repaint) {
    field = static_cast<std::int32_t>(value);
    if (repaint) FireViewChange();
    return S_OK;
}

STDMETHODIMP ZelGrid::get_Row(long* value) {
    return Out(value, row_);
}
STDMETHODIMP ZelGrid::put_Row(long value) {
    return PutPlain(row_, value, false);
}
STDMETHODIMP ZelGrid::get_Col(long* value) {
    return Out(value, col_);
}
STDMETHODIMP ZelGrid::put_Col(long value) {
    return PutPlain(col_, value, true);
}
STDMETHODIMP ZelGrid::get_SelStartRow(long* value) {
    return Out(value, selStartRow_);
}
STDMETHODIMP ZelGrid::put_SelStartRow(long value) {
    return PutPlain(selStartRow_, value, true);
}
STDMETHODIMP ZelGrid::get_SelEndRow(long* value) {
    return Out(value, selEndRow_);
}
STDMETHODIMP ZelGrid::put_SelEndRow(long value) {
    return PutPlain(selEndRow_, value, false);
}
STDMETHODIMP ZelGrid::get_SelStartCol(long* value) {
    return Out(value, selStartCol_);
}
STDMETHODIMP ZelGrid::put_SelStartCol(long value) {
    return PutPlain(selStartCol_, value, true);
}
STDMETHODIMP ZelGrid::get_SelEndCol(long* value) {
    return Out(value, selEndCol_);
}
STDMETHODIMP ZelGrid::put_SelEndCol(long value) {
    return PutPlain(selEndCol_, value, true);
}

// Heights and widths are kept in pixels and given in twips.
STDMETHODIMP ZelGrid::get_RowHeight(long index, long* value) {
    HRESULT hr = ReadIndexed<std::int32_t>(value, [&](std::int32_t& pixels) {
        return logic_.model.RowHeight(static_cast<std::int32_t>(index), pixels);
    });
    if (hr == S_OK) *value *= kTwipsPerPixel;
    return hr;
}
STDMETHODIMP ZelGrid::put_RowHeight(long index, long value) {
    return ResultOf(logic_.model.SetRowHeight(static_cast<std::int32_t>(index),
                                              static_cast<std::int32_t>(value / kTwipsPerPixel)));
}
STDMETHODIMP ZelGrid::get_ColWidth(long index, long* value) {
    HRESULT hr = ReadIndexed<std::int32_t>(value, [&](std::int32_t& pixels) {
        return logic_.model.ColWidth(static_cast<std::int32_t>(index), pixels);
    });
    if (hr == S_OK) *value *= kTwipsPerPixel;
    return hr;
}
STDMETHODIMP ZelGrid::put_ColWidth(long index, long value) {
    return ResultOf(logic_.model.SetColWidth(static_cast<std::int32_t>(index),
                                             static_cast<std::int32_t>(value / kTwipsPerPixel)));
}

// --- Per-column settings and positions ---

// The format strings exist only at run time, once the window is there.
STDMETHODIMP ZelGrid::get_FormatString(long index, BSTR* value) {
    return com::Guarded([&] {
        if (!value) return E_POINTER;
        if (!Window() || !Site().UserMode()) return CTL_E_GETNOTSUPPORTED;
        std::string format;
        HRESULT hr = ResultOf(logic_.model.FormatString(static_cast<std::int32_t>(index), format));
        return hr == S_OK ? com::AnsiToOut(format, value) : hr;
    });
}
STDMETHODIMP ZelGrid::put_FormatString(long index, BSTR value) {
    return com::Guarded([&] {
        if (!Window() || !Site().UserMode()) return S_OK;
        return ResultOf(
            logic_.model.SetFormatString(static_cast<std::int32_t>(index), com::AnsiOf(value)));
    });
}

STDMETHODIMP ZelGrid::get_CellMaxLength(long index, short* value) {
    return ReadIndexed<std::int16_t>(value, [&](std::int16_t& stored) {
        return logic_.model.CellMaxLength(static_cast<std::int32_t>(index), stored);
    });
}
STDMETHODIMP ZelGrid::put_CellMaxLength(long index, short value) {
    return ResultOf(logic_.model.SetCellMaxLength(static_cast<std::int32_t>(index), value));
}
STDMETHODIMP ZelGrid::get_TextAlign(long index, short* value) {
    return ReadIndexed<std::int16_t>(value, [&](std::int16_t& stored) {
        return logic_.model.TextAlign(static_cast<std::int32_t>(index), stored);
    });
}
STDMETHODIMP ZelGrid::put_TextAlign(long index, short value) {
    HRESULT hr = ResultOf(logic_.model.SetTextAlign(static_cast<std::int32_t>(index), value));
    if (hr == S_OK) FireViewChange();
    return hr;
}
STDMETHODIMP ZelGrid::get_IMEMode(long index, _enumImeMode* value) {
    return ReadIndexed<std::int16_t>(value, [&](std::int16_t& stored) {
        return logic_.model.ImeMode(static_cast<std::int32_t>(index), stored);
    });
}
STDMETHODIMP ZelGrid::put_IMEMode(long index, _enumImeMode value) {
    return ResultOf(logic_.model.SetImeMode(static_cast<std::int32_t>(index),
                                            static_cast<std::int16_t>(value)));
}
STDMETHODIMP ZelGrid::get_DbPhysicalPosition(long index, long* value) {
    return ReadIndexed<std::uint32_t>(value, [&](std::uint32_t& stored) {
        return logic_.model.Position(static_cast<std::int32_t>(index), stored);
    });
}
STDMETHODIMP ZelGrid::put_DbPhysicalPosition(long, long) {
    return CTL_E_SETNOTSUPPORTED;
}

// --- Drawing settings ---

STDMETHODIMP ZelGrid::get_GridLines(VARIANT_BOOL* value) {
    return OutBool(value, gridLines_);
}
STDMETHODIMP ZelGrid::put_GridLines(VARIANT_BOOL value) {
    return SetProperty(DISPID_GRID_GRIDLINES, gridLines_, value != VARIANT_FALSE);
}
STDMETHODIMP ZelGrid::get_GridLineWidth(long* value) {
    return Out(value, gridLineWidth_);
}
// Stored as given; the lines are drawn at least one pixel wide.
STDMETHODIMP ZelGrid::put_GridLineWidth(long value) {
    return SetProperty(DISPID_GRID_GRIDLINEWIDTH, gridLineWidth_, static_cast<std::int32_t>(value));
}
STDMETHODIMP ZelGrid::get_HighLight(VARIANT_BOOL* value) {
    return OutBool(value, highLight_);
}
STDMETHODIMP ZelGrid::put_HighLight(VARIANT_BOOL value) {
    return SetProperty(DISPID_GRID_HIGHLIGHT, highLight_, value != VARIANT_FALSE);
}
STDMETHODIMP ZelGrid::get_FillStyle(_enumGridFillStyle* value) {
    return Out(value, fillStyle_);
}
STDMETHODIMP ZelGrid::put_FillStyle(_enumGridFillStyle value) {
    return SetProperty(DISPID_GRID_FILLSTYLE, fillStyle_, static_cast<int>(value));
}
STDMETHODIMP ZelGrid::get_ScrollBars(_enumGridSc* value) {
    return Out(value, scrollBars_);
}
// At run time the bars follow at once, back at their start.
STDMETHODIMP ZelGrid::put_ScrollBars(_enumGridSc value) {
    HRESULT hr = SetProperty(DISPID_GRID_SCROLLBARS, scrollBars_, static_cast<int>(value));
    if (hr == S_OK && InPlaceActive() && Site().UserMode()) {
        LayOutBars();
        SetBarRanges(true);
        FireViewChange();
    }
    return hr;
}

STDMETHODIMP ZelGrid::put_Appearance(short value) {
    HRESULT hr = BoundControlObject::put_Appearance(value);
    if (hr == S_OK) {
        LayOutBars();
        SetBarRanges(false);
    }
    return hr;
}
STDMETHODIMP ZelGrid::put_BorderStyle(_enumBorderStyle value) {
    HRESULT hr = BoundControlObject::put_BorderStyle(value);
    if (hr == S_OK) {
        LayOutBars();
        SetBarRanges(false);
    }
    return hr;
}
STDMETHODIMP ZelGrid::get_AlignFixedCells(VARIANT_BOOL* value) {
    return OutBool(value, alignFixedCells_);
}
STDMETHODIMP ZelGrid::put_AlignFixedCells(VARIANT_BOOL value) {
    return SetProperty(DISPID_GRID_ALIGNFIXEDCELLS, alignFixedCells_, value != VARIANT_FALSE);
}
STDMETHODIMP ZelGrid::get_AllowUserResizing(_enumGridResizing* value) {
    return Out(value, allowUserResizing_);
}
STDMETHODIMP ZelGrid::put_AllowUserResizing(_enumGridResizing value) {
    return SetProperty(DISPID_GRID_ALLOWUSERRESIZING, allowUserResizing_, static_cast<int>(value));
}

}  // namespace zelmor
