// What the grid adds to the bare work of its fill: 1,024 rows of 8 columns from a table of
// 100,000 records, with a filter that keeps one record in ten. The floor is the same extended
// operations with the same request (Get First along the key, then Get Next Extended in blocks of
// 300 until the rows are full), straight to the record manager; the grid is ZelGrid on a form
// with its data control, filled by Refresh with no event listener. Windows only; one run prints
// the best of three of each and the ratio.
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
#include "host/Automation.h"
#include "host/Form.h"

using namespace zelmor;

namespace {

constexpr int kRecords = 100000;
constexpr int kDataRows = 1023;  // 1,024 rows with the header row
constexpr int kPerRequest = 300;
const char* const kFields = "Id,Grp,Name,City,Qty,Price,Code,Note";
const char* const kCondition = "@Grp = 0";

// Row: Id (key 0), Grp (Id % 10) and six more fields of both kinds.
std::string MakeTable() {
    const std::string directory = bench::BenchFolder("zelmor-grid-bench");
    DictionaryTable rows{4, "Row", "ROW", {}, {}, {}};
    rows.fields = {DictionaryField(20, "Id", kInteger, 0, 4),
                   DictionaryField(21, "Grp", kInteger, 4, 4),
                   DictionaryField(22, "Name", kString, 8, 20),
                   DictionaryField(23, "City", kString, 28, 16),
                   DictionaryField(24, "Qty", kInteger, 44, 4),
                   DictionaryField(25, "Price", kInteger, 48, 4),
                   DictionaryField(26, "Code", kString, 52, 8),
                   DictionaryField(27, "Note", kString, 60, 12)};
    rows.segments = {{20, 0, 0, keyflag::kExtendedType}};
    std::unique_ptr<FormContext> context;
    if (WriteDictionary(directory, {rows}) != 0 || LoadDictionaryFull(directory, context) != 0) {
        std::abort();
    }
    TableDef& table = *context->TableByName("Row");
    if (CreateTableFile(*context, table) != 0 || OpenTable(*context, table, "", kOpenAccel) != 0) {
        std::abort();
    }
    DbBeginTransaction(0);
    for (int id = 1; id <= kRecords; ++id) {
        const std::string number = std::to_string(id);
        DbClearFieldBuffer(table);
        DbSetFieldData(table, "Id", number);
        DbSetFieldData(table, "Grp", std::to_string(id % 10));
        DbSetFieldData(table, "Name", "Name " + number);
        DbSetFieldData(table, "City", "City " + std::to_string(id % 97));
        DbSetFieldData(table, "Qty", std::to_string(id % 1000));
        DbSetFieldData(table, "Price", std::to_string(id * 7 % 100000));
        DbSetFieldData(table, "Code", "C" + std::to_string(id % 10000));
        DbSetFieldData(table, "Note", "note");
        if (DbAccessByID(table, op::kInsert, 0) != 0) std::abort();
    }
    DbEndTransaction();
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
    const double floor = bench::BestOfThree([&] { fetched = BareFetch(table); });
    const double filled = bench::BestOfThree([&] { grid->Refresh(); });
    long rows = 0;
    long cols = 0;
    grid->get_Rows(&rows);
    grid->get_Cols(&cols);
    CloseTable(table);

    std::printf("%d records, filter keeps 1 in 10; best of three runs, in milliseconds\n",
                kRecords);
    std::printf("%-12s %8s %8s %6s %10s\n", "fill", "floor", "grid", "ratio", "rows x cols");
    std::printf("%-12s %8.1f %8.1f %6.2f %5ld x %ld (%d records)\n", "extended", floor, filled,
                filled / floor, rows, cols, fetched);
    return rows == kDataRows + 1 && cols == 9 && fetched == kDataRows ? 0 : 1;
}
