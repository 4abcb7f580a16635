// What the grid adds to the bare work of its fill: 1,024 rows of 8 columns from a table of
// 100,000 records, with a filter that keeps one record in ten. The floor is the same extended
// operations with the same request (Get First along the key, then Get Next Extended in blocks of
// 300 until the rows are full), straight to the record manager; the grid is ZelGrid on a form
// with its data control, filled by Refresh with no event listener and with one that answers
// every event at once (a program with a Format handler). Then, with the rows loaded,
// the time of one paint of the whole window, and of one line of scrolling (the bar's line down
// and the paint that follows) while going through every row. Windows only; one run prints the
// best of ten fills (three paints and scrolls) and the ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "com/ObjectRoot.h"
#include "controls/ZelBtr.h"
#include "controls/bench/BenchSupport.h"
#include "core/BoundOperations.h"
#include "core/DictionaryLoader.h"
#include "core/DictionaryWriter.h"
#include "core/FieldAccess.h"
#include "core/KeyBuffer.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/recordmanager/RecordManager.h"
#include "extended/ExtendedRequest.h"
#include "extended/Reply.h"
#include "grid/ZelGrid.h"
#include "grid/bench/BenchRows.h"
#include "host/Automation.h"
#include "host/Form.h"

using namespace zelmor;

namespace {

constexpr int kRecords = 100000;
constexpr int kDataRows = 1023;  // 1,024 rows with the header row
constexpr int kPerRequest = 300;
constexpr int kRuns = 10;  // a fill takes milliseconds: the best of ten steadies the figures
const char* const kFields = bench::kRowFields;
const char* const kCondition = "@Grp = 0";

// Row: Id (key 0), Grp (Id % 10) and six more fields of both kinds.
std::string MakeTable() {
    const std::string directory = bench::BenchFolder("zelmor-grid-bench");
    const DictionaryTable rows = bench::RowTable();
    std::unique_ptr<FormContext> context;
    if (WriteDictionary(directory, {rows}) != 0 || LoadDictionaryFull(directory, context) != 0) {
        std::abort();
    }
    TableDef& table = *context->TableByName("Row");
    if (CreateTableFile(*context, table) != 0 || OpenTable(*context, table, "", kOpenAccel) != 0) {
        std::abort();
    }
    bench::InsertRows(table, kRecords);
    CloseTable(table);
    return directory;
}

// The bare fetch: the grid's positioning and extended calls with the same request, the replies
// only counted. Gives the records fetched.
int BareFetch(TableDef& table) {
    ExtendedRequest request;
    if (BuildExtendedRequest(table, "UC", 0, kCondition, false, kFields, kPerRequest, request) !=
        0) {
        std::abort();
    }
    KeyBuffer key;
    if (!BuildKeyBuffer(table, 0, key)) std::abort();
    std::uint32_t length = DataLengthFor(table, op::kGetFirst);
    int status = CurrentRecordManager().Call(op::kGetFirst, table.positionBlock,
                                             table.record.data(), &length, key.Data(), key.length,
                                             key.keyNumber);
    int fetched = 0;
    std::vector<std::uint8_t> buffer;
    while (status == 0 && fetched < kDataRows) {
        buffer.assign(request.buffer.begin(), request.buffer.end());
        length = static_cast<std::uint32_t>(buffer.size());
        status = CurrentRecordManager().Call(op::kGetNextExtended, table.positionBlock,
                                             buffer.data(), &length, key.Data(), key.length,
                                             key.keyNumber);
        fetched += static_cast<int>(ReadReply(buffer.data(), length).size());
        SetRequestMode(request, "EG");
    }
    return std::min(fetched, kDataRows);
}

}  // namespace

