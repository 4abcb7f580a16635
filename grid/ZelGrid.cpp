#include "grid/ZelGrid.h"

#include "com/AnsiText.h"
#include "com/Guarded.h"
#include "controls/BrowsingTables.h"
#include "controls/HostFormat.h"
#include "grid/GridPaint.h"
#include "grid/ZelGridMembers.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "module/PageClassIds.h"

namespace zelmor {

using namespace grid_members;

namespace {

// The persisted properties after the extent, in their order.
const com::PropertyMapEntry kProperties[] = {
    {L"DbListSource", DISPID_GRID_DBLISTSOURCE},
    {L"DbListTable", DISPID_GRID_DBLISTTABLE},
    {L"DbListFields", DISPID_GRID_DBLISTFIELDS},
    {L"DbConditions", DISPID_GRID_DBCONDITIONS},
    {L"Cols", DISPID_GRID_COLS},
    {L"Rows", DISPID_GRID_ROWS},
    {L"FixedCols", DISPID_GRID_FIXEDCOLS},
    {L"FixedRows", DISPID_GRID_FIXEDROWS},
    {L"DbCompareCase", DISPID_GRID_DBCOMPARECASE},
    {L"DbExOperation", DISPID_GRID_DBEXOPERATION},
    {L"DbLeaveResults", DISPID_GRID_DBLEAVERESULTS},
    {L"DbLocks", DISPID_GRID_DBLOCKS},
    {L"DbMaxRecords", DISPID_GRID_DBMAXRECORDS},
    {L"DbSkipRecords", DISPID_GRID_DBSKIPRECORDS},
    {L"DbUpdateOption", DISPID_GRID_DBUPDATEOPTION},
    {L"GridLines", DISPID_GRID_GRIDLINES},
    {L"HighLight", DISPID_GRID_HIGHLIGHT},
    {L"FillStyle", DISPID_GRID_FILLSTYLE},
    {L"GridLineWidth", DISPID_GRID_GRIDLINEWIDTH},
    {L"SetColNames", DISPID_GRID_SETCOLNAMES},
    {L"SetRecordNumbers", DISPID_GRID_SETRECORDNUMBERS},
    {L"DbListIndex", DISPID_GRID_DBLISTINDEX},
    {L"ScrollBars", DISPID_GRID_SCROLLBARS},
    {L"AllowUpdate", DISPID_GRID_ALLOWUPDATE},
    {L"AllowDelete", DISPID_GRID_ALLOWDELETE},
    {L"AlignFixedCells", DISPID_GRID_ALIGNFIXEDCELLS},
    {L"SetColWidth", DISPID_GRID_SETCOLWIDTH},
    {L"AllowUserResizing", DISPID_GRID_ALLOWUSERRESIZING},
    {L"Appearance", DISPID_APPEARANCE},
    {L"BackColor", DISPID_BACKCOLOR},
    {L"BorderStyle", DISPID_BORDERSTYLE},
    {L"ForeColor", DISPID_FORECOLOR},
    {L"Font", DISPID_FONT},
    {L"MouseIcon", DISPID_MOUSEICON},
    {L"MousePointer", DISPID_MOUSEPOINTER},
    {L"TabStop", DISPID_TABSTOP},
    {L"Enabled", DISPID_ENABLED},
};

const CLSID* const kPages[] = {&CLSID_ZelGridPpg, &CLSID_CFontPropPage, &CLSID_CColorPropPage};

const com::ControlClass kGridClass = {
    &CLSID_ZelGrid,
    &DIID__DZelGridEvents,
    com::kControlMiscStatus,
    SIZEL{6350, 3175},  // 240 x 120 pixels
    com::MakePropertyMap(kProperties),
    kPages,
    sizeof kPages / sizeof kPages[0],
    0,  // the grid's own window raises its key and mouse events
    &kGridBrowsing,
};

}  // namespace

ZelGrid::ZelGrid()
    : BoundControlObject(kGridClass),
      logic_(Site(), zelmor::Registry(), *this, ReadGridLimits(platform::CurrentPlatform())) {
    Stock().backColor = 0x00FFFFFF;
    Stock().foreColor = com::kSystemButtonText;
    Stock().borderStyle = 1;
    Stock().appearance = 1;
}

// --- Life ---

void ZelGrid::Initialize() {
    if (initialized_) return;
    initialized_ = true;
    if (Site().UserMode()) logic_.model.MakeCellTable();
    row_ = topRow_ = logic_.model.FixedRows();
    col_ = leftCol_ = logic_.model.FixedCols();
}

void ZelGrid::OnPropertiesLoaded() {
    // The counts read from the saved form, applied so that each setter's check holds: the fixed
    // counts go to 0 first, then the totals, then the fixed counts.
    long* counts = loadedCounts_;
    if (counts[0] >= 0 || counts[1] >= 0 || counts[2] >= 0 || counts[3] >= 0) {
        GridModel& model = logic_.model;
        const long fixedCols = counts[2] >= 0 ? counts[2] : model.FixedCols();
        const long fixedRows = counts[3] >= 0 ? counts[3] : model.FixedRows();
        model.SetFixedCols(0);
        model.SetFixedRows(0);
        if (counts[0] >= 0) model.SetCols(counts[0]);
        if (counts[1] >= 0) model.SetRows(counts[1]);
        if (model.SetFixedCols(fixedCols) != GridResult::Ok) model.SetFixedCols(1);
        if (model.SetFixedRows(fixedRows) != GridResult::Ok) model.SetFixedRows(1);
        for (long& count : loadedCounts_) count = -1;
    }
    Initialize();
}

// At run time with AllowUpdate the in-place editor is made, hidden.
void ZelGrid::CreateWindows() {
    if (!Site().UserMode() || !logic_.allowUpdate) return;
    editor_ = AddHostedChild(L"Edit", WS_CLIPSIBLINGS | ES_AUTOHSCROLL, 0, RECT{0, 0, 0, 0});
}

void ZelGrid::OnWindowCreated() {
    Initialize();
    centred_ = !logic_.allowUpdate;
    BoundControlObject::OnWindowCreated();
    if (logic_.Registered() && logic_.updateOption == kUpdateGridInitial) logic_.Fill();
    LayOutBars();
    SetBarRanges(true);
}

void ZelGrid::OnWindowDestroying() {
    BoundControlObject::OnWindowDestroying();
    if (editor_) DestroyWindow(editor_);
    editor_ = nullptr;
    editorShowing_ = false;
    verticalBar_ = horizontalBar_ = nullptr;  // destroyed with the window
}

// After every fill that succeeded, from Refresh or from the data source becoming ready.
void ZelGrid::Filled() {
    if (setColWidth_ && logic_.setColNames && logic_.model.FixedRows() >= 1 && Window()) {
        // Each data column as wide as its field name.
        const std::int32_t first = logic_.model.FixedCols();
        const auto names = SplitFieldList(logic_.dbListFields);
        for (std::size_t k = 0; k < names.size(); ++k) {
            const int extra = Stock().appearance != 0 ? 3 : 1;
            logic_.model.SetColWidth(first + static_cast<std::int32_t>(k),
                                     TextWidth(names[k]) + extra);
        }
    }
    HideEditor();
    LayOutBars();
    SetBarRanges(true);
    FireViewChange();
}

int ZelGrid::TextWidth(const std::string& text) {
    HDC dc = GetDC(Window());
    HGDIOBJ old = nullptr;
    HFONT font = nullptr;
    if (IFont* stock = StockFont(); stock && SUCCEEDED(stock->get_hFont(&font)) && font) {
        old = SelectObject(dc, font);
    }
    const std::wstring wide = com::WideOf(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(Window(), dc);
    return size.cx;
}

// --- GridView ---

void ZelGrid::RaiseFormat(std::string& line) {
    if (!HasEventSinks()) return;
    BSTR text = com::Bstr(com::WideOf(line)).Detach();
    com::EventArguments arguments;
    arguments.AddByRef(&text);
    FireEvent(DISPID_GRID_EVENT_FORMAT, arguments);
    com::Bstr result;
    *result.Put() = text;
    line = com::AnsiOf(result.Text());
}

int ZelGrid::RaiseBtrieveError(const std::string& tableName, int status) {
    short value = static_cast<short>(status);
    com::EventArguments arguments;
    arguments.Add(com::WideOf(tableName)).AddByRef(&value);
    FireEvent(DISPID_GRID_EVENT_BTRIEVEERROR, arguments);
    return value;
}

bool ZelGrid::RaiseCancellable(DISPID dispid, const std::wstring* text) {
    short cancel = 0;
    com::EventArguments arguments;
    arguments.AddByRef(&cancel);
    if (text) arguments.Add(*text);
    FireEvent(dispid, arguments);
    return cancel != 0;
}

bool ZelGrid::RaiseBeforeColUpdate(const std::string& text) {
    const std::wstring value = com::WideOf(text);
    return RaiseCancellable(DISPID_GRID_EVENT_BEFORECOLUPDATE, &value);
}
void ZelGrid::RaiseAfterColUpdate() {
    FireEvent(DISPID_GRID_EVENT_AFTERCOLUPDATE);
}
bool ZelGrid::RaiseBeforeUpdate() {
    return RaiseCancellable(DISPID_GRID_EVENT_BEFOREUPDATE, nullptr);
}
void ZelGrid::RaiseAfterUpdate() {
    FireEvent(DISPID_GRID_EVENT_AFTERUPDATE);
}
bool ZelGrid::RaiseBeforeDelete() {
    return RaiseCancellable(DISPID_GRID_EVENT_BEFOREDELETE, nullptr);
}
void ZelGrid::RaiseAfterDelete() {
    FireEvent(DISPID_GRID_EVENT_AFTERDELETE);
}

// Without the host's format service, or when it fails, the text is stored as it came: a cell
// never loses its value for want of a format.
std::string ZelGrid::FormatText(const std::string& text, const std::string& format) {
    std::optional<std::string> formatted = FormatWithHost(ClientSite(), text, format);
    return formatted ? *formatted : text;
}

// --- Cells ---

STDMETHODIMP ZelGrid::get_Text(BSTR* value) {
    return com::Guarded([&] {
        const bool shown = Window() && Site().UserMode() && logic_.model.HasCells();
        return com::AnsiToOut(shown ? logic_.model.Cell(row_, col_) : std::string(), value);
    });
}

STDMETHODIMP ZelGrid::put_Text(BSTR value) {
    return com::Guarded([&] {
        Stock().text = com::TextOf(value);
        if (!Window() || !Site().UserMode() || !logic_.model.HasCells()) return S_OK;
        const GridModel::Current at{row_,         col_,         selStartRow_, selEndRow_,
                                    selStartCol_, selEndCol_, fillStyle_};
        logic_.model.AssignText(com::AnsiOf(value), at,
                                [this](const std::string& text, const std::string& format) {
                                    return FormatText(text, format);
                                });
        FireViewChange();
        return S_OK;
    });
}

STDMETHODIMP ZelGrid::Refresh() {
    return com::Guarded([&] {
        logic_.Fill();
        return S_OK;
    });
}

STDMETHODIMP ZelGrid::Clear() {
    logic_.model.ClearCells();
    FireViewChange();
    return S_OK;
}

HRESULT CreateZelGrid(REFIID iid, void** out) {
    return com::CreateInstance<ZelGrid>(iid, out);
}

}  // namespace zelmor
