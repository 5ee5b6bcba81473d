// The string grid's costs that must not grow with the rows off screen: setting RowCount to
// 65,536 and filling every cell, and painting one screen at 100 and at 65,536 rows.
#include "toolkit/StringGrid.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kColumns = 3;

// A shown grid of the main window's shape, offscreen.
std::unique_ptr<TStringGrid> MakeGrid() {
    auto Grid = std::make_unique<TStringGrid>();
    Grid->SetColCount(kColumns);
    Grid->SetFixedCols(0);
    Grid->SetColWidths(0, 31);
    Grid->SetColWidths(1, 167);
    Grid->SetColWidths(2, 277);
    Grid->SetRowCount(2);
    Grid->resize(500, 400);
    Grid->show();
    return Grid;
}

const QString kTexts[kColumns] = {QStringLiteral("LH"), QStringLiteral("kowalski"),
                                  QStringLiteral("Dz Wi Ow Ws ")};

void Fill(TStringGrid& Grid) {
    for (int R = 1; R < Grid.RowCount(); ++R)
        for (int C = 0; C < kColumns; ++C)
            Grid.SetCells(C, R, kTexts[C]);
}

// RowCount from 2 to N, then every data cell written, as a refresh of the user list does.
void BM_SetRowCountAndFill(benchmark::State& State) {
    const auto Grid = MakeGrid();
    const auto Rows = static_cast<int>(State.range(0));
    for (auto _ : State) {
        Grid->SetRowCount(Rows);
        Fill(*Grid);
        benchmark::DoNotOptimize(Grid->Cells(2, Rows - 1).size());
        State.PauseTiming();
        Grid->SetRowCount(2);
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * Rows * kColumns);
}
BENCHMARK(BM_SetRowCountAndFill)->Arg(100)->Arg(65536)->Unit(benchmark::kMillisecond);

// One full repaint of the viewport into an image, scrolled to the middle of the rows.
void BM_PaintOneScreen(benchmark::State& State) {
    const auto Grid = MakeGrid();
    const auto Rows = static_cast<int>(State.range(0));
    Grid->SetRowCount(Rows);
    Fill(*Grid);
    Grid->SetRow(Rows / 2);
    QImage Image(Grid->viewport()->size(), QImage::Format_RGB32);
    for (auto _ : State) {
        Grid->viewport()->render(&Image);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintOneScreen)->Arg(100)->Arg(65536)->Unit(benchmark::kMillisecond);

} // namespace

int main(int Argc, char** Argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication App(Argc, Argv);
    benchmark::Initialize(&Argc, Argv);
    if (benchmark::ReportUnrecognizedArguments(Argc, Argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
