// What a page fill shows and asks, on sources of 0, fewer than a page, exactly a page and ten
// million records.
#include "BrowserFixture.h"

#include <QTest>

namespace {

using PageFill = BrowserTest;

const std::vector<std::string> kEmptyPage(kDataRows, "");

std::vector<int32_t> Offsets0To9() {
    return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
}

TEST_F(PageFill, AnEmptySourceLeavesEveryDataRowEmptyAndNoKeyFindsARecord) {
    Grid.SetCells(0, 3, "stale");
    Grid.SetCells(2, 10, "stale");
    TRecordVector Table;
    Browser = TBrowser::Create<TProbeBrowser>(Grid, Table, 1, false, true);
    TProbeBrowser& B = *Browser;
    EXPECT_EQ(B.Offsets, std::vector<int32_t>{0});
    EXPECT_EQ(B.Events, (std::vector<std::string>{"begin", "end", "selected none"}));
    int Actions = 0;
    B.OnOpen = B.OnDelete = [&](int64_t) { ++Actions; };
    B.OnEdit = [&](int64_t) { return ++Actions, true; };

    EXPECT_EQ(B.LastRow, 0);
    EXPECT_EQ(Page(), kEmptyPage);
    EXPECT_EQ(Text(2, 10), "");
    for (int Row = 1; Row <= kLastGridRow; ++Row) {
        EXPECT_TRUE(B.RowBookmarks[Row]->Empty()) << Row;
        for (int Col = 0; Col < 3; ++Col)
            EXPECT_EQ(B.CellColor(Row, Col), -1) << Row << "," << Col;
    }

    B.ClearLog();
    Key(Qt::Key_Return);
    Key(Qt::Key_Space);
    Key(Qt::Key_Delete);
    DoubleClick(1);
    EXPECT_EQ(Actions, 0);
    EXPECT_EQ(B.Offsets, (std::vector<int32_t>{0, 0}))
        << "only the refills of Enter and Delete, each asking for the top alone";
    EXPECT_EQ(SelectedRow(), 1);
}

TEST_F(PageFill, APartPageShowsItsRecordsAndEmptiesTheRowsAfterThemWithTheirColours) {
    TRecordVector Table;
    for (int Key = 10; Key <= 100; Key += 10)
        Table.Insert({Key, {Named("Rec ", Key), "x", "y"}, {0x00FF00, 0, 0x0000FF}});
    TProbeBrowser& B = Attach(Table);
    ASSERT_EQ(B.CellColor(7, 1), 0) << "black is a colour";
    ASSERT_EQ(B.CellColor(10, 2), 0x0000FF);

    for (int Key = 40; Key <= 100; Key += 10)
        Table.Erase(Key);
    Key(Qt::Key_PageUp, Qt::ControlModifier);

    EXPECT_EQ(Page(),
              (std::vector<std::string>{"Rec 10", "Rec 20", "Rec 30", "", "", "", "", "", "", ""}));
    EXPECT_EQ(B.LastRow, 3);
    EXPECT_EQ(B.Offsets, (std::vector<int32_t>{0, 1, 2, 3})) << "the first missing row ends it";
    EXPECT_EQ(B.CellColor(3, 0), 0x00FF00);
    for (int Row = 4; Row <= kLastGridRow; ++Row) {
        EXPECT_TRUE(B.RowBookmarks[Row]->Empty()) << Row;
        for (int Col = 0; Col < 3; ++Col) {
            EXPECT_EQ(Text(Col, Row), "") << Row << "," << Col;
            EXPECT_EQ(B.CellColor(Row, Col), -1) << Row << "," << Col;
        }
    }
    EXPECT_FALSE(B.RowBookmarks[3]->Empty());
    EXPECT_EQ(B.CellColor(0, 0), -1) << "the header row has no colour";
}

TEST_F(PageFill, DownOnTheLastRecordOfAPartPageDoesNotScrollAndKeyUpPullsTheSelectionBack) {
    TRecordVector Table;
    FillByTens(Table, 4);
    TProbeBrowser& B = Attach(Table);
    EXPECT_EQ(B.LastRow, 4);
    Click(4);
    B.ClearLog();

    Key(Qt::Key_Down);
    EXPECT_EQ(SelectedRow(), 4);
    EXPECT_TRUE(B.Offsets.empty()) << "no fill";
    EXPECT_EQ(B.Events, std::vector<std::string>{"selected 40"});
    EXPECT_EQ(Page()[3], "Rec 40");

    B.ClearLog();
    Click(8);
    EXPECT_EQ(SelectedRow(), 4) << "a click below the records lands on the last one";
    EXPECT_EQ(B.Events, std::vector<std::string>{"selected 40"});
    B.ClearLog();
    Click(2);
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_TRUE(B.Events.empty()) << "a click on a record needs no correction";
}

TEST_F(PageFill, ExactlyAPageFillsEveryRowAndNeitherScrollsNorPagesPastIt) {
    TRecordVector Table;
    FillByTens(Table, 10);
    Browser = TBrowser::Create<TProbeBrowser>(Grid, Table, 1, false, true);
    TProbeBrowser& B = *Browser;
    EXPECT_EQ(B.Offsets, Offsets0To9());
    EXPECT_EQ(B.LastRow, 10);
    EXPECT_EQ(Page().front(), "Rec 10");
    EXPECT_EQ(Page().back(), "Rec 100");
    EXPECT_EQ(static_cast<TMemoryBookmark&>(*B.BottomBookmark).Key, 100);

    Click(10);
    B.ClearLog();
    Key(Qt::Key_Down);
    EXPECT_TRUE(B.Offsets.empty()) << "nothing follows the bottom record";
    Key(Qt::Key_PageDown);
    std::vector<int32_t> Expected{10};
    for (int32_t Offset : Offsets0To9())
        Expected.push_back(Offset);
    EXPECT_EQ(B.Offsets, Expected) << "the probe a page ahead, then the last page";
    EXPECT_EQ(Page().front(), "Rec 10");
    EXPECT_EQ(SelectedRow(), 10);
}

// Every navigation key on a huge source, with the offsets the browser asks for: at most one
// probe, then each fill once per data row from offset 0, never more than a page.
TEST_F(PageFill, EveryNavigationKeyAsksAtMostOneProbeAndOnePage) {
    TNumberedTable Table(10'000'000);
    Browser = TBrowser::Create<TProbeBrowser>(Grid, Table, 1, true, false);
    TProbeBrowser& B = *Browser;
    EXPECT_EQ(B.Offsets, Offsets0To9()) << "the first fill";
    EXPECT_EQ(Page(), NumberedPage(0, 10'000'000));
    EXPECT_EQ(Text(1, 10), "27");
    struct TStep {
        Qt::Key Pressed;
        Qt::KeyboardModifiers Modifiers;
        std::vector<int32_t> Probes; // asked before the fill, if any
        bool Fills;
        const char* Top;
        int Row; // selected afterwards
    };
    const Qt::KeyboardModifiers None = Qt::NoModifier;
    const std::vector<TStep> Steps{
        {Qt::Key_Down, None, {}, false, "R0", 2},
        {Qt::Key_PageDown, None, {10}, true, "R10", 10},
        {Qt::Key_Down, None, {1}, true, "R11", 10},
        {Qt::Key_Up, None, {}, false, "R11", 9},
        {Qt::Key_PageUp, None, {-10}, true, "R1", 1},
        {Qt::Key_Up, None, {-1}, true, "R0", 1},
        {Qt::Key_Left, None, {}, false, "R0", 1},
        {Qt::Key_PageUp, None, {-10}, true, "R0", 1},
        {Qt::Key_PageDown, Qt::ControlModifier, {}, true, "R9999990", 10},
        {Qt::Key_Right, None, {}, false, "R9999990", 10},
        {Qt::Key_PageDown, None, {10}, true, "R9999990", 10},
        {Qt::Key_PageUp, Qt::ControlModifier, {}, true, "R0", 1},
        {Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier, {10}, true, "R10", 10},
        {Qt::Key_Right, None, {1}, true, "R11", 10},
    };
    for (size_t I = 0; I < Steps.size(); ++I) {
        const TStep& Step = Steps[I];
        B.ClearLog();
        Key(Step.Pressed, Step.Modifiers);
        std::vector<int32_t> Expected = Step.Probes;
        if (Step.Fills)
            for (int32_t Offset : Offsets0To9())
                Expected.push_back(Offset);
        EXPECT_EQ(B.Offsets, Expected) << "step " << I;
        EXPECT_EQ(Text(0, 1), Step.Top) << "step " << I;
        EXPECT_EQ(SelectedRow(), Step.Row) << "step " << I;
        EXPECT_EQ(B.LastRow, 10) << "step " << I;
    }
}

} // namespace
