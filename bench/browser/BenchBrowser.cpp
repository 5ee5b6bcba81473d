// The cost of one navigation key on a browsed grid, through Qt key events on a viewer grid shown
// offscreen (each key refills and repaints the page), for a source of 1,000 and one of
// 10,000,000 records: the two must cost the same.
#include "viewer/MemoryBrowser.h"
#include "viewer/Viewer.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kDataRows = 10;

std::string Named(const char* Prefix, int64_t Number) {
    std::string Text = Prefix;
    Text += std::to_string(Number); // appended: GCC 12 misreads "..." + std::string as overlapping
    return Text;
}

// Records computed from their position: key p, texts "R<p>" and "<3p>".
class TNumberedTable : public TMemoryTable {
public:
    explicit TNumberedTable(int64_t N) : FCount(N) {}
    int64_t Count() const override { return FCount; }
    int64_t KeyAt(int64_t Position) const override { return Position; }
    TMemoryRecord At(int64_t Position) const override {
        return {Position, {Named("R", Position), std::to_string(3 * Position)}, {}};
    }
    int64_t LowerBound(int64_t Key) const override { return std::clamp<int64_t>(Key, 0, FCount); }

private:
    int64_t FCount;
};

// A grid of one header row and ten data rows, all on screen, with a browser on the table.
class TBrowsedGrid {
public:
    explicit TBrowsedGrid(int64_t Records) : Table(Records) {
        Grid.SetColCount(3);
        Grid.SetRowCount(kDataRows + 1);
        Grid.SetDefaultRowHeight(20);
        Grid.resize(240, 300);
        Grid.show();
        Browser = TBrowser::Create<TMemoryBrowser>(Grid, Table, 1, true, false);
    }
    void Press(Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        QTest::keyClick(&Grid, Key, Modifiers);
    }
    int64_t Top() const { return Grid.Cells(0, 1).mid(1).toLongLong(); }

    TNumberedTable Table;
    TViewer Grid;
    std::unique_ptr<TMemoryBrowser> Browser;
};

// One key again and again; Reset, untimed, brings the page back when the key stops scrolling.
template <class TAtEnd, class TReset>
void RunKey(benchmark::State& State, Qt::Key Key, Qt::KeyboardModifiers Modifiers, TAtEnd AtEnd,
            TReset Reset) {
    TBrowsedGrid Browsed(State.range(0));
    Reset(Browsed);
    const int64_t Before = Browsed.Top();
    Browsed.Press(Key, Modifiers);
    if (Browsed.Top() == Before) {
        State.SkipWithError("the key does not move the page");
        return;
    }
    for (auto _ : State) {
        Browsed.Press(Key, Modifiers);
        if (AtEnd(Browsed)) {
            State.PauseTiming();
            Reset(Browsed);
            State.ResumeTiming();
        }
    }
    State.SetItemsProcessed(State.iterations());
    State.counters["records"] = static_cast<double>(State.range(0));
}

void ToFirstPage(TBrowsedGrid& B, int Row) {
    B.Press(Qt::Key_PageUp, Qt::ControlModifier);
    B.Grid.SetRow(Row);
}

void ToLastPage(TBrowsedGrid& B, int Row) {
    B.Press(Qt::Key_PageDown, Qt::ControlModifier);
    B.Grid.SetRow(Row);
}

bool AtLastPage(const TBrowsedGrid& B) {
    return B.Top() >= B.Table.Count() - 2 * kDataRows;
}
bool AtFirstPage(const TBrowsedGrid& B) {
    return B.Top() <= kDataRows;
}

void BM_Down(benchmark::State& State) {
    RunKey(State, Qt::Key_Down, Qt::NoModifier, AtLastPage,
           [](TBrowsedGrid& B) { ToFirstPage(B, kDataRows); });
}

void BM_Right(benchmark::State& State) {
    RunKey(State, Qt::Key_Right, Qt::NoModifier, AtLastPage,
           [](TBrowsedGrid& B) { ToFirstPage(B, kDataRows); });
}

