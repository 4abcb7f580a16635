#include <gtest/gtest.h>

#include "binding/BindingRegistry.h"
#include "binding/tests/FakeControls.h"
#include "core/DbManager.h"
#include "core/TableFiles.h"
#include "core/tests/RecordingRecordManager.h"
#include "core/tests/SampleDictionary.h"
#include "core/tests/TestDirectory.h"
#include "datacontrol/DataControl.h"
#include "datacontrol/tests/FakeHost.h"
#include "platform/CodePage.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

WindowHandle NoParents(WindowHandle) { return 0; }

class DataControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteSampleDictionary(directory.Path());
        control.ddfDir = directory.Path();
    }
    std::vector<std::string> Messages() { return platform.MessagesUtf8(); }

    TestDirectory directory;
    platform::RecordingPlatform platform;
    platform::ScopedPlatform platformScope{platform};
    BindingRegistry registry{NoParents};
    FakeHost host;
    DataControl control{host, registry};
};

}  // namespace

TEST_F(DataControlTest, NewControlDefaults) {
    EXPECT_TRUE(control.allOpen);
    EXPECT_TRUE(control.cacheDdf);
    EXPECT_EQ(control.openMode, kOpenNormal);
    EXPECT_EQ(control.Context(), nullptr);
    std::int32_t count = 0;
    EXPECT_EQ(control.DbGetNumOfTable(count), rc::kNoDictionary);
    EXPECT_EQ(control.DbOpen("Customer"), rc::kNoDictionary);
    EXPECT_FALSE(control.DbIsOpen("Customer"));
    EXPECT_EQ(control.DbGetFieldData("Customer", "Code"), "");
}

TEST_F(DataControlTest, SitingLoadsOpensAndCreatesTheTables) {
    control.Initialize();
    ASSERT_TRUE(control.Initialized());
    ASSERT_NE(control.Context(), nullptr);
    EXPECT_EQ(registry.DataSourceCount(), 1u);
    for (const char* table : {"Customer", "Orders", "Memo", "Pictures"}) {
        EXPECT_TRUE(control.DbIsOpen(table)) << table;
    }
    EXPECT_TRUE(platform.FileExists(directory.File("CUSTOMER.btr")));
    EXPECT_TRUE(Messages().empty());
    control.Shutdown();
    EXPECT_EQ(registry.DataSourceCount(), 0u);
    EXPECT_EQ(control.Context(), nullptr);
}

TEST_F(DataControlTest, SitingStopsWithoutWindowDirectoryOrName) {
    host.form = 0;
    control.Initialize();
    EXPECT_FALSE(control.Initialized());
    host.form = 100;
    control.ddfDir.clear();
    control.Initialize();
    EXPECT_FALSE(control.Initialized());
    control.ddfDir = directory.Path();
    host.name.clear();
    control.Initialize();
    EXPECT_FALSE(control.Initialized());
    EXPECT_EQ(Messages(), std::vector<std::string>{"VE814 コンテナからName,FormNameを取得できません。"});
    host.name = u"ZelBtr1";
    control.Initialize();  // a later siting completes it
    EXPECT_TRUE(control.Initialized());
}

TEST_F(DataControlTest, DistNameSectionOverridesTheDirectory) {
    platform.SetProfile("zelmor.ini", "[Sales]\nZelBtr1=" + directory.Path() + "\n");
    control.ddfDir = "C:\\nowhere";
    control.distName = "Sales";
    control.Initialize();
    EXPECT_EQ(control.ddfDir, directory.Path());
    EXPECT_NE(control.Context(), nullptr);
}

TEST_F(DataControlTest, AMissingDictionaryIsReported) {
    control.ddfDir = directory.File("none");
    control.Initialize();
    EXPECT_EQ(control.Context(), nullptr);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind("VE028 DDFOpen APIエラー(", 0), 0u);
}

TEST_F(DataControlTest, SecondControlOfTheSameDirectoryCopiesTheDictionary) {
    control.Initialize();
    FakeHost otherHost;
    otherHost.form = 200;
    DataControl other(otherHost, registry);
    other.ddfDir = directory.Path();
    RecordingRecordManager recorder;
    other.Initialize();
    EXPECT_EQ(recorder.ddfOpens, 0);  // read once, by the first control
    ASSERT_NE(other.Context(), nullptr);
    EXPECT_NE(other.Context(), control.Context());
    // Each has its own open files.
    EXPECT_TRUE(other.DbIsOpen("Customer"));
    EXPECT_EQ(other.DbClose("Customer"), 0);
    EXPECT_TRUE(control.DbIsOpen("Customer"));
    other.Shutdown();
}

