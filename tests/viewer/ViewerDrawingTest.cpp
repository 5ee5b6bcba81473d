// Where the viewer draws cell texts by the alignment masks, and the cell colours it fills.
#include "GridFixture.h"
#include "RecordingBrowser.h"

#include "viewer/CellAlignment.h"

#include <QFontMetrics>
#include <climits>
#include <optional>
#include <ostream>

inline void PrintTo(const TTextAnchor& A, std::ostream* Out) {
    *Out << "align " << A.Align << " at (" << A.X << ", " << A.Y << ")";
}

namespace {

TEST(ViewerAlignment, TheColumnTestTakesBitColModulo32AndNeverBit31) {
    EXPECT_TRUE(ColumnInMask(0x1, 0));
    EXPECT_FALSE(ColumnInMask(0x1, 1));
    EXPECT_TRUE(ColumnInMask(0x40000000, 30));
    EXPECT_FALSE(ColumnInMask(static_cast<int32_t>(0x80000000u), 31));
    EXPECT_FALSE(ColumnInMask(-1, 31)) << "every bit set still leaves column 31 out";
    EXPECT_TRUE(ColumnInMask(-1, 30));
    EXPECT_TRUE(ColumnInMask(0x1, 32)) << "column 32 reuses bit 0";
    EXPECT_TRUE(ColumnInMask(0x2, 33));
    EXPECT_FALSE(ColumnInMask(0x2, 34));
    EXPECT_FALSE(ColumnInMask(-1, 63));
}

TEST(ViewerAlignment, AnchorsSitTwoPixelsInsideOrAtTheTruncatedMiddle) {
    const TRect Cell{10, 20, 41, 44}; // 31 wide: the middle is 10 + 15
    EXPECT_EQ(CellTextAnchor(0, 0, 3, Cell), (TTextAnchor{0, 12, 22}));
    EXPECT_EQ(CellTextAnchor(1 << 3, 0, 3, Cell), (TTextAnchor{2, 39, 22}));
    EXPECT_EQ(CellTextAnchor(0, 1 << 3, 3, Cell), (TTextAnchor{6, 25, 22}));
    EXPECT_EQ(CellTextAnchor(1 << 3, 1 << 3, 3, Cell), (TTextAnchor{2, 39, 22})) << "right wins";
    EXPECT_EQ(CellTextAnchor(1 << 2, 1 << 4, 3, Cell), (TTextAnchor{0, 12, 22}));
    EXPECT_EQ(CellTextAnchor(0, 1, 32, TRect{0, 0, 7, 5}), (TTextAnchor{6, 3, 2}));
}

// The span of dark (ink) pixels of a cell's text, one pixel inside its rectangle.
struct TInk {
    int Left = INT_MAX, Right = -1, Top = INT_MAX;
};
std::optional<TInk> InkOf(const QImage& Image, const TRect& Rect) {
    TInk Ink;
    for (int Y = Rect.Top + 1; Y < Rect.Bottom - 1; ++Y)
        for (int X = Rect.Left + 1; X < Rect.Right - 1; ++X)
            if (qGray(Image.pixel(X, Y)) < 100) {
                Ink.Left = std::min(Ink.Left, X);
                Ink.Right = std::max(Ink.Right, X);
                Ink.Top = std::min(Ink.Top, Y);
            }
    if (Ink.Right < 0)
        return std::nullopt;
    return Ink;
}

class ViewerDrawing : public TGridFixture<TViewer> {
protected:
    void SetUp() override {
        TGridFixture<TViewer>::SetUp();
        Grid.resize(3 * 121 + 10, Grid.height());
        for (int C = 0; C < 3; ++C)
            Grid.SetColWidths(C, 120);
        Grid.SetRow(5); // away from the rows looked at
    }
};

TEST_F(ViewerDrawing, TextLandsWhereTheMasksSayInHeaderAndDataRowsAlike) {
    Grid.RightText = 0b001;  // column 0 right (its centre bit loses)
    Grid.CenterText = 0b011; // column 1 centred; column 2 in neither: left
    for (int R : {0, 2})
        for (int C = 0; C < 3; ++C)
            Grid.SetCells(C, R, "WW");
    const QImage Image = Render();
    const QFontMetrics Metrics(Grid.font());

    for (int R : {0, 2}) {
        SCOPED_TRACE(R == 0 ? "header row" : "data row");
        const TRect Right = Grid.CellRect(0, R), Centre = Grid.CellRect(1, R),
                    Left = Grid.CellRect(2, R);
        const auto RightInk = InkOf(Image, Right), CentreInk = InkOf(Image, Centre),
                   LeftInk = InkOf(Image, Left);
        ASSERT_TRUE(RightInk && CentreInk && LeftInk);

        EXPECT_GE(LeftInk->Left, Left.Left + 2);
        EXPECT_LE(LeftInk->Left, Left.Left + 4);
        EXPECT_LE(RightInk->Right, Right.Right - 3);
        EXPECT_GE(RightInk->Right, Right.Right - 6);
        const int Middle = Centre.Left + Centre.Width() / 2;
        EXPECT_NEAR((CentreInk->Left + CentreInk->Right + 1) / 2.0, Middle, 2.0);

        // Top-aligned at two pixels below the cell's top, not centred vertically.
        EXPECT_GE(LeftInk->Top, Left.Top + 2);
        EXPECT_LE(LeftInk->Top, Left.Top + 3 + Metrics.ascent() - Metrics.capHeight());
    }
}

TEST_F(ViewerDrawing, TextWiderThanItsCellIsClippedAtTheCellsEdges) {
    Grid.RightText = 0b001;
    Grid.SetCells(0, 2, QString(40, 'W'));
    Grid.SetCells(1, 3, QString(40, 'W'));
    const QImage Image = Render();
    EXPECT_TRUE(InkOf(Image, Grid.CellRect(0, 2)));
    EXPECT_FALSE(InkOf(Image, Grid.CellRect(1, 2))) << "right-aligned text spilled right";
    EXPECT_FALSE(InkOf(Image, Grid.CellRect(2, 3))) << "left-aligned text spilled right";
}

TEST_F(ViewerDrawing, CellColoursAreFilledZeroIncludedAndMinusOneLeavesTheCell) {
    TCallLog Log;
    TRecordingBrowser Browser(Log, Grid);
    Grid.Browser = &Browser;
    Browser.Colors = {{{0, 2}, 0x000000}, {{2, 2}, 0x0000FF}, {{1, 0}, 0x00FF00}};
    const QImage Image = Render();
    const auto Middle = [&](int C, int R) {
        const TRect Cell = Grid.CellRect(C, R);
        return QColor(Image.pixel((Cell.Left + Cell.Right) / 2, (Cell.Top + Cell.Bottom) / 2));
    };
    EXPECT_EQ(Middle(0, 2), QColor(0, 0, 0)) << "0 is black, not 'no colour'";
    EXPECT_EQ(Middle(2, 2), QColor(255, 0, 0)) << "0x00BBGGRR: 0xFF is red";
    EXPECT_EQ(Middle(1, 0), QColor(0, 255, 0)) << "header cells take colours too";
    EXPECT_EQ(Middle(1, 2), Grid.palette().color(QPalette::Base));
    EXPECT_EQ(Middle(0, 3), Grid.palette().color(QPalette::Base));
    EXPECT_EQ(Middle(0, 5), Grid.palette().color(QPalette::Highlight)) << "selected, uncoloured";
    EXPECT_EQ(Browser.ColorAsked.size(), 33u) << "once per visible cell";
}

TEST_F(ViewerDrawing, TheCellColourStaysVisibleUnderTheText) {
    TCallLog Log;
    TRecordingBrowser Browser(Log, Grid);
    Grid.Browser = &Browser;
    Browser.Colors = {{{1, 3}, 0x00FFFF}}; // yellow
    Grid.SetCells(1, 3, "WW");
    const QImage Image = Render();
    const TRect Cell = Grid.CellRect(1, 3);
    ASSERT_TRUE(InkOf(Image, Cell)) << "the text shows";
    int Yellow = 0;
    for (int X = Cell.Left; X < Cell.Right; ++X)
        Yellow += QColor(Image.pixel(X, Cell.Top + 4)) == QColor(255, 255, 0);
    EXPECT_GT(Yellow, Cell.Width() / 2) << "the text's own line of the cell keeps its colour";
}

TEST_F(ViewerDrawing, ColourAndTextComeBeforeOnDrawCellAndOnlyWithDefaultDrawing) {
    TCallLog Log;
    TRecordingBrowser Browser(Log, Grid);
    Grid.Browser = &Browser;
    std::vector<std::pair<int, int>> Drawn;
    Grid.OnDrawCell = [&](QObject* Sender, int C, int R, const TRect&, TGridDrawState) {
        EXPECT_EQ(Sender, &Grid);
        ASSERT_FALSE(Browser.ColorAsked.empty());
        EXPECT_EQ(Browser.ColorAsked.back(), std::make_pair(C, R));
        Drawn.emplace_back(C, R);
    };
    Render();
    EXPECT_EQ(Drawn, Browser.ColorAsked);

    Grid.SetDefaultDrawing(false);
    Browser.ColorAsked.clear();
    Drawn.clear();
    Grid.OnDrawCell = [&](QObject*, int C, int R, const TRect&, TGridDrawState) {
        Drawn.emplace_back(C, R);
    };
    Grid.SetCells(2, 2, "WW");
    const QImage Image = Render();
    EXPECT_TRUE(Browser.ColorAsked.empty());
    EXPECT_EQ(Drawn.size(), 33u);
    EXPECT_FALSE(InkOf(Image, Grid.CellRect(2, 2)));
}

} // namespace