int main() {
    OleInitialize(nullptr);
    const std::string directory = MakeTable();
    const std::wstring wideDirectory(directory.begin(), directory.end());

    host::Form form(L"Form1", L"Grid fill", SIZE{640, 400});
    auto data = com::MakeInstance<zelmor::ZelBtr>();
    HRESULT hr = E_FAIL;
    form.AddControl({L"Data1", RECT{10, 10, 42, 42}}, static_cast<IOleObject*>(data.Get()),
                    {{L"DDFDir", host::TextValue(wideDirectory)}}, &hr);
    auto grid = com::MakeInstance<zelmor::ZelGrid>();
    form.AddControl({L"Grid1", RECT{10, 60, 610, 360}}, static_cast<IOleObject*>(grid.Get()),
                    {{L"DbListSource", host::TextValue(L"Data1")},
                     {L"DbListTable", host::TextValue(L"Row")},
                     {L"DbListFields", host::TextValue(L"Id,Grp,Name,City,Qty,Price,Code,Note")},
                     {L"DbConditions", host::TextValue(L"@Grp = 0")},
                     {L"DbSkipRecords", host::LongValue(0)},
                     {L"DbUpdateOption", host::LongValue(0)}},
                    &hr);
    if (FAILED(hr)) return 1;

    std::unique_ptr<FormContext> context;
    if (LoadDictionaryFull(directory, context) != 0) return 1;
    TableDef& table = *context->TableByName("Row");
    if (OpenTable(*context, table, "", kOpenNormal) != 0) return 1;

    int fetched = 0;
    const double floor = bench::BestOf(kRuns, [&] { fetched = BareFetch(table); });
    IUnknown* object = static_cast<IOleObject*>(grid.Get());
    bench::ListenWith(object, DIID__DZelGridEvents, nullptr);
    const double filled = bench::BestOf(kRuns, [&] { grid->Refresh(); });
    auto sink = com::MakeInstance<bench::QuietSink>(DIID__DZelGridEvents);
    bench::ListenWith(object, DIID__DZelGridEvents, static_cast<IDispatch*>(sink.Get()));
    const double listened = bench::BestOf(kRuns, [&] { grid->Refresh(); });
    long rows = 0;
    long cols = 0;
    grid->get_Rows(&rows);
    grid->get_Cols(&cols);
    CloseTable(table);

    // Painting: the whole window drawn at once, then every row scrolled into view line by line.
    HWND window = nullptr;
    grid->get_Window(reinterpret_cast<long*>(&window));
    HWND bar = nullptr;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SBS_VERT) != 0) bar = child;
    }
    constexpr int kPaints = 50;
    const double paint = bench::BestOfThree([&] {
        for (int i = 0; i < kPaints; ++i) {
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
    }) / kPaints;
    int lines = 0;
    const double scrolled = bench::BestOfThree([&] {
        SendMessageW(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1),
                     reinterpret_cast<LPARAM>(bar));
        lines = 0;
        int before = -1;
        while (bar && GetScrollPos(bar, SB_CTL) != before) {
            before = GetScrollPos(bar, SB_CTL);
            SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar));
            UpdateWindow(window);
            ++lines;
        }
    });

    std::printf("%d records, filter keeps 1 in 10; best of ten runs, in milliseconds\n",
                kRecords);
    std::printf("%-12s %8s %8s %6s %9s %6s %10s\n", "fill", "floor", "grid", "ratio", "listened",
                "ratio", "rows x cols");
    std::printf("%-12s %8.1f %8.1f %6.2f %9.1f %6.2f %5ld x %ld (%d records)\n", "extended", floor,
                filled, filled / floor, listened, listened / floor, rows, cols, fetched);
    std::printf("%-12s %8.3f per paint of the whole window (600 x 300 pixels)\n", "paint", paint);
    std::printf("%-12s %8.3f per line, %d lines through every row\n", "scroll",
                lines > 0 ? scrolled / lines : 0.0, lines);
    return rows == kDataRows + 1 && cols == 9 && fetched == kDataRows && lines > 1000 ? 0 : 1;
}
