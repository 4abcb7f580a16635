// The grid's model: the setters' invariants and index checks, the cell store's stride, and the
// ways texts get into cells.
#include <gtest/gtest.h>

#include "grid/GridModel.h"

using namespace zelmor;

namespace {

GridModel RunTimeGrid(std::int32_t rows, std::int32_t cols, GridLimits limits = {64, 1024}) {
    GridModel grid(limits);
    EXPECT_EQ(grid.SetCols(cols), GridResult::Ok);
    EXPECT_EQ(grid.SetRows(rows), GridResult::Ok);
    grid.MakeCellTable();
    return grid;
}

// A formatter that shows which format a text went through.
const GridFormatter kBracket = [](const std::string& text, const std::string& format) {
    return format + "(" + text + ")";
};

}  // namespace

TEST(GridModel, GeometrySettersKeepTheirInvariants) {
    GridModel grid(GridLimits{8, 16});
    struct Case {
        const char* what;
        GridResult (GridModel::*set)(std::int32_t);
        std::int32_t value;
        GridResult result;
    } cases[] = {
        {"Cols equal to FixedCols", &GridModel::SetCols, 1, GridResult::InvalidValue},
        {"Cols above the capacity", &GridModel::SetCols, 9, GridResult::InvalidValue},
        {"Cols at the capacity", &GridModel::SetCols, 8, GridResult::Ok},
        {"Rows equal to FixedRows", &GridModel::SetRows, 1, GridResult::InvalidValue},
        {"Rows above the capacity", &GridModel::SetRows, 17, GridResult::InvalidValue},
        {"Rows", &GridModel::SetRows, 5, GridResult::Ok},
        {"FixedCols equal to Cols", &GridModel::SetFixedCols, 8, GridResult::InvalidValue},
        {"FixedCols negative", &GridModel::SetFixedCols, -1, GridResult::InvalidValue},
        {"FixedCols none", &GridModel::SetFixedCols, 0, GridResult::Ok},
        {"FixedRows equal to Rows", &GridModel::SetFixedRows, 5, GridResult::InvalidValue},
        {"FixedRows", &GridModel::SetFixedRows, 2, GridResult::Ok},
        {"Rows now at FixedRows", &GridModel::SetRows, 2, GridResult::InvalidValue},
    };
    for (const Case& c : cases) EXPECT_EQ((grid.*c.set)(c.value), c.result) << c.what;
    EXPECT_EQ(grid.Cols(), 8);
    EXPECT_EQ(grid.Rows(), 5);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_EQ(grid.FixedRows(), 2);
    EXPECT_EQ(grid.FixedBandHeight(), 40);
    EXPECT_EQ(grid.FixedBandWidth(), 0);
}

TEST(GridModel, SizeIndexesReachRowsAndColsButNotTheCapacity) {
    GridModel grid(GridLimits{4, 3});
    ASSERT_EQ(grid.SetRows(3), GridResult::Ok);
    std::int32_t pixels = 0;
    EXPECT_EQ(grid.SetRowHeight(3, 33), GridResult::BadIndex);  // Rows, but the capacity is 3
    EXPECT_EQ(grid.SetRowHeight(2, 33), GridResult::Ok);
    ASSERT_EQ(grid.SetRows(2), GridResult::Ok);
    EXPECT_EQ(grid.RowHeight(2, pixels), GridResult::Ok);  // RowHeight(Rows)
    EXPECT_EQ(pixels, 33);
    EXPECT_EQ(grid.RowHeight(-1, pixels), GridResult::BadIndex);
    EXPECT_EQ(grid.SetColWidth(2, 70), GridResult::Ok);  // ColWidth(Cols)
    EXPECT_EQ(grid.SetColWidth(3, 70), GridResult::BadIndex);
    ASSERT_EQ(grid.SetCols(4), GridResult::Ok);
    EXPECT_EQ(grid.ColWidth(4, pixels), GridResult::BadIndex);  // the capacity
}

