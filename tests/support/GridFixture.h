#pragma once
// A string grid of known geometry, shown offscreen: no frame and no scroll bars, 3 columns of
// 60 pixels, rows 20 pixels high with a 1-pixel line below, one header row and exactly ten
// whole data rows on screen (viewport 200 x 231).

#include "toolkit/StringGrid.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>
#include <ostream>
#include <type_traits>

// Readable failure messages for the grid's value types.
inline void PrintTo(const TGridRect& R, std::ostream* Out) {
    *Out << "cells {" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << "}";
}
inline void PrintTo(const TRect& R, std::ostream* Out) {
    *Out << "pixels {" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << "}";
}
template <typename E> void PrintTo(const TEnumSet<E>& Set, std::ostream* Out) {
    *Out << "set 0x" << std::hex << Set.Bits() << std::dec;
}

constexpr int kPitch = 21; // row height and line

template <typename TGrid = TStringGrid> class TGridFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Grid.setFrameStyle(QFrame::NoFrame);
        Grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        Grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        Grid.SetColCount(3);
        Grid.SetFixedCols(0);
        Grid.SetRowCount(100);
        Grid.SetDefaultColWidth(60);
        Grid.SetDefaultRowHeight(20);
        // The viewer keeps its own options; their line widths give the same row pitch.
        if constexpr (std::is_same_v<TGrid, TStringGrid>)
            Grid.SetOptions(
                {goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRowSelect});
        Grid.resize(200, 11 * kPitch);
        Grid.show();
    }

    // The viewport as painted now.
    QImage Render() {
        QImage Image(Grid.viewport()->size(), QImage::Format_RGB32);
        Grid.viewport()->render(&Image);
        return Image;
    }

    // A point inside data row Row (as now scrolled), column Col.
    static QPoint InRow(int Row, int TopRow, int Col = 1) {
        return QPoint(Col * 61 + 30, (1 + Row - TopRow) * kPitch + 10);
    }

    TGrid Grid;
};
