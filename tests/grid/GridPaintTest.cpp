// What the string grid paints: only the cells on screen, the header always on top, the texts.
#include "GridFixture.h"

#include <set>
#include <utility>

namespace {

using GridPaint = TGridFixture<>;

// The cells OnDrawCell was called for during one render, with their rectangles' tops.
std::set<std::pair<int, int>> PaintedCells(TStringGrid& Grid, std::map<int, int>* RowTops,
                                           const std::function<QImage()>& Render) {
    std::set<std::pair<int, int>> Cells;
    Grid.OnDrawCell = [&](QObject*, int C, int R, const TRect& Rect, TGridDrawState) {
        Cells.insert({C, R});
        if (RowTops)
            (*RowTops)[R] = Rect.Top;
    };
    Render();
    Grid.OnDrawCell = nullptr;
    return Cells;
}

TEST_F(GridPaint, OnlyTheCellsOnScreenArePaintedHoweverManyRowsThereAre) {
    const auto Render = [this] { return this->Render(); };
    const auto Small = PaintedCells(Grid, nullptr, Render);
    EXPECT_EQ(Small.size(), 33u) << "header and ten rows, three columns";
    EXPECT_TRUE(Small.count({2, 10}));
    EXPECT_FALSE(Small.count({0, 11}));

    Grid.SetRowCount(65536);
    for (int R = 0; R < 65536; ++R)
        Grid.SetCells(1, R, "x");
    EXPECT_EQ(PaintedCells(Grid, nullptr, Render), Small);
}

TEST_F(GridPaint, ScrolledDataRowsPaintBelowTheHeaderThatStaysOnTop) {
    Grid.SetRow(99);
    std::map<int, int> Tops;
    const auto Cells = PaintedCells(Grid, &Tops, [this] { return Render(); });
    EXPECT_EQ(Tops[0], 0);
    EXPECT_EQ(Tops[90], kPitch);
    EXPECT_EQ(Tops[99], 10 * kPitch);
    EXPECT_FALSE(Cells.count({0, 89}));
    EXPECT_EQ(Cells.size(), 33u);
}

TEST_F(GridPaint, TheCellStateTellsFixedSelectedAndFocusedCells) {
    Grid.SetRow(2);
    std::map<std::pair<int, int>, TGridDrawState> States;
    Grid.OnDrawCell = [&](QObject*, int C, int R, const TRect&, TGridDrawState State) {
        States[{C, R}] = State;
    };
    Render();
    EXPECT_EQ((States[{1, 0}]), TGridDrawState{gdFixed});
    EXPECT_EQ((States[{2, 2}]), TGridDrawState{gdSelected});
    EXPECT_TRUE((States[{1, 3}]).Empty());
}

// Dark pixels inside a rectangle: the text's ink on the light cell.
int InkIn(const QImage& Image, const TRect& Rect) {
    int Ink = 0;
    for (int Y = Rect.Top; Y < Rect.Bottom; ++Y)
        for (int X = Rect.Left; X < Rect.Right; ++X)
            Ink += qGray(Image.pixel(X, Y)) < 100;
    return Ink;
}

TEST_F(GridPaint, DefaultDrawingDrawsTheTextInsideItsCellAndCanBeSwitchedOff) {
    Grid.SetCells(1, 3, "WWWWWWWWWWWWWWWWWWWW"); // far wider than the cell
    const TRect Cell = Grid.CellRect(1, 3);
    const TRect Right = Grid.CellRect(2, 3);
    QImage Image = Render();
    EXPECT_GT(InkIn(Image, Cell), 20);
    EXPECT_EQ(InkIn(Image, Right), 0) << "clipped at the cell's edge";

    Grid.SetDefaultDrawing(false);
    Image = Render();
    EXPECT_EQ(InkIn(Image, Cell), 0);
}

} // namespace