TEST_F(DataControlTest, BtrieveErrorHandlerDecidesAboutTheMessage) {
    control.allOpen = false;
    control.Initialize();
    control.DbSetFileName("Orders", "missing.dat");
    EXPECT_EQ(control.DbOpen("Orders"), 12);
    EXPECT_EQ(host.events, std::vector<std::string>{"Orders:12"});
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"VE803 Btrieveファイル Orders のオープンに失敗。(12)"});
    host.clearStatus = true;
    EXPECT_EQ(control.DbOpen("Orders"), 12);  // the method still gives the status
    EXPECT_EQ(Messages().size(), 1u);           // but no second box
}

TEST_F(DataControlTest, OpenAllAndCloseAll) {
    control.allOpen = false;
    control.Initialize();
    EXPECT_EQ(control.DbOpen("Customer"), 12);  // files not created yet
    platform.Clear();
    host.events.clear();
    for (const TableDef& table : control.Context()->tables) {
        ASSERT_EQ(control.DbCreate(table.name), 0);
    }
    EXPECT_EQ(control.DbOpenAll(), 0);
    EXPECT_EQ(control.DbOpen("Customer"), rc::kAlreadyOpen);
    EXPECT_EQ(control.DbOpenAll(), 0);  // all open: nothing to do, no event
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(control.DbCloseAll(), 0);
    EXPECT_FALSE(control.DbIsOpen("Memo"));
    EXPECT_EQ(control.DbClose("Memo"), rc::kNotOpen);
}

TEST_F(DataControlTest, OpenAllStopsAtTheFirstFailure) {
    control.allOpen = false;
    control.Initialize();
    ASSERT_EQ(control.DbCreate("Customer"), 0);
    host.clearStatus = true;
    EXPECT_EQ(control.DbOpenAll(), 12);  // Orders has no file
    EXPECT_TRUE(control.DbIsOpen("Customer"));
    EXPECT_FALSE(control.DbIsOpen("Memo"));
    EXPECT_EQ(host.events, std::vector<std::string>{"Orders:12"});
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DataControlTest, LoadDdfNeedsADirectoryAndKeepsTheContextOtherwise) {
    control.Initialize();
    FormContext* before = control.Context();
    control.ddfDir.clear();
    EXPECT_EQ(control.DbLoadDDF(), rc::kNoDirectory);
    EXPECT_EQ(control.Context(), before);
    control.ddfDir = directory.Path();
    EXPECT_EQ(control.DbLoadDDF(), 0);
    EXPECT_NE(control.Context(), nullptr);
    EXPECT_FALSE(control.DbIsOpen("Customer"));  // a fresh dictionary has every table closed
}

TEST_F(DataControlTest, NamesAndCountsByPosition) {
    control.Initialize();
    std::int32_t count = 0;
    ASSERT_EQ(control.DbGetNumOfTable(count), 0);
    EXPECT_EQ(count, 4);
    std::string name;
    EXPECT_EQ(control.DbGetTableName(4, name), rc::kNoSuchTable);
    ASSERT_EQ(control.DbGetTableName(3, name), 0);
    EXPECT_EQ(name, "Pictures");
    ASSERT_EQ(control.DbGetNumOfField("Customer", count), 0);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(control.DbGetFieldName("Customer", 5, name), rc::kFieldIdOutOfRange);
    ASSERT_EQ(control.DbGetFieldName("Customer", 1, name), 0);
    EXPECT_EQ(name, "Name");
    ASSERT_EQ(control.DbGetNumOfIndex("Customer", count), 0);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(control.DbGetIndexName("Customer", 2, name), 0);
    EXPECT_EQ(name, "Name");
    EXPECT_EQ(control.DbGetIndexName("Customer", 3, name), rc::kIndexIdOutOfRange);
    EXPECT_EQ(control.DbGetNumOfField("Nope", count), rc::kNoSuchTable);
    std::int32_t length = 0;
    ASSERT_EQ(control.DbGetRecordLength("Customer", length), 0);
    EXPECT_EQ(length, 51);
}

