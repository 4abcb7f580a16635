// What the list controls add to the bare work of filling a list: 10,000 items from a table of
// 100,000 records, along a key (nine records in ten have an empty name, which the fill leaves
// out) and by an extended operation with a filter (one record in ten). The floor is the same
// reads with the record manager and LB_ADDSTRING of the same texts into a list box of the kind
// the control shows (visible, with its scroll bar, not redrawn while it fills); the
// control is ZelListBox or ZelExListBox on a form with its data control, filled by Refresh,
// once with no event listener and once with a listener that answers every event at once (a
// program with a Format handler that leaves the lines as they are). Windows only; one run
// prints the best of three of each and the ratios.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "com/AnsiText.h"
#include "com/ObjectRoot.h"
#include "controls/ZelBtr.h"
#include "controls/ZelLists.h"
#include "controls/bench/BenchSupport.h"
#include "core/BoundOperations.h"
#include "core/DictionaryLoader.h"
#include "core/DictionaryWriter.h"
#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/recordmanager/RecordManager.h"
#include "extended/ExtendedFill.h"
#include "host/Automation.h"
#include "host/Form.h"

using namespace zelmor;

namespace {

constexpr int kRecords = 100000;

// Item: Id (key 0), Name (every tenth record has one), Grp (Id % 10).
std::string MakeTable() {
    const std::string directory = bench::BenchFolder("zelmor-list-bench");
    DictionaryTable items{4, "Item", "ITEM", {}, {}, {}};
    items.fields = {DictionaryField(20, "Id", kInteger, 0, 4),
                    DictionaryField(21, "Name", kString, 4, 20),
                    DictionaryField(22, "Grp", kInteger, 24, 4)};
    items.segments = {{20, 0, 0, keyflag::kExtendedType}};
    std::unique_ptr<FormContext> context;
    if (WriteDictionary(directory, {items}) != 0 || LoadDictionaryFull(directory, context) != 0) {
        std::abort();
    }
    TableDef& table = *context->TableByName("Item");
    if (CreateTableFile(*context, table) != 0 || OpenTable(*context, table, "", kOpenAccel) != 0) {
        std::abort();
    }
    DbBeginTransaction(0);
    for (int id = 1; id <= kRecords; ++id) {
        DbClearFieldBuffer(table);
        DbSetFieldData(table, "Id", std::to_string(id));
        DbSetFieldData(table, "Name", id % 10 == 0 ? "Item " + std::to_string(id) : "");
        DbSetFieldData(table, "Grp", std::to_string(id % 10));
        if (DbAccessByID(table, op::kInsert, 0) != 0) std::abort();
    }
    DbEndTransaction();
    CloseTable(table);
    return directory;
}

// The floor's list is filled as the control fills its own: not redrawn until it is full.
void Fill(HWND list, const std::function<void()>& adds) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    adds();
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

void AddString(HWND list, const std::string& text) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(com::WideOf(text).c_str()));
}

int Count(HWND list) {
    return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
}

// The extended pass's lines straight into a plain list box.
class PlainTarget : public ExtendedFillTarget {
  public:
    explicit PlainTarget(HWND list) : list_(list) {}
    void ClearLines() override { SendMessageW(list_, LB_RESETCONTENT, 0, 0); }
    bool RaiseFormat(std::string&) override { return false; }
    bool AddLine(const std::string& line, std::uint32_t) override {
        AddString(list_, line);
        return true;
    }
    void RaiseBtrieveError(int) override {}

  private:
    HWND list_;
};

template <typename Control>
Control* AddList(host::Form& form, const wchar_t* name, std::vector<host::NamedValue> properties) {
    auto control = com::MakeInstance<Control>();
    HRESULT hr = E_FAIL;
    form.AddControl({name, RECT{10, 60, 210, 260}}, static_cast<IOleObject*>(control.Get()),
                    std::move(properties), &hr);
    if (FAILED(hr)) std::abort();
    return control.Detach();  // the form keeps it for the run
}

struct Timings {
    double floor, quiet, listened;
    int floorItems;
    long items;
};

