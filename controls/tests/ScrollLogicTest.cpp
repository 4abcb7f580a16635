// The scroll bar's moves on a real table of the sample dictionary, with fake bound controls and
// a fake view recording the range, the thumb and the events.
#include <gtest/gtest.h>

#include "controls/ScrollLogic.h"
#include "controls/tests/SampleForm.h"
#include "messages/Messages.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

constexpr WindowHandle kForm = kTestForm;

class FakeScrollBar : public ScrollView {
  public:
    void SetRange(int low, int high) override {
        minimum = low;
        maximum = high;
    }
    void SetThumb(int position) override { thumb = position; }
    int RaiseBtrieveError(const std::string& table, int status) override {
        errors.push_back(table + ":" + std::to_string(status));
        return clearStatus ? 0 : status;
    }
    void RaiseChange() override { ++changes; }
    void RaiseScroll() override { ++scrolls; }
    void ShowStatus(const std::string& text) override { shown.push_back(text); }

    int minimum = -1, maximum = -1, thumb = -1, changes = 0, scrolls = 0;
    bool clearStatus = false;
    std::vector<std::string> errors, shown;
};

class ScrollLogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        code.field = u"Code";
        code.source = u"Data1";
        code.table = u"Customer";
        ASSERT_EQ(registry.RegisterFieldControl(code), 0);
        other.source = u"Data1";
        ASSERT_EQ(registry.RegisterScrollControl(other), 0);
        scroll.dbSource = u"Data1";
        scroll.dbTable = u"Customer";
        scroll.Register();
    }
    // Customers with codes 1..count, inserted in reverse so that key order is not arrival order.
    void Insert(int count) {
        for (int code = count; code >= 1; --code) {
            form.InsertCustomer(code, "Customer " + std::to_string(code));
        }
    }
    std::vector<std::string> Messages() { return form.Messages(); }

    SampleForm form;
    TableDef* customer = form.customer;
    BindingRegistry& registry = form.registry;
    FakeControl code{ControlKind::Edit, u"Code1", kForm};
    FakeControl other{ControlKind::ScrollBar, u"HScroll2", kForm};
    FakeControlHost host{u"HScroll1"};
    FakeScrollBar view;
    ScrollLogic scroll{host, registry, view};
};

}  // namespace

TEST(ScrollArithmetic, MinimumIsOneRecordsShare) {
    EXPECT_EQ(ScrollMinimum(0), 0);
    EXPECT_EQ(ScrollMinimum(1), 10000);
    EXPECT_EQ(ScrollMinimum(3), 3333);
    EXPECT_EQ(ScrollMinimum(7), 1428);
    EXPECT_EQ(ScrollMinimum(20000), 0);
}

TEST(ScrollArithmetic, PageTargetsLandOnTheRecordWanted) {
    struct Case {
        int before, afterOne;
        bool up;
        int pages;
        std::uint32_t count;
        int target;
    } cases[] = {
        {1666, 3333, false, 3, 6, 5833},    // rank 0 to rank 3 of 6
        {8333, 6666, true, 3, 6, 2500},     // rank 4 to rank 1
        {1000, 2000, false, 3, 10, 3500},   // rank 0 to rank 3 of 10
        {3333, 6666, false, 3, 3, 10000},   // past the end: the last record
        {2000, 1000, true, 5, 10, 0},       // before the start: the first
        {150, 150, false, 1000, 1000000, 160},  // neighbours share a percentage; pages do not
        {150, 150, false, 3, 1000000, -1},  // less than a percentage: the line move stands
        {150, 150, true, 3, 1000000, -1},
        {10000, 10000, false, 3, 6, -1},    // at the end already
        {1000, 2000, false, 1000000, 10, 10000},  // no overflow
        {1000, 2000, false, 3, 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PageTarget(c.before, c.afterOne, c.up, c.pages, c.count), c.target)
            << c.before << " " << c.afterOne << " " << c.pages << " " << c.count;
    }
}

TEST_F(ScrollLogicTest, SourceReadyShowsTheFirstRecordAndSetsTheRange) {
    Insert(3);
    scroll.OnSourceReady();
    EXPECT_EQ(view.minimum, 3333);
    EXPECT_EQ(view.maximum, 10000);
    EXPECT_EQ(scroll.minimum, 3333);
    EXPECT_EQ(code.value, "1");
    EXPECT_EQ(view.thumb, 3333);
    EXPECT_TRUE(view.errors.empty());
    EXPECT_EQ(view.changes, 0);
}

