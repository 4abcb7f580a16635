// The command button's operation flow on a real table of the sample dictionary, with fake bound
// controls and a fake view playing the button's message box and events.
#include <gtest/gtest.h>

#include <functional>

#include "binding/tests/FakeControls.h"
#include "controls/ButtonLogic.h"
#include "controls/tests/FakeControlHost.h"
#include "controls/tests/LockHolder.h"
#include "core/DictionaryLoader.h"
#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "engine/tests/Workers.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

constexpr WindowHandle kForm = kTestForm;

class FakeButton : public ButtonView {
  public:
    bool Confirm(const std::string& question) override {
        questions.push_back(question);
        return answerOk;
    }
    void RaiseSetData() override {
        ++setData;
        if (onSetData) onSetData();
    }
    int RaiseBtrieveError(const std::string& table, int status) override {
        errors.push_back(table + ":" + std::to_string(status));
        return clearStatus ? 0 : status;
    }
    bool answerOk = true;
    bool clearStatus = false;
    int setData = 0;
    std::vector<std::string> questions, errors;
    std::function<void()> onSetData;
};

class ButtonLogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteSampleDictionary(directory.Path());
        ASSERT_EQ(LoadDictionaryFull(directory.Path(), context), 0);
        for (TableDef& table : context->tables) {
            ASSERT_EQ(OpenTableCreatingFile(*context, table, "", 0), 0);
        }
        source.context = context.get();
        registry.RegisterDataSource(source);
        code.field = u"Code";
        name.field = u"Name";
        kind.field = u"Kind";
        for (FakeControl* control : {&code, &name, &kind}) {
            control->source = u"Data1";
            control->table = u"Customer";
            ASSERT_EQ(registry.RegisterFieldControl(*control), 0);
        }
        scroll.source = u"Data1";
        registry.RegisterScrollControl(scroll);
        button.dbSource = u"Data1";
        button.dbTable = u"Customer";
    }
    void TearDown() override { CloseAllTables(*context); }

    void Type(const std::string& codeText, const std::string& nameText,
              const std::string& kindText) {
        code.value = codeText;
        name.value = nameText;
        kind.value = kindText;
    }
    std::uint32_t Records() {
        std::uint32_t count = 0;
        DbGetNumOfRecords(*context->TableByName("Customer"), count);
        return count;
    }
    std::vector<std::string> Messages() { return platform.MessagesUtf8(); }

    TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope{platform};
    std::unique_ptr<FormContext> context;
    BindingRegistry registry{[](WindowHandle) -> WindowHandle { return 0; }};
    FakeDataSource source{u"Data1", kForm, "Form1"};
    FakeControl code{ControlKind::Edit, u"Code1", kForm};
    FakeControl name{ControlKind::Edit, u"Name1", kForm};
    FakeControl kind{ControlKind::Edit, u"Kind1", kForm};
    FakeControl scroll{ControlKind::ScrollBar, u"HScroll1", kForm};
    FakeControlHost host{u"Button1"};
    FakeButton view;
    ButtonLogic button{host, registry, view};
};

}  // namespace

TEST_F(ButtonLogicTest, KeyPositionOfDbIndex) {
    const TableDef& customer = *context->TableByName("Customer");
    struct Case {
        const char* name;
        int position;
    } cases[] = {{"", 0}, {"ByKind", 1}, {"Code", 0}, {"Kind", 1}, {"Name", 0}, {"Nope", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(ButtonKeyPosition(customer, c.name), c.position) << c.name;
}

TEST_F(ButtonLogicTest, InsertTakesTheControlsAndClearsThemOnSuccessOnly) {
    Type("7", "Gus", "G");
    button.operation = kDbInsert;
    EXPECT_EQ(button.Run(), 0);
    EXPECT_EQ(Records(), 1u);
    EXPECT_EQ(view.setData, 1);
    EXPECT_EQ(name.value, "");                 // cleared
    EXPECT_EQ(scroll.movedTable, "Customer");  // the scroll bars follow

    Type("7", "Gus", "G");  // the same code again: status 5, reported, nothing cleared
    EXPECT_EQ(button.Run(), 5);
    EXPECT_EQ(view.errors, std::vector<std::string>{"Customer:5"});
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "VE807 ボタンによるBtrieveオペレーションに失敗しました。(5)"});
    EXPECT_EQ(name.value, "Gus");

    view.clearStatus = true;  // a handler that clears the status: no message
    EXPECT_EQ(button.Run(), 5);
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(ButtonLogicTest, CancelAbortAndUnknownOperationsCallNothing) {
    Type("8", "", "");
    button.confirmMsg = "登録しますか";
    view.answerOk = false;
    EXPECT_EQ(button.Run(), 0);
    EXPECT_EQ(view.questions, std::vector<std::string>{"登録しますか"});
    EXPECT_EQ(view.setData, 0);

    view.answerOk = true;
    view.onSetData = [&] { button.abort = true; };
    EXPECT_EQ(button.Run(), rc::kAborted);
    EXPECT_TRUE(view.errors.empty());
    EXPECT_EQ(code.value, "8");  // not cleared
    EXPECT_EQ(Records(), 0u);

    button.confirmMsg.clear();
    button.operation = 18;
    EXPECT_EQ(button.Run(), 0);
    button.dbTable = u"Nope";
    EXPECT_EQ(button.Run(), 0);
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"VE801 ボタンのDbOperationプロパティが不正です。",
                                        "VE802 DbSourceまたはDbTableﾌﾟﾛﾊﾟﾃｨが不正です。"}));
}