TEST(GridModel, ChangingColsRemapsTheStoredTexts) {
    GridModel grid = RunTimeGrid(4, 3);
    ASSERT_TRUE(grid.SetCell(1, 2, "x"));  // slot 1 * 3 + 2 = 5
    ASSERT_EQ(grid.SetCols(5), GridResult::Ok);
    EXPECT_EQ(grid.Cell(1, 0), "x");  // slot 5 is now row 1, column 0
    EXPECT_EQ(grid.Cell(1, 2), "");
    EXPECT_EQ(grid.Cell(-1, 0), "");
    EXPECT_EQ(grid.Cell(4, 0), "");  // not below Rows
}

TEST(GridModel, ColumnListsGrowAndCheckTheirIndexes) {
    GridModel grid = RunTimeGrid(3, 4);
    std::int16_t value = -1;
    EXPECT_EQ(grid.TextAlign(3, value), GridResult::Ok);
    EXPECT_EQ(value, 0);  // past the list
    EXPECT_EQ(grid.TextAlign(4, value), GridResult::BadIndex);  // not below Cols
    EXPECT_EQ(grid.SetTextAlign(10, 2), GridResult::Ok);        // below the capacity
    EXPECT_EQ(grid.SetTextAlign(64, 2), GridResult::BadIndex);
    EXPECT_EQ(grid.SetImeMode(2, 4), GridResult::Ok);
    EXPECT_EQ(grid.ImeMode(2, value), GridResult::Ok);
    EXPECT_EQ(value, 4);

    EXPECT_EQ(grid.SetCellMaxLength(0, 5), GridResult::BadIndex);  // a fixed column
    EXPECT_EQ(grid.SetCellMaxLength(4, 5), GridResult::Ok);        // up to Cols
    EXPECT_EQ(grid.CellMaxLength(2, value), GridResult::Ok);
    EXPECT_EQ(value, 0);
    grid.RebuildMaxLengths("Code,Nope", [](const std::string& name) -> std::int16_t {
        return name == "Code" ? 4 : 0;
    });
    EXPECT_EQ(grid.CellMaxLength(1, value), GridResult::Ok);
    EXPECT_EQ(value, 4);  // CellMaxLength(FixedCols): the first listed field's size

    std::uint32_t position = 0;
    EXPECT_EQ(grid.Position(0, position), GridResult::BadIndex);  // none kept
    grid.Positions().push_back(77);
    EXPECT_EQ(grid.Position(0, position), GridResult::Ok);
    EXPECT_EQ(position, 77u);
}

TEST(GridModel, FormatStringsNeedTheCellTable) {
    GridModel grid(GridLimits{4, 4});
    std::string format;
    EXPECT_EQ(grid.FormatString(0, format), GridResult::NotReadable);  // design time
    EXPECT_EQ(grid.SetFormatString(0, "#"), GridResult::Ok);           // ignored
    grid.MakeCellTable();
    EXPECT_EQ(grid.FormatString(0, format), GridResult::Ok);
    EXPECT_EQ(format, "");
    EXPECT_EQ(grid.SetFormatString(4, "#"), GridResult::BadIndex);
}

TEST(GridModel, FetchedRowsKeepEmptyPiecesAndWrap) {
    struct Case {
        const char* line;
        std::vector<std::string> cells;  // row 1 and row 2, columns 1 to 3
    } cases[] = {
        {"a\t\tb", {"a", "", "b", "", "", ""}},
        {"a\tb\t", {"a", "b", "", "", "", ""}},  // a trailing tab adds nothing
        {"\ta", {"", "a", "", "", "", ""}},
        {"1\t2\t3\t4\t5", {"1", "2", "3", "4", "5", ""}},  // on at column 1 of the next row
        {"whole", {"whole", "", "", "", "", ""}},
    };
    for (const Case& c : cases) {
        GridModel grid = RunTimeGrid(3, 4);
        grid.StoreRow(1, c.line, nullptr);
        std::vector<std::string> cells;
        for (std::int32_t row = 1; row <= 2; ++row) {
            for (std::int32_t col = 1; col <= 3; ++col) cells.push_back(grid.Cell(row, col));
        }
        EXPECT_EQ(cells, c.cells) << c.line;
    }
}

