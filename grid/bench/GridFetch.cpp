// The grid's fill without a window, natively: 1,024 rows of 8 columns from a table of 100,000
// records with a filter that keeps one in ten, against the bare extended operations of the same
// request. What the grid adds here is its own work (the texts of the fields, the rows, the
// header and the numbers); the Windows benchmark adds the control around it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "binding/tests/FakeControls.h"
#include "core/DictionaryLoader.h"
#include "core/DictionaryWriter.h"
#include "core/FieldAccess.h"
#include "core/KeyBuffer.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/recordmanager/RecordManager.h"
#include "extended/ExtendedRequest.h"
#include "extended/Reply.h"
#include "grid/GridLogic.h"
#include "grid/bench/BenchRows.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

constexpr WindowHandle kForm = 100;
constexpr int kRecords = 100000;
constexpr int kDataRows = 1023;
const char* const kFields = bench::kRowFields;

class Host : public ControlHost {
  public:
    std::u16string DisplayName() override { return u"Grid1"; }
    WindowHandle FormWindow() override { return kForm; }
    bool UserMode() override { return true; }
};

class View : public GridView {
  public:
    void RaiseFormat(std::string&) override {}
    int RaiseBtrieveError(const std::string&, int) override { std::abort(); }
    std::string FormatText(const std::string& text, const std::string&) override { return text; }
    bool RaiseBeforeColUpdate(const std::string&) override { return false; }
    void RaiseAfterColUpdate() override {}
    bool RaiseBeforeUpdate() override { return false; }
    void RaiseAfterUpdate() override {}
    bool RaiseBeforeDelete() override { return false; }
    void RaiseAfterDelete() override {}
};

class Form {
  public:
    Form() {
        directory_ = std::filesystem::temp_directory_path() / "zelmor-grid-fetch-bench";
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
        const DictionaryTable rows = bench::RowTable();
        if (WriteDictionary(directory_.string(), {rows}) != 0 ||
            LoadDictionaryFull(directory_.string(), context_) != 0) {
            std::abort();
        }
        table_ = context_->TableByName("Row");
        if (OpenTableCreatingFile(*context_, *table_, "", kOpenAccel) != 0) std::abort();
        bench::InsertRows(*table_, kRecords);
        CloseTable(*table_);
        if (OpenTable(*context_, *table_, "", kOpenNormal) != 0) std::abort();
        source_.context = context_.get();
        registry_.RegisterDataSource(source_);
        grid_.dbListSource = u"Data1";
        grid_.dbListTable = u"Row";
        grid_.dbListFields = kFields;
        grid_.conditions = "@Grp = 0";
        grid_.skipRecords = 0;
        grid_.model.SetCols(9);
        grid_.model.MakeCellTable();
    }
    ~Form() {
        CloseAllTables(*context_);
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    GridLogic& Grid() { return grid_; }
    TableDef& Table() { return *table_; }

  private:
    std::filesystem::path directory_;
    platform::RecordingPlatform platform_;
    platform::ScopedPlatform scope_{platform_};
    std::unique_ptr<FormContext> context_;
    TableDef* table_ = nullptr;
    BindingRegistry registry_{[](WindowHandle) -> WindowHandle { return 0; }};
    FakeDataSource source_{u"Data1", kForm, "Form1"};
    Host host_;
    View view_;
    GridLogic grid_{host_, registry_, view_, GridLimits{64, 1024}};
};

Form& TheForm() {
    static Form form;
    return form;
}

void BareFetch(benchmark::State& state) {
    TableDef& table = TheForm().Table();
    ExtendedRequest request;
    if (BuildExtendedRequest(table, "UC", 0, "@Grp = 0", false, kFields, 300, request) != 0) {
        std::abort();
    }
    KeyBuffer key;
    if (!BuildKeyBuffer(table, 0, key)) std::abort();
    std::vector<std::uint8_t> buffer;
    for (auto _ : state) {
        SetRequestMode(request, "UC");
        std::uint32_t length = DataLengthFor(table, op::kGetFirst);
        int status = CurrentRecordManager().Call(op::kGetFirst, table.positionBlock,
                                                 table.record.data(), &length, key.Data(),
                                                 key.length, key.keyNumber);
        int fetched = 0;
        while (status == 0 && fetched < kDataRows) {
            buffer.assign(request.buffer.begin(), request.buffer.end());
            length = static_cast<std::uint32_t>(buffer.size());
            status = CurrentRecordManager().Call(op::kGetNextExtended, table.positionBlock,
                                                 buffer.data(), &length, key.Data(), key.length,
                                                 key.keyNumber);
            fetched += static_cast<int>(ReadReply(buffer.data(), length).size());
            SetRequestMode(request, "EG");
        }
        benchmark::DoNotOptimize(fetched);
    }
}

void GridFill(benchmark::State& state) {
    GridLogic& grid = TheForm().Grid();
    for (auto _ : state) {
        if (!grid.Fill()) std::abort();
    }
    state.counters["rows"] = grid.model.Rows();
}

}  // namespace

BENCHMARK(BareFetch)->Unit(benchmark::kMillisecond);
BENCHMARK(GridFill)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
