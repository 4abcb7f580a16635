// The grid's editing on a real table: a committed cell, a row written back to its record and a
// selected row's record deleted, with their events in order and their failures reported.
#include <gtest/gtest.h>

#include "controls/tests/LockHolder.h"
#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "core/recordmanager/RecordManager.h"
#include "engine/tests/Workers.h"
#include "grid/tests/GridFixture.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

class GridEditingTest : public GridLogicTest {
  protected:
    void SetUp() override {
        GridLogicTest::SetUp();
        grid.allowUpdate = true;
        grid.allowDelete = true;
        // Name and Kind are in keys that may not change: the grid edits Note.
        grid.dbListFields = "Code,Note,Kind";
        for (const auto& [code, note] : {std::pair{1, "Ann"}, {2, "Ben"}, {3, "Cy"}}) {
            DbClearFieldBuffer(*form.customer);
            DbSetFieldData(*form.customer, "Code", std::to_string(code));
            DbSetFieldData(*form.customer, "Note", note);
            ASSERT_EQ(DbAccessByID(*form.customer, op::kInsert, 0), 0);
        }
        ASSERT_TRUE(grid.Fill());
        view.events.clear();
    }
    // The note stored for a code, or "" when there is no such record.
    std::string NoteOf(int code) {
        DbSetFieldData(*form.customer, "Code", std::to_string(code));
        if (DbAccessByID(*form.customer, op::kGetEqual, 0) != 0) return "";
        return DbGetFieldData(*form.customer, "Note");
    }
    void Edit(std::int32_t row, std::int32_t col, const std::string& text) {
        grid.CommitEdit(text, grid.model.Cell(row, col), {row, col, 0, 0, 0, 0, kFillCell});
    }
};

}  // namespace

TEST_F(GridEditingTest, AnEditedRowGoesBackToItsRecord) {
    Edit(2, 2, "Benji");
    EXPECT_TRUE(grid.rowDirty);
    EXPECT_EQ(grid.model.Cell(2, 2), "Benji");
    grid.WriteBackRow(2);
    EXPECT_EQ(view.events, (std::vector<std::string>{"BeforeColUpdate Benji", "AfterColUpdate",
                                                      "BeforeUpdate", "AfterUpdate"}));
    EXPECT_FALSE(grid.rowDirty);
    EXPECT_EQ(NoteOf(2), "Benji");
    EXPECT_EQ(NoteOf(1), "Ann");
}

TEST_F(GridEditingTest, CancelledOrUnchangedEditsLeaveTheCellAndTheFlag) {
    Edit(1, 2, "Ann");  // the same text: no event
    view.cancel = true;
    Edit(1, 2, "Anna");
    EXPECT_EQ(view.events, std::vector<std::string>{"BeforeColUpdate Anna"});
    EXPECT_EQ(grid.model.Cell(1, 2), "Ann");
    EXPECT_FALSE(grid.rowDirty);
}

TEST_F(GridEditingTest, RowsThatCannotOrNeedNotBeWrittenStayAsTheyAre) {
    struct Case {
        const char* name;
        bool cancel;
        bool emptyRow;
        std::vector<std::string> events;
        bool stillDirty;
    } cases[] = {
        {"cancelled", true, false, {"BeforeUpdate"}, true},
        {"all cells empty", false, true, {"BeforeUpdate"}, true},
    };
    for (const Case& c : cases) {
        for (std::int32_t col = 1; col < 4; ++col) {
            grid.model.SetCell(1, col, c.emptyRow ? "" : "Changed");
        }
        grid.rowDirty = true;
        view.events.clear();
        view.cancel = c.cancel;
        grid.WriteBackRow(1);
        EXPECT_EQ(view.events, c.events) << c.name;
        EXPECT_EQ(grid.rowDirty, c.stillDirty) << c.name;
        EXPECT_EQ(NoteOf(1), "Ann") << c.name;
    }
}

TEST_F(GridEditingTest, AVanishedRecordIsReportedAndTheHandlerDecidesOnTheMessage) {
    DbSetFieldData(*form.customer, "Code", "2");
    ASSERT_EQ(DbAccessByID(*form.customer, op::kGetEqual, 0), 0);
    ASSERT_EQ(DbAccessByID(*form.customer, op::kDelete, 0), 0);  // behind the grid's back
    for (bool cleared : {true, false}) {
        Edit(2, 2, cleared ? "One" : "Two");
        view.clearStatus = cleared;
        grid.WriteBackRow(2);
        EXPECT_FALSE(grid.rowDirty);
        EXPECT_EQ(form.Messages().size(), cleared ? 0u : 1u);
    }
    ASSERT_EQ(form.Messages().size(), 1u);
    EXPECT_EQ(form.Messages()[0].rfind("VE820", 0), 0u) << form.Messages()[0];
    EXPECT_EQ(grid.model.Cell(2, 2), "Two");  // the cells keep the edited texts
}

TEST_F(GridEditingTest, ADeletedRowLeavesTheFileAndTheGrid) {
    std::int32_t selected = 2;
    grid.rowSelected = true;
    view.cancel = true;
    grid.DeleteSelectedRow(selected);
    EXPECT_EQ(NoteOf(2), "Ben");
    view.cancel = false;
    grid.DeleteSelectedRow(selected);
    EXPECT_EQ(view.events, (std::vector<std::string>{"BeforeDelete", "BeforeDelete",
                                                      "AfterDelete"}));
    EXPECT_EQ(NoteOf(2), "");
    EXPECT_EQ(grid.model.Cell(2, 2), "Cy");  // the later rows moved up
    EXPECT_EQ(grid.model.Cell(3, 2), "");
    EXPECT_EQ(grid.model.Cell(3, 0), "   3");  // the numbers stay
    EXPECT_EQ(grid.model.Positions().size(), 2u);
    EXPECT_FALSE(grid.rowSelected);
    EXPECT_EQ(selected, 2);
}

TEST_F(GridEditingTest, DeletingTheLastRowKeepsRowsAndMovesTheSelectionUp) {
    const std::int32_t rows = grid.model.Rows();
    std::int32_t selected = 3;
    grid.rowSelected = true;
    grid.DeleteSelectedRow(selected);
    EXPECT_EQ(NoteOf(3), "");
    EXPECT_EQ(grid.model.Rows(), rows);
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(DbGetFieldData(*form.customer, "Note"), "Ben");  // positioned on the new last row
    // Without a selected row nothing happens.
    grid.DeleteSelectedRow(selected);
    EXPECT_EQ(NoteOf(2), "Ben");
}

// A record another process holds locked is not written: BtrieveError tells the status, VE821
// follows, and the grid keeps the edited text.
TEST_F(GridEditingTest, ARecordLockedElsewhereIsReportedAndTheEditKept) {
    engine::testing::ChildProcess holder(kHoldFirstCustomer, {form.directory.Path()});
    ASSERT_TRUE(engine::testing::WaitForFile(form.directory.Path() + "/holding"));
    Edit(1, 2, "Anne");
    grid.WriteBackRow(1);
    EXPECT_EQ(view.errors, std::vector<std::string>{"Customer:84"});
    ASSERT_EQ(form.Messages().size(), 1u);
    EXPECT_EQ(form.Messages()[0].rfind("VE821", 0), 0u) << form.Messages()[0];
    EXPECT_EQ(grid.model.Cell(1, 2), "Anne");
    engine::testing::Touch(form.directory.Path() + "/done");
    EXPECT_EQ(holder.Wait(), 0);
    EXPECT_EQ(NoteOf(1), "Ann");
}