TEST(GridModel, FetchedPiecesGoThroughTheirColumnsFormat) {
    GridModel grid = RunTimeGrid(3, 4);
    ASSERT_EQ(grid.SetFormatString(2, "F"), GridResult::Ok);
    grid.StoreRow(1, "a\tb\t\tc\td", kBracket);  // d wraps into column 1 of row 2
    EXPECT_EQ(grid.Cell(1, 1), "a");
    EXPECT_EQ(grid.Cell(1, 2), "F(b)");
    EXPECT_EQ(grid.Cell(2, 1), "c");
    EXPECT_EQ(grid.Cell(2, 2), "F(d)");
}

TEST(GridModel, APieceBeyondTheTableIsDropped) {
    GridModel grid = RunTimeGrid(2, 2, GridLimits{2, 2});
    grid.StoreRow(1, "a\tb\tc", nullptr);  // the table has 4 slots
    EXPECT_EQ(grid.Cell(1, 1), "a");
}

TEST(GridModel, AssignedTextsFillTheCellOrTheSelection) {
    GridModel grid = RunTimeGrid(4, 4);
    GridModel::Current at{1, 1, 0, 0, 0, 0, kFillCell};
    EXPECT_EQ(grid.AssignText("x\t\ty", at, nullptr), 2);  // runs of tabs are one separator
    EXPECT_EQ(grid.Cell(1, 1), "x");
    EXPECT_EQ(grid.Cell(1, 2), "y");
    at.col = 3;
    EXPECT_EQ(grid.AssignText("p\tq\tr", at, nullptr), 3);  // wraps to column 1 of row 2
    EXPECT_EQ(grid.Cell(2, 1), "q");
    EXPECT_EQ(grid.Cell(2, 2), "r");
    at.row = 3;
    EXPECT_EQ(grid.AssignText("s\tt", at, nullptr), 1);  // the rows run out
    at.row = -1;
    EXPECT_EQ(grid.AssignText("none", at, nullptr), 0);

    ASSERT_EQ(grid.SetFormatString(1, "F"), GridResult::Ok);
    at = {1, 1, 0, 0, 0, 0, kFillCell};
    EXPECT_EQ(grid.AssignText("v", at, kBracket), 1);
    EXPECT_EQ(grid.Cell(1, 1), "F(v)");

    at = {0, 0, 2, 9, 2, 9, kFillSelection};  // the ends stop at the last row and column
    EXPECT_EQ(grid.AssignText("a\tb", at, kBracket), 4);
    EXPECT_EQ(grid.Cell(3, 3), "a\tb");  // whole, without formats or cutting
    at.selStartRow = 0;                  // a selection that starts in the fixed rows: nothing
    EXPECT_EQ(grid.AssignText("z", at, nullptr), 0);
}

TEST(GridModel, HeaderRowAndRecordNumbers) {
    GridModel grid = RunTimeGrid(4, 4);
    grid.WriteHeaderRow("Code,Name,Kind");
    grid.WriteRecordNumbers();
    EXPECT_EQ(grid.Cell(0, 1), "Code");
    EXPECT_EQ(grid.Cell(0, 3), "Kind");
    EXPECT_EQ(grid.Cell(1, 0), "   1");
    EXPECT_EQ(grid.Cell(3, 0), "   3");  // the last data row is numbered too
    ASSERT_EQ(grid.SetFixedCols(0), GridResult::Ok);
    grid.ClearCells();
    grid.WriteRecordNumbers();  // no fixed column: no numbers
    EXPECT_EQ(grid.Cell(1, 0), "");
}

TEST(GridModel, FieldListsAreCutAtCommasOutsideDoubleByteCharacters) {
    // 0x83 0x2C would be a comma's byte inside a double-byte character.
    const std::string name = std::string("\x83\x2C", 2);
    EXPECT_EQ(SplitFieldList("Code," + name + ",3"),
              (std::vector<std::string>{"Code", name, "3"}));
    EXPECT_EQ(SplitFieldList(""), std::vector<std::string>{""});
}
