#include <gtest/gtest.h>

#include "core/DbManager.h"
#include "core/tests/OpenSampleTables.h"
#include "core/tests/RecordingRecordManager.h"
#include "extended/ResultSets.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

class ResultSetsTest : public OpenSampleTables {
protected:
    void SetUp() override {
        OpenSampleTables::SetUp();
        FreeAllResultSets();
        for (int code = 1; code <= 10; ++code) {
            InsertCustomer(code, "Name" + std::to_string(code), code % 2 == 0 ? "E" : "O");
        }
        ASSERT_EQ(DbAccess(Customer(), 12, "Code"), 0);  // on the first record
    }
    void TearDown() override {
        FreeAllResultSets();
        TheDbManager().SetExtendedMode("UC");
        OpenSampleTables::TearDown();
    }
    int Access(const std::string& condition, const std::string& fields, int max, int& id,
               int& count, int operation = 36) {
        return DbExAccess(Customer(), operation, condition, fields, 0, 0, max, false, id, count);
    }
};

}  // namespace

TEST_F(ResultSetsTest, FetchesTheRecordsThatQualifyAlongTheKey) {
    int id = -1, count = -1;
    ASSERT_EQ(Access("@Kind = E", "Code,Name", 3, id, count), 0);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(DbExGetFieldData(id, "Code", 0), "2");
    EXPECT_EQ(DbExGetFieldData(id, "Name", 2), "Name6");
    EXPECT_EQ(DbExGetFieldDataByID(id, 0, 1), "4");
    EXPECT_GE(DbExGetPosition(id, 2), 0);
    EXPECT_EQ(DbExGetPosition(id, 3), -1);  // past the record count
    EXPECT_EQ(DbExGetFieldData(id, "Code", 3), "");
    EXPECT_EQ(DbExGetFieldData(id, "Kind", 0), "");     // not in the field list
    EXPECT_EQ(DbExGetFieldData(id, "Missing", 0), "");  // not in the table
}

TEST_F(ResultSetsTest, EmptyConditionTakesEveryRecordUpToTheMaximum) {
    int id = -1, count = -1;
    ASSERT_EQ(Access("", "Code", 4, id, count), 0);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(DbExGetFieldData(id, "Code", 0), "1");  // "UC": the current record first
    // The scan left the currency on the last record examined (4): "UC" starts there again.
    int next = -1;
    ASSERT_EQ(Access("", "Code", 20, next, count), 9);  // end of file, still kept
    EXPECT_EQ(next, 1);
    EXPECT_EQ(count, 7);
    EXPECT_EQ(DbExGetFieldData(next, "Code", 0), "4");
}

TEST_F(ResultSetsTest, AFieldListedTwiceReadsItsFirstPlace) {
    int id = -1, count = -1;
    ASSERT_EQ(Access("@Code = 3", "Name,Code,Name", 1, id, count), 0);  // the one record wanted
    ASSERT_EQ(count, 1);
    EXPECT_EQ(DbExGetFieldData(id, "Name", 0), "Name3");
    EXPECT_EQ(DbExGetFieldData(id, "Code", 0), "3");
}

TEST_F(ResultSetsTest, RefusedOperationsAndRequests) {
    int id = 77, count = 77;
    EXPECT_EQ(Access("", "Code", 1, id, count, 1), exrc::kOperationRefused);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.MessagesUtf8()[0],
              "VE044 このオペレーション・コード 1 は使用可能ではありません");
    EXPECT_EQ(Access("Code = 1", "Code", 1, id, count), exrc::kConditionRefused);
    EXPECT_EQ(Access("", "Nope", 1, id, count), exrc::kFieldListRefused);
    EXPECT_EQ(DbExAccess(Customer(), 36, "", "Code", 7, 0, 1, false, id, count), rc::kNoSuchKey);
    EXPECT_EQ(id, 77);
    EXPECT_EQ(count, 77);
    EXPECT_EQ(Access("", "Code", 1, id, count, 136), 0);  // Get Next Extended with a lock bias
}

TEST_F(ResultSetsTest, FortyEightSlotsThenNoMore) {
    int id = -1, count = -1;
    for (int i = 0; i < kResultSetCount; ++i) {
        ASSERT_EQ(Access("", "Code", 1, id, count), 0);
        EXPECT_EQ(id, i);
    }
    id = count = -5;
    EXPECT_EQ(Access("", "Code", 2, id, count), 0);  // the status, but nothing kept
    EXPECT_EQ(id, -5);
    EXPECT_EQ(count, -5);
    EXPECT_EQ(DbExFree(17), 0);
    EXPECT_EQ(DbExFree(17), -1);
    EXPECT_EQ(DbExFree(48), -1);
    EXPECT_EQ(DbExFree(-1), -1);
    ASSERT_EQ(Access("", "Code", 2, id, count), 0);
    EXPECT_EQ(id, 17);  // the first free slot
    EXPECT_EQ(count, 2);
}

TEST_F(ResultSetsTest, ModeTravelsInLaterRequests) {
    EXPECT_EQ(DbExSetMode("E"), -1);
    EXPECT_EQ(DbExSetMode("EGG"), -1);
    EXPECT_STREQ(TheDbManager().ExtendedMode(), "UC");
    EXPECT_EQ(DbExSetMode("EG"), 0);
    RecordingRecordManager recorder;
    int id = -1, count = -1;
    ASSERT_EQ(Access("", "Code", 1, id, count), 0);
    ASSERT_GE(recorder.Last().data.size(), 4u);
    EXPECT_EQ(recorder.Last().data[2], 'E');
    EXPECT_EQ(recorder.Last().data[3], 'G');
    EXPECT_EQ(DbExGetFieldData(id, "Code", 0), "2");  // "EG" starts after the current record
}

TEST_F(ResultSetsTest, KeptResultsOutliveTheTable) {
    int id = -1, count = -1;
    ASSERT_EQ(Access("@Code >= 9", "Code,Name", 5, id, count), 9);
    CloseAllTables(*context);
    context.reset();  // the data control released its dictionary
    EXPECT_EQ(DbExGetFieldData(id, "Name", 1), "Name10");
    context = std::make_unique<FormContext>();  // for TearDown
}
