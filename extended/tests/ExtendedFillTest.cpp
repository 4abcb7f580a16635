#include <gtest/gtest.h>

#include "core/tests/OpenSampleTables.h"
#include "extended/ExtendedFill.h"
#include "extended/ResultSets.h"
#include "values/PendingLine.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

// A list that records its lines and lets a test play the Format handler.
class FakeList : public ExtendedFillTarget {
public:
    void ClearLines() override {
        lines.clear();
        ++clears;
    }
    bool RaiseFormat(std::string& line) override {
        ++formats;
        if (onFormat) return onFormat(line);
        return false;
    }
    bool AddLine(const std::string& line, std::uint32_t itemData) override {
        if (capacity >= 0 && static_cast<int>(lines.size()) >= capacity) return false;
        lines.push_back(line);
        items.push_back(itemData);
        return true;
    }
    void RaiseBtrieveError(int status) override { errors.push_back(status); }

    std::vector<std::string> lines;
    std::vector<std::uint32_t> items;
    std::vector<int> errors;
    std::function<bool(std::string&)> onFormat;
    int clears = 0, formats = 0, capacity = -1;
};

class ExtendedFillTest : public OpenSampleTables {
protected:
    void SetUp() override {
        OpenSampleTables::SetUp();
        FreeAllResultSets();
        for (int code = 1; code <= 7; ++code) {
            InsertCustomer(code, "N" + std::to_string(code), code <= 4 ? "A" : "B");
        }
        request.fields = "Code,Name";
        request.maxRecords = 2;
    }
    void TearDown() override {
        FreeAllResultSets();
        OpenSampleTables::TearDown();
    }
    int Run() { return RunExtendedFill(Customer(), 0, request, list, resultId); }

    ExtendedFillRequest request;
    FakeList list;
    int resultId = -1;
};

}  // namespace

TEST_F(ExtendedFillTest, OneLinePerRecordAcrossSeveralRequests) {
    request.separator = "\t";
    ASSERT_EQ(Run(), 0);
    ASSERT_EQ(list.lines.size(), 7u);
    EXPECT_EQ(list.lines[0], "1\tN1");
    EXPECT_EQ(list.lines[6], "7\tN7");
    EXPECT_EQ(list.clears, 1);
    EXPECT_TRUE(list.errors.empty());
    EXPECT_EQ(list.items[3], 0u);  // no positions kept
}

TEST_F(ExtendedFillTest, ScansBackwardsAndKeepsPositions) {
    request.operation = kOpGetPrevEx;
    request.conditions = "@Kind = A";
    request.savePosition = true;
    ASSERT_EQ(Run(), 0);
    ASSERT_EQ(list.lines.size(), 4u);
    EXPECT_EQ(list.lines[0], "4 N4");
    EXPECT_NE(list.items[0], list.items[1]);
}

// An emptied line stays an item: every record of an extended list has its line.
TEST_F(ExtendedFillTest, FormatHandlersReplaceEmptyOrAbort) {
    list.onFormat = [&](std::string& line) {
        if (line.rfind("2 ", 0) == 0) line.clear();                   // emptied
        if (line.rfind("3 ", 0) == 0) ExtendedFillPendingLine().Set("three");  // replaced
        return line.rfind("6 ", 0) == 0;                              // abort at 6
    };
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(list.lines, (std::vector<std::string>{"1 N1", "", "three", "4 N4", "5 N5"}));
    EXPECT_EQ(list.formats, 6);
}

TEST_F(ExtendedFillTest, RejectCountEndsTheListPassWithTheErrorEvent) {
    request.conditions = "@Code = 7";
    request.skipRecords = 3;  // three rejected records end a request
    ASSERT_EQ(Run(), 0);
    EXPECT_TRUE(list.lines.empty());
    EXPECT_EQ(list.errors, std::vector<int>{60});
}

