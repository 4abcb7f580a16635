#include "grid/ZelGrid.h"

#include "com/AnsiText.h"
#include "com/Guarded.h"
#include "controls/HostFormat.h"
#include "grid/GridPaint.h"
#include "grid/ZelGridMembers.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"

namespace zelmor {

using namespace grid_members;

namespace {

// The persisted properties after the extent, in their order.
const com::PropertyMapEntry kProperties[] = {
    {L"DbListSource", 1},        {L"DbListTable", 2},     {L"DbListFields", 3},
    {L"DbConditions", 8},        {L"Cols", 10},           {L"Rows", 11},
    {L"FixedCols", 12},          {L"FixedRows", 13},      {L"DbCompareCase", 14},
    {L"DbExOperation", 15},      {L"DbLeaveResults", 16}, {L"DbLocks", 17},
    {L"DbMaxRecords", 19},       {L"DbSkipRecords", 20},  {L"DbUpdateOption", 21},
    {L"GridLines", 22},          {L"HighLight", 23},      {L"FillStyle", 24},
    {L"GridLineWidth", 25},      {L"SetColNames", 28},    {L"SetRecordNumbers", 29},
    {L"DbListIndex", 30},        {L"ScrollBars", 31},     {L"AllowUpdate", 37},
    {L"AllowDelete", 38},        {L"AlignFixedCells", 42}, {L"SetColWidth", 44},
    {L"AllowUserResizing", 45},  {L"Appearance", DISPID_APPEARANCE},
    {L"BackColor", DISPID_BACKCOLOR}, {L"BorderStyle", DISPID_BORDERSTYLE},
    {L"ForeColor", DISPID_FORECOLOR}, {L"Font", DISPID_FONT},
    {L"MouseIcon", DISPID_MOUSEICON}, {L"MousePointer", DISPID_MOUSEPOINTER},
    {L"TabStop", DISPID_TABSTOP}, {L"Enabled", DISPID_ENABLED},
};

const CLSID* const kPages[] = {&CLSID_CFontPropPage, &CLSID_CColorPropPage};

const com::ControlClass kGridClass = {
    &CLSID_ZelGrid,
    &DIID__DZelGridEvents,
    com::kControlMiscStatus,
    SIZEL{6350, 3175},  // 240 x 120 pixels
    com::MakePropertyMap(kProperties),
    kPages,
    sizeof kPages / sizeof kPages[0],
    0,  // the grid's own window raises its key and mouse events
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
    FireEvent(kEventFormat, arguments);
    com::Bstr result;
    *result.Put() = text;
    line = com::AnsiOf(result.Text());
}

int ZelGrid::RaiseBtrieveError(const std::string& tableName, int status) {
    short value = static_cast<short>(status);
    com::EventArguments arguments;
    arguments.Add(com::WideOf(tableName)).AddByRef(&value);
    FireEvent(kEventBtrieveError, arguments);
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
    return RaiseCancellable(kEventBeforeColUpdate, &value);
}
void ZelGrid::RaiseAfterColUpdate() {
    FireEvent(kEventAfterColUpdate);
}
bool ZelGrid::RaiseBeforeUpdate() {
    return RaiseCancellable(kEventBeforeUpdate, nullptr);
}
void ZelGrid::RaiseAfterUpdate() {
    FireEvent(kEventAfterUpdate);
}
bool ZelGrid::RaiseBeforeDelete() {
    return RaiseCancellable(kEventBeforeDelete, nullptr);
}
void ZelGrid::RaiseAfterDelete() {
    FireEvent(kEventAfterDelete);
}

// Without the host's format service, or when it fails, the text is stored as it came: a cell
// never loses its value for want of a format.
std::string ZelGrid::FormatText(const std::string& text, const std::string& format) {
    std::optional<std::string> formatted = FormatWithHost(ClientSite(), text, format);
    if (!formatted) return text;
    if (formatted->size() > 1024) formatted->resize(1024);
    return *formatted;
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
