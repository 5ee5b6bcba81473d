// Details of a fill: a descendant that fails during it, records without colours or with fewer
// texts than columns, and the colours as the grid paints them.
#include "BrowserFixture.h"

#include <QImage>
#include <stdexcept>

namespace {

using FillDetail = BrowserTest;

TEST_F(FillDetail, AFailingSourceStillEndsTheFillAndLeavesAConsistentPage) {
    TNumberedTable Table(100);
    TProbeBrowser& B = Attach(Table);
    Click(7);
    B.ClearLog();
    B.FailAtOffset = 4;

    EXPECT_THROW(B.PageDown(), std::runtime_error);
    EXPECT_EQ(B.Events, (std::vector<std::string>{"begin", "end", "selected none"}))
        << "row 7 was emptied with the rest of the page after the failure";
    EXPECT_EQ(Page(),
              (std::vector<std::string>{"R10", "R11", "R12", "R13", "", "", "", "", "", ""}));
    EXPECT_EQ(B.LastRow, 4);
    EXPECT_TRUE(B.RowBookmarks[5]->Empty());

    B.FailAtOffset.reset();
    B.ClearLog();
    B.FillPage();
    EXPECT_EQ(Text(0, 10), "R19") << "the top survived the failure";
    EXPECT_EQ(B.Events, (std::vector<std::string>{"begin", "end", "selected 16"}));
}

TEST_F(FillDetail, AFailureBeforeTheFillBeganPassesStraightOn) {
    TNumberedTable Table(100);
    TProbeBrowser& B = Attach(Table);
    B.FailInBeginFill = true;
    EXPECT_THROW(B.FillPage(), std::runtime_error);
    EXPECT_EQ(B.Events, std::vector<std::string>{"begin"});
    EXPECT_TRUE(B.Offsets.empty());
    EXPECT_EQ(Text(0, 1), "R0");
}

// Rec 10 is red, blue and black; Rec 20 gives no colours and one text only; Rec 30 gives one
// colour and four texts.
class Colours : public BrowserTest {
protected:
    Colours() {
        Table.Insert({10, {"Rec 10", "a", "b"}, {0x0000FF, 0xFF0000, 0}});
        Table.Insert({20, {"Rec 20"}, {}});
        Table.Insert({30, {"Rec 30", "c", "d", "too many"}, {0x00FF00}});
        for (int Key = 40; Key <= 110; Key += 10)
            Table.Insert({Key, {Named("Rec ", Key), "", ""}, {}});
        Attach(Table);
    }
    TRecordVector Table;
};

TEST_F(Colours, ARecordWithoutColoursOrWithFewerTextsKeepsWhatItsRowHad) {
    EXPECT_EQ(Browser->CellColor(1, 0), 0x0000FF);
    EXPECT_EQ(Browser->CellColor(1, 2), 0);
    EXPECT_EQ(Browser->CellColor(2, 1), -1);
    EXPECT_EQ(Browser->CellColor(3, 0), 0x00FF00);
    EXPECT_EQ(Browser->CellColor(3, 1), -1) << "only the colours given are taken";
    EXPECT_EQ(Text(2, 3), "d");

    Click(10);
    Key(Qt::Key_Down); // Rec 20 .. Rec 110: every record moves up a row
    ASSERT_EQ(Text(0, 1), "Rec 20");
    EXPECT_EQ(Browser->CellColor(1, 0), 0x0000FF) << "Rec 20 gave no colours: row 1 keeps its own";
    EXPECT_EQ(Browser->CellColor(1, 2), 0);
    EXPECT_EQ(Text(1, 1), "a") << "Rec 20 gave one text: row 1 keeps its other cells";
    EXPECT_EQ(Browser->CellColor(2, 0), 0x00FF00);
    EXPECT_EQ(Browser->CellColor(2, 1), -1);
    EXPECT_EQ(Text(1, 2), "c");
}

TEST_F(Colours, TheGridPaintsTheCellColoursOfTheBrowser) {
    Click(5); // keep the selection's highlight off rows 1 and 3
    QImage Image(Grid.viewport()->size(), QImage::Format_RGB32);
    Grid.viewport()->render(&Image);
    const auto At = [&](int Col, int Row) {
        return Image.pixelColor(Col * 61 + 55, Row * 21 + 17);
    };
    EXPECT_EQ(At(0, 1), QColor(255, 0, 0));
    EXPECT_EQ(At(1, 1), QColor(0, 0, 255));
    EXPECT_EQ(At(2, 1), QColor(0, 0, 0));
    EXPECT_EQ(At(0, 3), QColor(0, 255, 0));
    EXPECT_NE(At(1, 3), QColor(0, 255, 0));
}

} // namespace
