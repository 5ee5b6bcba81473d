// Painting of TStringGrid: only the cells that intersect the repainted area of the viewport.
#include "toolkit/StringGrid.h"

#include <QPaintEvent>
#include <QPainter>
#include <utility>

namespace {

QRect WithLines(const TRect& Rect, int ColLine, int RowLine) {
    return QRect(Rect.Left, Rect.Top, Rect.Width() + ColLine, Rect.Height() + RowLine);
}

} // namespace

void TStringGrid::paintEvent(QPaintEvent* Event) {
    QPainter Painter(viewport());
    const QRect Dirty = Event->rect();
    Painter.fillRect(Dirty, palette().color(QPalette::Base));
    const TCanvas::TPainting Bound(FCanvas, Painter);
    FCanvas.SetFont(font());

    // Ordinary columns scroll under the fixed ones: clip them to the right of the fixed area.
    Painter.save();
    Painter.setClipRect(QRect(FixedWidth(), 0, viewport()->width(), viewport()->height()));
    PaintCells(Painter, Dirty, false);
    Painter.restore();
    PaintCells(Painter, Dirty, true);
    PaintFocus(Painter);
}

void TStringGrid::PaintCells(QPainter& Painter, const QRect& Dirty, bool FixedColumns) {
    const int Width = viewport()->width();
    const int Height = viewport()->height();
    const int ClipLeft = FixedColumns ? 0 : FixedWidth();

    std::vector<std::pair<int, int>> Columns; // column, left edge
    int Left = FixedColumns ? 0 : FixedWidth() - FHorzOffset;
    for (int C = FixedColumns ? 0 : FFixedCols; C < (FixedColumns ? FFixedCols : FColCount); ++C) {
        const int Next = Left + FColWidths[static_cast<size_t>(C)] + ColLineWidth();
        if (Left >= Width)
            break;
        if (Next > ClipLeft)
            Columns.emplace_back(C, Left);
        Left = Next;
    }

    const auto PaintRow = [&](int R) {
        const int Top = RowTop(R);
        for (const auto& [C, CellLeft] : Columns) {
            const TRect Rect{CellLeft, Top, CellLeft + FColWidths[static_cast<size_t>(C)],
                             Top + FDefaultRowHeight};
            if (!WithLines(Rect, ColLineWidth(), RowLineWidth()).intersects(Dirty))
                continue;
            PaintCell(Painter, C, R, Rect);
            PaintLines(Painter, C, R, Rect);
        }
    };
    for (int R = 0; R < FFixedRows; ++R)
        PaintRow(R);
    for (int R = FTopRow; R < FRowCount && RowTop(R) < Height; ++R)
        PaintRow(R);
}

TGridDrawState TStringGrid::DrawStateOf(int ACol, int ARow) const {
    TGridDrawState State;
    if (ACol < FFixedCols || ARow < FFixedRows)
        return State.Include(gdFixed);
    const TGridRect Sel = Selection();
    if (ACol >= Sel.Left && ACol <= Sel.Right && ARow >= Sel.Top && ARow <= Sel.Bottom)
        State.Include(gdSelected);
    if (hasFocus() && ACol == FCurrentCol && ARow == FCurrentRow)
        State.Include(gdFocused);
    return State;
}

bool TStringGrid::IsHighlighted(TGridDrawState State) const {
    // The focused cell of a cell selection shows by its focus frame, the rest by highlight.
    return State.Contains(gdSelected) &&
           (!State.Contains(gdFocused) || FOptions.Contains(goRowSelect) ||
            FOptions.Contains(goDrawFocusSelected));
}

void TStringGrid::PaintCell(QPainter& Painter, int ACol, int ARow, const TRect& Rect) {
    const TGridDrawState State = DrawStateOf(ACol, ARow);
    const QPalette& Colors = palette();
    if (State.Contains(gdFixed)) {
        FCanvas.SetBrushColor(Colors.color(QPalette::Button));
        FCanvas.SetFontColor(Colors.color(QPalette::ButtonText));
    } else if (IsHighlighted(State)) {
        FCanvas.SetBrushColor(Colors.color(QPalette::Highlight));
        FCanvas.SetFontColor(Colors.color(QPalette::HighlightedText));
    } else {
        FCanvas.SetBrushColor(Colors.color(QPalette::Base));
        FCanvas.SetFontColor(Colors.color(QPalette::Text));
    }
    FCanvas.FillRect(Rect);
    DrawCell(ACol, ARow, Rect, State);

    if (State.Contains(gdFixed) && !Rect.IsEmpty()) {
        // A raised edge sets the header apart from the data.
        const QRect Edge = ToQRect(Rect);
        Painter.setPen(Colors.color(QPalette::Light));
        Painter.drawLine(Edge.topLeft(), Edge.topRight());
        Painter.drawLine(Edge.topLeft(), Edge.bottomLeft());
        Painter.setPen(Colors.color(QPalette::Mid));
        Painter.drawLine(Edge.bottomLeft(), Edge.bottomRight());
        Painter.drawLine(Edge.topRight(), Edge.bottomRight());
    }
}

void TStringGrid::PaintLines(QPainter& Painter, int ACol, int ARow, const TRect& Rect) {
    const bool Fixed = ACol < FFixedCols || ARow < FFixedRows;
    const QColor Line = palette().color(Fixed ? QPalette::Dark : QPalette::Midlight);
    if (FOptions.Contains(Fixed ? goFixedVertLine : goVertLine))
        Painter.fillRect(
            QRect(Rect.Right, Rect.Top, ColLineWidth(), Rect.Height() + RowLineWidth()), Line);
    if (FOptions.Contains(Fixed ? goFixedHorzLine : goHorzLine))
        Painter.fillRect(
            QRect(Rect.Left, Rect.Bottom, Rect.Width() + ColLineWidth(), RowLineWidth()), Line);
}

void TStringGrid::PaintFocus(QPainter& Painter) {
    if (!hasFocus() || !IsRowVisible(FCurrentRow))
        return;
    TRect Frame = CellRect(FCurrentCol, FCurrentRow);
    if (FOptions.Contains(goRowSelect)) {
        const int Last = FColCount - 1;
        Frame = {std::max(FixedWidth(), ColumnLeft(FFixedCols)), RowTop(FCurrentRow),
                 ColumnLeft(Last) + FColWidths[static_cast<size_t>(Last)],
                 RowTop(FCurrentRow) + FDefaultRowHeight};
    }
    if (Frame.IsEmpty())
        return;
    const bool OnHighlight = IsHighlighted(DrawStateOf(FCurrentCol, FCurrentRow));
    Painter.setPen(QPen(palette().color(OnHighlight ? QPalette::HighlightedText : QPalette::Text),
                        1, Qt::DotLine));
    Painter.setBrush(Qt::NoBrush);
    Painter.drawRect(QRect(Frame.Left, Frame.Top, Frame.Width() - 1, Frame.Height() - 1));
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& Rect, TGridDrawState State) {
    if (FDefaultDrawing) {
        FCanvas.SetTextAlign(TA_LEFT | TA_TOP);
        FCanvas.ExtTextOut(Rect.Left + 2, Rect.Top + 2, ETO_CLIPPED, Rect, Cells(ACol, ARow));
    }
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, Rect, State);
}