TEST_F(DataControlTest, RecordMethodsAndTheirChecks) {
    control.Initialize();
    ASSERT_EQ(control.DbClearFieldBuffer("Customer"), 0);
    ASSERT_EQ(control.DbSetFieldData("Customer", "Code", "12"), 0);
    ASSERT_EQ(control.DbSetFieldDataByID(0, 1, "Ann"), 0);
    ASSERT_EQ(control.DbAccess(2, "Customer", "Code"), 0);
    ASSERT_EQ(control.DbAccessByID(12, 0, 0), 0);
    EXPECT_EQ(control.DbGetFieldDataByID(0, 1), "Ann");
    std::int32_t records = 0;
    ASSERT_EQ(control.DbGetNumOfRecords("Customer", records), 0);
    EXPECT_EQ(records, 1);
    EXPECT_EQ(control.DbAccessByID(12, 4, 0), rc::kTableIdOutOfRange);
    EXPECT_EQ(control.DbAccessByID(12, -1, 0), rc::kTableIdOutOfRange);
    EXPECT_EQ(control.DbSetFieldDataByID(9, 0, "x"), rc::kNoSuchTable);
    EXPECT_EQ(control.DbAccess(12, "Nope", "Code"), rc::kNoSuchTable);
    EXPECT_EQ(control.DbAccess(12, "Customer", ""), rc::kNoSuchKey);
    EXPECT_EQ(control.DbSetLockBias(150), rc::kLockBiasRefused);
    EXPECT_EQ(control.DbExSetMode("X"), -1);
    std::vector<std::uint8_t> block;
    ASSERT_EQ(control.DbGetPosBlock("Customer", block), 0);
    EXPECT_EQ(block.size(), 128u);
    ASSERT_EQ(control.DbClose("Customer"), 0);
    EXPECT_EQ(control.DbAccess(12, "Customer", "Code"), rc::kNotOpen);
    EXPECT_EQ(control.DbGetPosition("Customer"), -1);
    std::vector<std::uint8_t> image(10);
    EXPECT_EQ(control.DbGetRecordImage("Customer", image), rc::kNotOpen);
}

TEST_F(DataControlTest, DestroyedControlLeavesTheRegistry) {
    {
        FakeHost otherHost;
        DataControl temporary(otherHost, registry);
        temporary.ddfDir = directory.Path();
        temporary.Initialize();
        EXPECT_EQ(registry.DataSourceCount(), 1u);
    }
    EXPECT_EQ(registry.DataSourceCount(), 0u);
}

// A BtrieveError handler may reload the dictionary (or set DDFDir): the message that follows
// names the table from a copy, not from the dictionary it just freed.
TEST_F(DataControlTest, AHandlerThatReloadsTheDictionaryLeavesTheMessageWhole) {
    control.allOpen = false;
    control.Initialize();
    ASSERT_EQ(control.DbCreate("Customer"), 0);
    host.onError = [&] { control.DbLoadDDF(); };
    EXPECT_EQ(control.DbOpenAll(), 12);  // Orders has no file
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"VE803 Btrieveファイル Orders のオープンに失敗。(12)"});
    EXPECT_FALSE(control.DbIsOpen("Customer"));  // the reload closed what was open
}

// DDFDir set at run time before the control was sited: siting replaces that dictionary and
// closes its open tables first, so that no file stays open behind a freed position block.
TEST_F(DataControlTest, SitingAfterARunTimeDirectoryClosesTheTablesOpenedBefore) {
    RecordingRecordManager recorder;
    host.form = 0;  // not sited yet
    control.ApplyDictionaryDirectory();
    ASSERT_EQ(control.DbCreate("Customer"), 0);
    ASSERT_EQ(control.DbOpen("Customer"), 0);
    host.form = 100;
    control.allOpen = false;
    control.Initialize();
    ASSERT_TRUE(control.Initialized());
    EXPECT_EQ(recorder.CallsOf(op::kClose).size(), 1u);
    EXPECT_EQ(control.DbOpen("Customer"), 0);
}

TEST_F(DataControlTest, ExtendedFetchThroughTheControl) {
    control.Initialize();
    for (int code = 1; code <= 4; ++code) {
        control.DbClearFieldBuffer("Customer");
        control.DbSetFieldData("Customer", "Code", std::to_string(code));
        control.DbSetFieldData("Customer", "Kind", code % 2 ? "A" : "B");
        ASSERT_EQ(control.DbAccess(2, "Customer", "Code"), 0);
    }
    ASSERT_EQ(control.DbAccess(12, "Customer", "Code"), 0);
    int id = -1, count = -1;
    EXPECT_EQ(control.DbExAccess(36, "Customer", "@Kind = B", "Code", "Code", 0, 10, false, id,
                                 count),
              9);
    ASSERT_GE(id, 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(control.DbExGetFieldData(id, "Code", 1), "4");
    EXPECT_EQ(control.DbExGetFieldData(id, "Kind", 1), "");  // not listed
    std::int32_t position = control.DbExGetPosition(id, 0);
    ASSERT_EQ(control.DbGetDirect("Customer", position, ""), 0);
    EXPECT_EQ(control.DbGetFieldData("Customer", "Code"), "2");
    EXPECT_EQ(control.DbExAccess(36, "Customer", "", "Code", "Nope", 0, 10, false, id, count),
              rc::kNoSuchKey);
    EXPECT_EQ(control.DbExAccess(36, "Nope", "", "Code", "Code", 0, 10, false, id, count),
              rc::kNoSuchTable);
    control.DbExFree(id);
    EXPECT_EQ(control.DbExGetPosition(id, 0), -1);
    EXPECT_EQ(control.DbExGetFieldData(id, "Code", 0), "");
}
