// The grid's fill on a real table of the sample dictionary, with a fake view playing the events
// and the host's format service, and the record manager's calls recorded.
#include <gtest/gtest.h>

#include "core/recordmanager/RecordManager.h"
#include "core/tests/RecordingRecordManager.h"
#include "extended/ResultSets.h"
#include "grid/tests/GridFixture.h"
#include "values/PendingLine.h"

using namespace zelmor;
using namespace zelmor::testing;

TEST_F(GridLogicTest, RecordsBecomeRowsWithTheHeaderAndTheirNumbers) {
    Insert(2, "Ben", "B");
    Insert(1, "Ann", "A");
    grid.conditions = "@Kind = A";
    Insert(3, "Cy", "A");
    ASSERT_TRUE(grid.Fill());
    EXPECT_EQ(Row(0), (std::vector<std::string>{"", "Code", "Name", "Kind"}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"   1", "1", "Ann", "A"}));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"   2", "3", "Cy", "A"}));
    EXPECT_EQ(grid.model.Rows(), 3);  // grown from 2 for the second record
    EXPECT_TRUE(view.errors.empty());
}

TEST_F(GridLogicTest, AnEmptyTableReportsNineAndKeepsTheCells) {
    grid.model.SetCell(1, 1, "kept");
    EXPECT_FALSE(grid.Fill());
    EXPECT_EQ(view.errors, std::vector<std::string>{"Customer:9"});
    EXPECT_EQ(grid.model.Cell(1, 1), "kept");
}

TEST_F(GridLogicTest, MoreRecordsThanTheCapacityStopWithoutAnotherCall) {
    for (int code = 1; code <= 12; ++code) Insert(code, "N" + std::to_string(code), "A");
    grid.maxRecords = 2;  // six blocks would be needed for every record
    RecordingRecordManager recorder;
    ASSERT_TRUE(grid.Fill());
    EXPECT_EQ(grid.model.Rows(), 6);  // the capacity
    EXPECT_EQ(Row(5)[1], "5");
    // Five rows take three blocks of two; the third filled the grid and no fourth was asked.
    EXPECT_EQ(recorder.CallsOf(op::kGetNextExtended).size(), 3u);
    EXPECT_EQ(Row(5)[0], "   5");
}

TEST_F(GridLogicTest, AbortAtTheFirstRecordStillWritesTheHeaderAndNumbers) {
    Insert(1, "Ann", "A");
    grid.model.SetCell(1, 2, "old");
    view.onFormat = [&](std::string&) { grid.abort = true; };
    ASSERT_TRUE(grid.Fill());
    EXPECT_EQ(Row(1), (std::vector<std::string>{"   1", "", "", ""}));
    EXPECT_EQ(Row(0)[1], "Code");
}

TEST_F(GridLogicTest, FormatHandlersAndColumnFormatsShapeTheRows) {
    Insert(1, "Ann", "A");
    Insert(2, "Ben", "B");
    ASSERT_EQ(grid.model.SetFormatString(2, "F"), GridResult::Ok);
    view.onFormat = [](std::string& line) {
        if (line == "2\tBen\tB") ExtendedFillPendingLine().Set("9\tZed");
        if (line == "1\tAnn\tA") line = "1\t\tA";  // an empty piece leaves its cell empty
    };
    ASSERT_TRUE(grid.Fill());
    EXPECT_EQ(Row(1), (std::vector<std::string>{"   1", "1", "", "A"}));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"   2", "9", "F(Zed)", ""}));
}

TEST_F(GridLogicTest, EveryBlockIsKeptWithThePositionsForEditing) {
    for (int code = 1; code <= 5; ++code) Insert(code, "N" + std::to_string(code), "A");
    grid.maxRecords = 2;
    grid.leaveResults = true;
    grid.allowUpdate = true;
    ASSERT_TRUE(grid.Fill());
    EXPECT_EQ(ResultSetRecordCount(grid.resultId), 5);  // the last block, with status 9, too
    EXPECT_EQ(DbExGetFieldData(grid.resultId, "Name", 4), "N5");
    EXPECT_EQ(grid.model.Positions().size(), 5u);
    std::int16_t length = 0;
    EXPECT_EQ(grid.model.CellMaxLength(2, length), GridResult::Ok);
    EXPECT_EQ(length, 30);  // Name's size
}