TEST_F(ExtendedFillTest, GridRowsGoOnAfterRejectsAndStopWhenFull) {
    request.conditions = "@Code >= 6";
    request.skipRecords = 3;
    request.gridRows = true;
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(list.lines.size(), 2u);
    EXPECT_TRUE(list.errors.empty());
    request.conditions = "";
    list.capacity = 3;
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(list.lines.size(), 3u);
}

TEST_F(ExtendedFillTest, KeptRepliesAccumulateInOneResultSet) {
    request.leaveResults = true;
    ASSERT_EQ(Run(), 0);
    ASSERT_GE(resultId, 0);
    // Every reply is kept, the last one (end of file) too: the set holds every line's record.
    EXPECT_EQ(ResultSetRecordCount(resultId), static_cast<int>(list.lines.size()));
    EXPECT_EQ(DbExGetFieldData(resultId, "Name", 5), "N6");
}

TEST_F(ExtendedFillTest, TheTablesPositionIsRestored) {
    DbClearFieldBuffer(Customer());
    DbSetFieldData(Customer(), "Code", "3");
    ASSERT_EQ(DbAccess(Customer(), 5, "Code"), 0);
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(DbGetFieldData(Customer(), "Code"), "3");
    ASSERT_EQ(DbAccess(Customer(), 6, "Code"), 0);
    EXPECT_EQ(DbGetFieldData(Customer(), "Code"), "4");
}

TEST_F(ExtendedFillTest, RecordsWithABlankFieldKeepTheirLines) {
    InsertCustomer(8, "", "A");
    request.fields = "Name";
    request.savePosition = true;
    ASSERT_EQ(Run(), 0);
    ASSERT_EQ(list.lines.size(), 8u);
    EXPECT_EQ(list.lines[7], "");
    EXPECT_NE(list.items[7], 0u);
}

// A request for no records (or for a count the 16-bit number cannot say) would be answered
// with nothing and the same position for ever: the pass asks for at least one.
TEST_F(ExtendedFillTest, EveryRecordCountEndsThePass) {
    for (int count : {0, -5, 65536, 70000}) {
        request.maxRecords = count;
        ASSERT_EQ(Run(), 0) << count;
        EXPECT_EQ(list.lines.size(), 7u) << count;
    }
}

// The list ends at the first name not followed by a comma; what follows is never read as
// another field, neither in the lines nor in the kept results.
TEST_F(ExtendedFillTest, FieldListsEndWhereTheParserEndsThem) {
    request.fields = "Kind Name";
    request.leaveResults = true;
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(list.lines[0], "A");
    EXPECT_EQ(DbExGetFieldData(resultId, "Name", 0), "");
    EXPECT_EQ(DbExGetFieldData(resultId, "Kind", 0), "A");
    DbExFree(resultId);
    request.fields = "Code,Name x";
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(list.lines[0], "1 N1");
    EXPECT_EQ(DbExGetFieldData(resultId, "Name", 1), "N2");
    EXPECT_TRUE(platform.Messages().empty());
}

// A Format handler may close the table, or free the whole dictionary: the pass ends with the
// lines it has and touches nothing that is gone (AddressSanitizer would report it).
TEST_F(ExtendedFillTest, AHandlerThatClosesTheTableOrDropsTheDictionaryEndsThePass) {
    list.onFormat = [&](std::string& line) {
        if (line.rfind("2 ", 0) == 0) CloseTable(Customer());
        return false;
    };
    ASSERT_EQ(Run(), 0);
    EXPECT_EQ(list.lines, std::vector<std::string>{"1 N1"});

    ASSERT_EQ(OpenTable(*context, Customer(), "", kOpenNormal), 0);
    list.onFormat = [&](std::string& line) {
        if (line.rfind("3 ", 0) == 0) {
            CloseAllTables(*context);
            context.reset();
        }
        return false;
    };
    TableDef& customer = Customer();
    EXPECT_EQ(RunExtendedFill(customer, 0, request, list, resultId), 0);
    EXPECT_EQ(list.lines.size(), 2u);
    ASSERT_EQ(LoadDictionaryFull(directory.Path(), context), 0);  // for the fixture's teardown
}