void BM_Up(benchmark::State& State) {
    RunKey(State, Qt::Key_Up, Qt::NoModifier, AtFirstPage,
           [](TBrowsedGrid& B) { ToLastPage(B, 1); });
}

void BM_Left(benchmark::State& State) {
    RunKey(State, Qt::Key_Left, Qt::NoModifier, AtFirstPage,
           [](TBrowsedGrid& B) { ToLastPage(B, 1); });
}

void BM_PageDown(benchmark::State& State) {
    RunKey(State, Qt::Key_PageDown, Qt::NoModifier, AtLastPage,
           [](TBrowsedGrid& B) { ToFirstPage(B, 1); });
}

void BM_PageUp(benchmark::State& State) {
    RunKey(State, Qt::Key_PageUp, Qt::NoModifier, AtFirstPage,
           [](TBrowsedGrid& B) { ToLastPage(B, 1); });
}

// Ctrl+PageDown and Ctrl+PageUp in turn: the jumps across the whole source.
void BM_CtrlPageDownUp(benchmark::State& State) {
    TBrowsedGrid Browsed(State.range(0));
    Browsed.Press(Qt::Key_PageDown, Qt::ControlModifier);
    if (Browsed.Top() != Browsed.Table.Count() - kDataRows) {
        State.SkipWithError("Ctrl+PageDown does not reach the last page");
        return;
    }
    bool Down = false;
    for (auto _ : State) {
        Browsed.Press(Down ? Qt::Key_PageDown : Qt::Key_PageUp, Qt::ControlModifier);
        Down = !Down;
    }
    State.SetItemsProcessed(State.iterations());
    State.counters["records"] = static_cast<double>(State.range(0));
}

// An offscreen grid is never exposed, so the keys above repaint nothing. Here every PageDown
// is followed by painting the whole grid into an image, as a screen would show it.
void BM_PageDownPainted(benchmark::State& State) {
    TBrowsedGrid Browsed(State.range(0));
    QImage Image(Browsed.Grid.viewport()->size(), QImage::Format_RGB32);
    int64_t Painted = 0;
    Browsed.Grid.OnDrawCell = [&Painted](QObject*, int, int, const TRect&, TGridDrawState) {
        ++Painted;
    };
    for (auto _ : State) {
        Browsed.Press(Qt::Key_PageDown);
        Browsed.Grid.viewport()->render(&Image);
        if (AtLastPage(Browsed)) {
            State.PauseTiming();
            ToFirstPage(Browsed, 1);
            State.ResumeTiming();
        }
    }
    State.SetItemsProcessed(State.iterations());
    State.counters["cells_painted"] =
        benchmark::Counter(static_cast<double>(Painted), benchmark::Counter::kAvgIterations);
}

// The same keys with the browser called directly and the grid hidden: the browser's own share.
void BM_LineDownHidden(benchmark::State& State) {
    TBrowsedGrid Browsed(State.range(0));
    Browsed.Grid.hide();
    Browsed.Grid.SetRow(kDataRows);
    Browsed.Browser->LineDown();
    if (Browsed.Top() != 1) {
        State.SkipWithError("LineDown does not scroll");
        return;
    }
    for (auto _ : State) {
        Browsed.Browser->LineDown();
        if (AtLastPage(Browsed)) {
            State.PauseTiming();
            Browsed.Browser->FirstPage();
            State.ResumeTiming();
        }
    }
    State.SetItemsProcessed(State.iterations());
}

} // namespace

#define BROWSER_SIZES ->Arg(1'000)->Arg(10'000'000)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Down) BROWSER_SIZES;
BENCHMARK(BM_Right) BROWSER_SIZES;
BENCHMARK(BM_Up) BROWSER_SIZES;
BENCHMARK(BM_Left) BROWSER_SIZES;
BENCHMARK(BM_PageDown) BROWSER_SIZES;
BENCHMARK(BM_PageUp) BROWSER_SIZES;
BENCHMARK(BM_CtrlPageDownUp) BROWSER_SIZES;
BENCHMARK(BM_PageDownPainted) BROWSER_SIZES;
BENCHMARK(BM_LineDownHidden) BROWSER_SIZES;

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
