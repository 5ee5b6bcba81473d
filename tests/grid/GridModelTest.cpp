// Cells, counts, sizes, the current row and the selection of the string grid.
#include "GridFixture.h"

#include "toolkit/Message.h"

namespace {

TEST(GridCells, GrowingAndShrinkingRowsKeepsTheTextsOfRowsThatStay) {
    TStringGrid Grid;
    Grid.SetColCount(3);
    Grid.SetRowCount(4);
    Grid.SetCells(2, 3, "last");
    Grid.SetCells(0, 1, "first");

    Grid.SetRowCount(65536);
    EXPECT_EQ(Grid.Cells(2, 3), "last");
    EXPECT_EQ(Grid.Cells(0, 1), "first");
    EXPECT_TRUE(Grid.Cells(2, 65535).isEmpty());
    Grid.SetCells(2, 65535, "bottom");
    EXPECT_EQ(Grid.Cells(2, 65535), "bottom");

    Grid.SetRowCount(3);
    EXPECT_EQ(Grid.Cells(0, 1), "first");
    Grid.SetRowCount(4);
    EXPECT_TRUE(Grid.Cells(2, 3).isEmpty()) << "a dropped row comes back empty";
}

TEST(GridCells, ChangingColumnsKeepsTheTextsOfColumnsThatStay) {
    TStringGrid Grid;
    Grid.SetColCount(3);
    Grid.SetRowCount(3);
    Grid.SetDefaultColWidth(40);
    Grid.SetColWidths(1, 77);
    for (int R = 0; R < 3; ++R)
        for (int C = 0; C < 3; ++C)
            Grid.SetCells(C, R, QString("%1,%2").arg(C).arg(R));

    Grid.SetColCount(5);
    EXPECT_EQ(Grid.Cells(2, 2), "2,2");
    EXPECT_EQ(Grid.Cells(0, 1), "0,1");
    EXPECT_TRUE(Grid.Cells(3, 1).isEmpty());
    EXPECT_EQ(Grid.ColWidths(1), 77);
    EXPECT_EQ(Grid.ColWidths(4), 40) << "new columns take the default width";

    Grid.SetColCount(2);
    EXPECT_EQ(Grid.Cells(1, 2), "1,2");
    EXPECT_EQ(Grid.Cells(0, 0), "0,0");
    EXPECT_TRUE(Grid.Cells(2, 2).isEmpty()) << "outside the grid now";
}

TEST(GridCells, AddressesOutsideTheGridReadEmptyAndAreNotWritten) {
    TStringGrid Grid;
    Grid.SetColCount(2);
    Grid.SetRowCount(2);
    for (auto [C, R] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {100000, 100000}}) {
        Grid.SetCells(C, R, "x");
        EXPECT_TRUE(Grid.Cells(C, R).isEmpty());
    }
    for (int R = 0; R < 2; ++R)
        for (int C = 0; C < 2; ++C)
            EXPECT_TRUE(Grid.Cells(C, R).isEmpty()) << "a stray write landed in " << C << R;
}

TEST(GridSizes, FixedRowsAndColumnsAlwaysLeaveOneOrdinaryRowAndColumn) {
    TStringGrid Grid;
    Grid.SetRowCount(3);
    Grid.SetFixedRows(5);
    EXPECT_EQ(Grid.FixedRows(), 2);
    Grid.SetRowCount(1);
    EXPECT_EQ(Grid.FixedRows(), 0);
    EXPECT_EQ(Grid.Row(), 0);

    Grid.SetColCount(0);
    EXPECT_EQ(Grid.ColCount(), 1);
    EXPECT_EQ(Grid.FixedCols(), 0);
}

TEST(GridSizes, NegativeSizesAreClippedSoTheLayoutStaysSound) {
    TStringGrid Grid;
    Grid.SetColWidths(0, -1);
    EXPECT_EQ(Grid.ColWidths(0), 0);
    Grid.SetDefaultRowHeight(-5);
    EXPECT_EQ(Grid.DefaultRowHeight(), 1);
    EXPECT_EQ(Grid.ColWidths(99), 0);
}

using GridSelection = TGridFixture<>;

TEST_F(GridSelection, TheCurrentRowNeverLiesOnAFixedRowOrOutsideTheGrid) {
    EXPECT_EQ(Grid.Row(), 1);
    Grid.SetRow(0);
    EXPECT_EQ(Grid.Row(), 1);
    Grid.SetRow(500);
    EXPECT_EQ(Grid.Row(), 99);
    Grid.SetRowCount(40);
    EXPECT_EQ(Grid.Row(), 39) << "shrinking the grid pulls the current row in";
    EXPECT_EQ(Grid.Selection().Top, 39);
}

TEST_F(GridSelection, WholeRowSelectionSpansEveryOrdinaryColumn) {
    Grid.SetFixedCols(1);
    Grid.SetSelection({0, 7, 2, 7});
    EXPECT_EQ(Grid.Row(), 7);
    EXPECT_EQ(Grid.Selection(), (TGridRect{1, 7, 2, 7}));

    Grid.SetRow(4);
    EXPECT_EQ(Grid.Selection(), (TGridRect{1, 4, 2, 4}));
}

TEST_F(GridSelection, SettingTheSelectionScrollsItsTopRowIntoView) {
    Grid.SetSelection({0, 50, 2, 50});
    EXPECT_EQ(Grid.Row(), 50);
    EXPECT_LE(Grid.TopRow(), 50);
    EXPECT_GT(Grid.TopRow() + 10, 50);
    EXPECT_FALSE(Grid.CellRect(0, 50).IsEmpty());
}

TEST_F(GridSelection, CellSelectionWithoutRowSelectCoversTheGivenBlock) {
    Grid.SetOptions({goVertLine, goHorzLine, goRangeSelect});
    Grid.SetSelection({2, 5, 1, 3}); // corners in either order
    EXPECT_EQ(Grid.Selection(), (TGridRect{1, 3, 2, 5}));
    EXPECT_EQ(Grid.Col(), 2);
    EXPECT_EQ(Grid.Row(), 5);
}

TEST(GridMessages, PerformReturnsTheResultOfTheGridsOwnHandling) {
    TStringGrid Grid;
    TMessage Message{WM_COMMAND, 0x00020007, 1234, 99};
    Grid.Perform(Message);
    EXPECT_EQ(Message.Result, 0);
    EXPECT_EQ(Message.WParamLo(), 7);
    EXPECT_EQ(Message.WParamHi(), 2);
    EXPECT_EQ(Grid.Perform(0x0400, 1, 2), 0);
}

} // namespace