// Keyed reads take the key from the controls (but Get Next and Get Previous), show the record,
// and open the table first when it is closed.
TEST_F(ButtonLogicTest, ReadsTakeTheKeyFromTheControlsAndShowTheRecord) {
    TableDef& customer = *context->TableByName("Customer");
    for (int id : {1, 2, 3}) {
        DbClearFieldBuffer(customer);
        DbSetFieldData(customer, "Code", std::to_string(id));
        DbSetFieldData(customer, "Name", "N" + std::to_string(id));
        ASSERT_EQ(DbAccessByID(customer, 2, 0), 0);
    }
    ASSERT_EQ(CloseTable(customer), 0);
    button.dbIndex = u"Code";
    button.operation = kDbGetEqual;
    Type("2", "", "");
    EXPECT_EQ(button.Run(), 0);
    EXPECT_TRUE(customer.open);
    EXPECT_EQ(name.value, "N2");
    button.operation = kDbGetNext;
    Type("9", "", "");  // ignored: the read goes on from the record shown
    EXPECT_EQ(button.Run(), 0);
    EXPECT_EQ(code.value, "3");
    EXPECT_EQ(button.Run(), 9);  // end of file
    EXPECT_EQ(view.setData, 3);
    button.operation = kDbStepFirst;
    EXPECT_EQ(button.Run(), 0);
    EXPECT_EQ(view.setData, 3);  // steps raise no SetData
}

// An update of a record another process holds locked is reported through BtrieveError with the
// record manager's status, and the record keeps what it had; once let go, the update goes in.
TEST_F(ButtonLogicTest, ARecordLockedElsewhereIsReportedAndKept) {
    TableDef& customer = *context->TableByName("Customer");
    DbClearFieldBuffer(customer);
    DbSetFieldData(customer, "Code", "1");
    DbSetFieldData(customer, "Joined", "2001/02/03");
    ASSERT_EQ(DbAccessByID(customer, 2, 0), 0);
    FakeControl joined{ControlKind::Edit, u"Joined1", kForm};
    joined.field = u"Joined";
    joined.table = u"Customer";
    ASSERT_EQ(registry.RegisterFieldControl(joined), 0);
    engine::testing::ChildProcess holder(kHoldFirstCustomer, {directory.Path()});
    ASSERT_TRUE(engine::testing::WaitForFile(directory.Path() + "/holding"));

    auto updateJoined = [&] {
        button.operation = kDbGetFirst;
        EXPECT_EQ(button.Run(), 0);  // reading without a lock is allowed
        joined.value = "2009/09/09";
        button.operation = kDbUpdate;
        return button.Run();
    };
    const int status = updateJoined();
    EXPECT_EQ(status, 84);  // the record is in use
    EXPECT_EQ(view.errors, std::vector<std::string>{"Customer:84"});
    EXPECT_EQ(joined.value, "2009/09/09");  // not cleared: nothing typed is lost
    ASSERT_EQ(DbAccessByID(customer, 12, 0), 0);
    EXPECT_EQ(DbGetFieldData(customer, "Joined"), "2001/02/03");

    engine::testing::Touch(directory.Path() + "/done");
    EXPECT_EQ(holder.Wait(), 0);
    EXPECT_EQ(updateJoined(), 0);
    ASSERT_EQ(DbAccessByID(customer, 12, 0), 0);
    EXPECT_EQ(DbGetFieldData(customer, "Joined"), "2009/09/09");
    registry.UnregisterFieldControl(joined);
}