// The control's fill without a listener and with one that does nothing.
template <typename Control>
void TimeControl(Control* control, REFIID events, Timings& timings) {
    auto sink = com::MakeInstance<bench::QuietSink>(events);
    IUnknown* object = static_cast<IOleObject*>(control);
    bench::ListenWith(object, events, nullptr);
    timings.quiet = bench::BestOfThree([&] { control->Refresh(); });
    bench::ListenWith(object, events, static_cast<IDispatch*>(sink.Get()));
    timings.listened = bench::BestOfThree([&] { control->Refresh(); });
    control->get_ListCount(&timings.items);
}

void PrintRow(const char* fill, const Timings& t) {
    std::printf("%-20s %8.1f %9.1f %6.2f %9.1f %6.2f %5d/%6ld\n", fill, t.floor, t.quiet,
                t.quiet / t.floor, t.listened, t.listened / t.floor, t.floorItems, t.items);
}

}  // namespace

int main() {
    OleInitialize(nullptr);
    const std::string directory = MakeTable();
    const std::wstring wideDirectory(directory.begin(), directory.end());

    host::Form form(L"Form1", L"List fill", SIZE{400, 300});
    auto data = com::MakeInstance<zelmor::ZelBtr>();
    HRESULT hr = E_FAIL;
    form.AddControl({L"Data1", RECT{10, 10, 42, 42}}, static_cast<IOleObject*>(data.Get()),
                    {{L"DDFDir", host::TextValue(wideDirectory)}}, &hr);
    const std::vector<host::NamedValue> source = {
        {L"DbListSource", host::TextValue(L"Data1")},
        {L"DbListTable", host::TextValue(L"Item")},
        {L"DbListField", host::TextValue(L"Name")},
        {L"DbUpdateOption", host::LongValue(0)}};
    auto* keyList = AddList<zelmor::ZelListBox>(form, L"List1", source);
    auto extendedProperties = source;
    extendedProperties.push_back({L"DbConditions", host::TextValue(L"@Grp = 0")});
    extendedProperties.push_back({L"DbSkipRecords", host::LongValue(0)});  // 4,095 rejects
    auto* extendedList = AddList<zelmor::ZelExListBox>(form, L"List2", extendedProperties);

    // The floor: the same table opened apart, and a list box beside the control's.
    std::unique_ptr<FormContext> context;
    if (LoadDictionaryFull(directory, context) != 0) return 1;
    TableDef& table = *context->TableByName("Item");
    if (OpenTable(*context, table, "", kOpenNormal) != 0) return 1;
    HWND plain = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"ListBox", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT,
        220, 60, 150, 200, form.Window(), nullptr, nullptr, nullptr);

    Timings byKey{};
    byKey.floor = bench::BestOfThree([&] {
        Fill(plain, [&] {
            int status = ReadWholeRecord(table, op::kGetFirst, 0, 0);
            while (status == 0) {
                const std::string text = DbGetFieldDataByID(table, 1);
                if (!text.empty()) AddString(plain, text);
                status = ReadWholeRecord(table, op::kGetNext, 0, 0);
            }
        });
    });
    byKey.floorItems = Count(plain);
    TimeControl(keyList, DIID__DZelListBoxEvents, byKey);

    Timings extended{};
    ExtendedFillRequest request;
    request.fields = "Name";
    request.conditions = "@Grp = 0";
    request.skipRecords = 0;
    extended.floor = bench::BestOfThree([&] {
        Fill(plain, [&] {
            PlainTarget target(plain);
            int kept = -1;
            RunExtendedFill(table, 0, request, target, kept);
        });
    });
    extended.floorItems = Count(plain);
    TimeControl(extendedList, DIID__DZelExListBoxEvents, extended);
    CloseTable(table);

    std::printf("%d records, 10,000 items; best of three runs, in milliseconds\n", kRecords);
    std::printf("%-20s %8s %9s %6s %9s %6s %12s\n", "fill", "floor", "control", "ratio",
                "listened", "ratio", "items");
    PrintRow("along the key", byKey);
    PrintRow("extended, filtered", extended);
    const bool same = byKey.items == byKey.floorItems && extended.items == extended.floorItems;
    return same ? 0 : 1;
}
