// Where the grid's cells lie on its window: the bars its content needs, the vertical range, what
// a point hits, and which cells are fully visible.
#include <gtest/gtest.h>

#include "grid/GridLayout.h"

using namespace zelmor;

namespace {

// 10 rows of 20 pixels and 4 columns of 50: 200 x 200 in all, one fixed row and column.
GridModel TenByFour() {
    GridModel model(GridLimits{8, 32});
    model.SetRows(10);
    model.SetCols(4);
    return model;
}

}  // namespace

TEST(GridLayout, TheBarsFollowTheContentAndTheSetting) {
    const GridModel model = TenByFour();
    struct Case {
        int scrollBars, width, height;
        GridBars bars;
    } cases[] = {
        {kGridScBoth, 300, 300, {false, false}},
        {kGridScBoth, 190, 210, {true, true}},  // 10 wider, 10 lower: each needs the other
        {kGridScBoth, 190, 300, {true, false}},
        {kGridScBoth, 300, 150, {false, true}},
        {kGridScHorz, 190, 150, {true, false}},
        {kGridScVert, 190, 150, {false, true}},
        {kGridScNone, 100, 100, {false, false}},
        {kGridScBoth, 200, 200, {false, false}},  // content that fits needs no bar
        {kGridScBoth, 205, 210, {false, false}},  // within a bar of filling both ways
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NeededBars(model, c.scrollBars, c.width, c.height), c.bars)
            << c.scrollBars << " " << c.width << "x" << c.height;
    }
}

TEST(GridLayout, TheVerticalRangeCoversTheRowsThatDoNotFit) {
    const GridModel model = TenByFour();
    // Room for 100 - 18 - 20 = 62 pixels: rows 1..3 take 60, row 4 overflows: 10 - 4 + 1.
    EXPECT_EQ(VerticalRangeEnd(model, 100), 7);
    EXPECT_EQ(VerticalRangeEnd(model, 300), 0);  // every row fits
}

TEST(GridLayout, APointHitsTheCellOrBorderUnderIt) {
    const GridModel model = TenByFour();
    GridViewport viewport{300, 300, 2, false, false, 3, 1};  // rows 3.. after the fixed row
    const GridLayout layout(model, viewport);
    struct Case {
        int x, y;
        GridHit::Kind kind;
        std::int32_t row, col;
        bool onBorder;
    } cases[] = {
        {10, 10, GridHit::Corner, 0, 0, false},
        {60, 25, GridHit::Data, 3, 1, false},      // the first row shown is the top row
        {160, 155, GridHit::Data, 9, 3, false},    // the last cell
        {10, 39, GridHit::FixedCol, 3, 0, true},   // on the bottom edge of row 3
        {10, 50, GridHit::FixedCol, 4, 0, false},
        {99, 10, GridHit::FixedRow, 0, 1, true},   // on the right edge of column 1
        {120, 10, GridHit::FixedRow, 0, 2, false},
        {201, 30, GridHit::Outside, -1, -1, false},  // past the content
        {30, 161, GridHit::Outside, -1, -1, false},  // 20 + 7 rows x 20
    };
    for (const Case& c : cases) {
        const GridHit hit = layout.HitTest(c.x, c.y);
        EXPECT_EQ(hit.kind, c.kind) << c.x << "," << c.y;
        EXPECT_EQ(hit.row, c.row) << c.x << "," << c.y;
        EXPECT_EQ(hit.col, c.col) << c.x << "," << c.y;
        EXPECT_EQ(hit.onBorder, c.onBorder) << c.x << "," << c.y;
    }
}

TEST(GridLayout, OnlyCellsInsideTheDrawingAreaAreFullyVisible) {
    const GridModel model = TenByFour();
    // 130 x 100 client, a 2-pixel inset, a vertical bar: a 108 x 96 drawing area.
    const GridLayout layout(model, GridViewport{130, 100, 2, true, false, 1, 2});
    GridRect rect{};
    ASSERT_TRUE(layout.CellRect(1, 2, rect));
    EXPECT_EQ(rect, (GridRect{50, 20, 100, 40}));  // the left column follows the fixed band
    EXPECT_FALSE(layout.CellRect(1, 1, rect));    // scrolled out
    EXPECT_TRUE(layout.FullyVisible(1, 2));
    EXPECT_FALSE(layout.FullyVisible(1, 3));  // starts at 100, ends past 108
    EXPECT_TRUE(layout.FullyVisible(3, 2));   // ends at 80
    EXPECT_FALSE(layout.FullyVisible(4, 2));  // ends at 100, past 96
    EXPECT_EQ(layout.LastVisibleCol(), 3);
    EXPECT_EQ(layout.LastVisibleRow(), 4);
}