TEST_F(ScrollLogicTest, SourceReadyOpensTheTableAndReportsAnEmptyOneThroughTheEventOnly) {
    ASSERT_EQ(CloseTable(*customer), 0);
    scroll.OnSourceReady();
    EXPECT_TRUE(customer->open);
    EXPECT_EQ(view.minimum, 0);
    EXPECT_EQ(view.errors, std::vector<std::string>{"Customer:9"});
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ScrollLogicTest, LineMovesGoThroughEveryRecordAndStopAtTheEndsWithoutAnError) {
    Insert(3);
    scroll.OnSourceReady();
    struct Step {
        int code;
        const char* shown;
        int thumb;
    } steps[] = {
        {kScrollLineUp, "1", 3333},  {kScrollLineDown, "2", 6666},
        {kScrollLineDown, "3", 10000}, {kScrollLineDown, "3", 10000},
        {kScrollLineUp, "2", 6666},  {kScrollTop, "1", 3333},
        {kScrollBottom, "3", 10000},
    };
    int changes = 0;
    for (const Step& step : steps) {
        other.movedTable.clear();
        scroll.OnScroll(step.code, 0);
        EXPECT_EQ(code.value, step.shown) << step.code;
        EXPECT_EQ(view.thumb, step.thumb) << step.code;
        EXPECT_EQ(scroll.value, step.thumb) << step.code;
        EXPECT_EQ(view.changes, ++changes);
        EXPECT_EQ(other.movedTable, "Customer");  // the other scroll bar follows
    }
    EXPECT_TRUE(view.errors.empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ScrollLogicTest, PageMovesByRecordsOrByPercentage) {
    Insert(10);
    scroll.OnSourceReady();
    struct Step {
        int largeChange, code;
        const char* shown;
    } steps[] = {
        {1, kScrollPageDown, "2"},  {1, kScrollPageUp, "1"},  // like a line move
        {3, kScrollPageDown, "4"},  {3, kScrollPageDown, "7"}, {3, kScrollPageDown, "10"},
        {3, kScrollPageDown, "10"},  // at the end
        {3, kScrollPageUp, "7"},    {3, kScrollPageUp, "4"},   {3, kScrollPageUp, "1"},
        {3, kScrollPageUp, "1"},
    };
    for (const Step& step : steps) {
        scroll.largeChange = step.largeChange;
        scroll.OnScroll(step.code, 0);
        EXPECT_EQ(code.value, step.shown) << step.largeChange << " " << step.code;
    }
    EXPECT_TRUE(view.errors.empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ScrollLogicTest, ThumbMoveShowsTheRecordAtThatRankAndFiresScrollOnly) {
    Insert(10);
    scroll.OnSourceReady();
    other.movedTable.clear();
    scroll.OnScroll(kScrollThumbPosition, 5000);
    EXPECT_EQ(code.value, "5");
    EXPECT_EQ(view.thumb, 5000);
    EXPECT_EQ(scroll.value, 5000);
    EXPECT_EQ(view.scrolls, 1);
    EXPECT_EQ(view.changes, 0);
    EXPECT_EQ(other.movedTable, "");
    scroll.OnScroll(kScrollThumbTrack, 9000);  // tracking moves nothing
    EXPECT_EQ(code.value, "5");
}

TEST_F(ScrollLogicTest, FailuresAreReported) {
    Insert(3);
    scroll.OnSourceReady();
    ASSERT_EQ(CloseTable(*customer), 0);

    scroll.OnScroll(kScrollLineDown, 0);  // the handler leaves the status: the box shows it
    EXPECT_EQ(view.errors, std::vector<std::string>{"Customer:-3"});
    EXPECT_EQ(view.shown, std::vector<std::string>{StatusText(rc::kNotOpen)});
    view.clearStatus = true;
    scroll.OnScroll(kScrollLineDown, 0);
    EXPECT_EQ(view.shown.size(), 1u);

    scroll.OnScroll(kScrollThumbPosition, 5000);
    scroll.dbTable = u"Nowhere";
    scroll.OnScroll(kScrollTop, 0);
    scroll.Refresh();
    const std::string badNames = "VE802 DbSourceまたはDbTableﾌﾟﾛﾊﾟﾃｨが不正です。";
    EXPECT_EQ(Messages(), (std::vector<std::string>{"VE817 ｹﾞｯﾄﾊﾟｰｾﾝﾃｰｼﾞｵﾍﾟﾚｰｼｮﾝが失敗(-3)",
                                                    badNames, badNames}));
    EXPECT_EQ(view.changes, 0);
}

TEST_F(ScrollLogicTest, FollowsMovesOfItsTableAlongItsKey) {
    Insert(3);
    scroll.autoFirst = false;
    scroll.OnSourceReady();
    ASSERT_EQ(DbAccessByID(*customer, 13, 0), 0);  // a button went to the last record
    scroll.OnSourceMoved("Orders", 0);
    scroll.OnSourceMoved("Customer", 1);
    EXPECT_EQ(view.thumb, -1);
    scroll.OnSourceMoved("Customer", 0);
    EXPECT_EQ(view.thumb, 10000);
    EXPECT_EQ(scroll.value, 10000);

    scroll.autoFirst = true;  // Refresh goes back to the first record
    scroll.Refresh();
    EXPECT_EQ(code.value, "1");
    EXPECT_EQ(scroll.value, 3333);
}
