// What one step of a scroll bar costs on a table of 1,000 records and on one of 1,000,000: a line
// down, a page down of a hundredth of the table (by percentage) and a thumb move, each with the
// record shown in a bound control and the thumb's percentage found again. The steps are the
// record manager's keyed reads and percentages, which are O(log n): the two sizes should cost
// about the same.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "binding/tests/FakeControls.h"
#include "controls/ScrollLogic.h"
#include "core/DictionaryLoader.h"
#include "core/DictionaryWriter.h"
#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

constexpr WindowHandle kForm = 100;

class Host : public ControlHost {
  public:
    std::u16string DisplayName() override { return u"HScroll1"; }
    WindowHandle FormWindow() override { return kForm; }
    bool UserMode() override { return true; }
};

// The bar's window, which only needs to be told.
class Bar : public ScrollView {
  public:
    void SetRange(int, int) override {}
    void SetThumb(int position) override { thumb = position; }
    int RaiseBtrieveError(const std::string&, int status) override {
        std::fprintf(stderr, "scroll step failed with status %d\n", status);
        std::abort();
    }
    void RaiseChange() override {}
    void RaiseScroll() override {}
    void ShowStatus(const std::string&) override {}
    int thumb = 0;
};

// A table of `records` items (Id, Name) with its data control, a bound control and a bar.
class Form {
  public:
    explicit Form(int records) {
        directory_ = std::filesystem::temp_directory_path() /
                     ("zelmor-scroll-bench-" + std::to_string(records));
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
        DictionaryTable items{4, "Item", "ITEM", {}, {}, {}};
        items.fields = {DictionaryField(20, "Id", kInteger, 0, 4),
                        DictionaryField(21, "Name", kString, 4, 20)};
        items.segments = {{20, 0, 0, keyflag::kExtendedType}};
        if (WriteDictionary(directory_.string(), {items}) != 0 ||
            LoadDictionaryFull(directory_.string(), context_) != 0) {
            std::abort();
        }
        table_ = context_->TableByName("Item");
        // Filled with the accelerated open in one transaction, then opened as a form opens it.
        if (OpenTableCreatingFile(*context_, *table_, "", kOpenAccel) != 0) std::abort();
        DbBeginTransaction(0);
        for (int id = 1; id <= records; ++id) {
            DbClearFieldBuffer(*table_);
            DbSetFieldData(*table_, "Id", std::to_string(id));
            DbSetFieldData(*table_, "Name", "Item " + std::to_string(id));
            if (DbAccessByID(*table_, 2, 0) != 0) std::abort();
        }
        DbEndTransaction();
        CloseTable(*table_);
        source_.context = context_.get();
        registry_.RegisterDataSource(source_);
        name_.field = u"Name";
        name_.source = u"Data1";
        name_.table = u"Item";
        registry_.RegisterFieldControl(name_);
        scroll_.dbSource = u"Data1";
        scroll_.dbTable = u"Item";
        scroll_.OnSourceReady();  // opens the table and shows the first record
    }
    ~Form() {
        CloseAllTables(*context_);
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    ScrollLogic& Scroll() { return scroll_; }
    const std::string& Shown() const { return name_.value; }

  private:
    std::filesystem::path directory_;
    platform::RecordingPlatform platform_;
    platform::ScopedPlatform scope_{platform_};
    std::unique_ptr<FormContext> context_;
    TableDef* table_ = nullptr;
    BindingRegistry registry_{[](WindowHandle) -> WindowHandle { return 0; }};
    FakeDataSource source_{u"Data1", kForm, "Form1"};
    FakeControl name_{ControlKind::Edit, u"Name1", kForm};
    Host host_;
    Bar bar_;
    ScrollLogic scroll_{host_, registry_, bar_};
};

// One form per size, made the first time it is asked for.
Form& FormOf(int records) {
    static std::map<int, std::unique_ptr<Form>> forms;
    std::unique_ptr<Form>& form = forms[records];
    if (!form) form = std::make_unique<Form>(records);
    return *form;
}

// Steps with `code` from the middle of the table, going back there after `steps` steps, before
// the end of the smaller table.
void Step(benchmark::State& state, int code, int largeChange, int stepsBack) {
    Form& form = FormOf(static_cast<int>(state.range(0)));
    ScrollLogic& scroll = form.Scroll();
    scroll.largeChange = largeChange;
    scroll.OnScroll(kScrollThumbPosition, 5000);
    int steps = 0;
    for (auto _ : state) {
        scroll.OnScroll(code, 0);
        if (++steps == stepsBack) {
            state.PauseTiming();
            scroll.OnScroll(kScrollThumbPosition, 5000);
            steps = 0;
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(form.Shown());
    state.counters["shown"] = std::stod(form.Shown().substr(5));  // the item last shown
}

void LineDown(benchmark::State& state) {
    Step(state, kScrollLineDown, 1, 400);
}

void PageDown(benchmark::State& state) {
    Step(state, kScrollPageDown, static_cast<int>(state.range(0) / 100), 40);
}

void ThumbMove(benchmark::State& state) {
    Form& form = FormOf(static_cast<int>(state.range(0)));
    std::mt19937 random(7);
    for (auto _ : state) {
        form.Scroll().OnScroll(kScrollThumbPosition, static_cast<int>(random() % 10001));
    }
    benchmark::DoNotOptimize(form.Shown());
}

}  // namespace

BENCHMARK(LineDown)->Arg(1000)->Arg(1000000);
BENCHMARK(PageDown)->Arg(1000)->Arg(1000000);
BENCHMARK(ThumbMove)->Arg(1000)->Arg(1000000);

BENCHMARK_MAIN();
