// The grid's model: cell texts, sizes, the current cell and selection, geometry, scrolling and
// messages. Painting and input live in StringGridPaint.cpp and StringGridInput.cpp.
#include "toolkit/StringGrid.h"

#include <QScrollBar>
#include <algorithm>
#include <numeric>

TStringGrid::TStringGrid(QWidget* Owner) : QAbstractScrollArea(Owner) {
    FCells.resize(static_cast<size_t>(FColCount) * static_cast<size_t>(FRowCount));
    FColWidths.assign(static_cast<size_t>(FColCount), FDefaultColWidth);
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted in paintEvent; the viewport need not be erased first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(1);
    UpdateScrollBars();
}

TStringGrid::~TStringGrid() = default;

// --- cells and sizes ---

const QString& TStringGrid::Cells(int ACol, int ARow) const {
    static const QString Empty;
    if (ACol < 0 || ACol >= FColCount || ARow < 0 || ARow >= FRowCount)
        return Empty;
    return FCells[CellIndex(ACol, ARow)];
}

void TStringGrid::SetCells(int ACol, int ARow, const QString& Value) {
    if (ACol < 0 || ACol >= FColCount || ARow < 0 || ARow >= FRowCount)
        return;
    FCells[CellIndex(ACol, ARow)] = Value;
    // Off-screen cells cost nothing more than the assignment.
    if (IsRowVisible(ARow))
        viewport()->update();
}

void TStringGrid::ResizeCells(int NewColCount, int NewRowCount) {
    const auto NewSize = static_cast<size_t>(NewColCount) * static_cast<size_t>(NewRowCount);
    if (NewColCount == FColCount) {
        FCells.resize(NewSize); // row-major: whole rows come and go at the end
    } else {
        std::vector<QString> Moved(NewSize);
        const int KeptCols = std::min(FColCount, NewColCount);
        const int KeptRows = std::min(FRowCount, NewRowCount);
        for (int R = 0; R < KeptRows; ++R)
            for (int C = 0; C < KeptCols; ++C)
                Moved[static_cast<size_t>(R) * static_cast<size_t>(NewColCount) +
                      static_cast<size_t>(C)] = std::move(FCells[CellIndex(C, R)]);
        FCells.swap(Moved);
        FColWidths.resize(static_cast<size_t>(NewColCount), FDefaultColWidth);
    }
    FColCount = NewColCount;
    FRowCount = NewRowCount;
    SizeChanged();
    emit GridSizeChanged();
}

void TStringGrid::SetColCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == FColCount)
        return;
    FFixedCols = std::min(FFixedCols, Value - 1);
    ResizeCells(Value, FRowCount);
}

void TStringGrid::SetRowCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == FRowCount)
        return;
    FFixedRows = std::min(FFixedRows, Value - 1);
    ResizeCells(FColCount, Value);
}

void TStringGrid::SetFixedCols(int Value) {
    Value = std::clamp(Value, 0, FColCount - 1);
    if (Value == FFixedCols)
        return;
    FFixedCols = Value;
    SizeChanged();
}

void TStringGrid::SetFixedRows(int Value) {
    Value = std::clamp(Value, 0, FRowCount - 1);
    if (Value == FFixedRows)
        return;
    FFixedRows = Value;
    SizeChanged();
}

int TStringGrid::ColWidths(int ACol) const {
    if (ACol < 0 || ACol >= FColCount)
        return 0;
    return FColWidths[static_cast<size_t>(ACol)];
}

void TStringGrid::SetColWidths(int ACol, int Width) {
    if (ACol < 0 || ACol >= FColCount)
        return;
    FColWidths[static_cast<size_t>(ACol)] = std::max(Width, 0);
    SizeChanged();
}

void TStringGrid::SetDefaultColWidth(int Width) {
    FDefaultColWidth = std::max(Width, 0);
    std::fill(FColWidths.begin(), FColWidths.end(), FDefaultColWidth);
    SizeChanged();
}

void TStringGrid::SetDefaultRowHeight(int Height) {
    // At least one pixel, so that a page always holds a whole number of rows.
    FDefaultRowHeight = std::max(Height, 1);
    SizeChanged();
}

void TStringGrid::SetOptions(TGridOptions Value) {
    FOptions = Value;
    if (!FOptions.Contains(goRangeSelect)) {
        FAnchorCol = FCurrentCol;
        FAnchorRow = FCurrentRow;
    }
    SizeChanged(); // the line options change the cells' pitch
}

void TStringGrid::SetDefaultDrawing(bool Value) {
    FDefaultDrawing = Value;
    viewport()->update();
}

// Keeps the current cell, the anchor and the top row inside the ordinary cells after a change
// of counts or sizes.
void TStringGrid::SizeChanged() {
    const auto ClampCol = [this](int C) { return std::clamp(C, FFixedCols, FColCount - 1); };
    const auto ClampRow = [this](int R) { return std::clamp(R, FFixedRows, FRowCount - 1); };
    FCurrentCol = ClampCol(FCurrentCol);
    FCurrentRow = ClampRow(FCurrentRow);
    FAnchorCol = ClampCol(FAnchorCol);
    FAnchorRow = ClampRow(FAnchorRow);
    UpdateScrollBars();
    viewport()->update();
}

// --- current cell and selection ---

void TStringGrid::SetCol(int ACol) {
    MoveCurrent(ACol, FCurrentRow, false);
}

void TStringGrid::SetRow(int ARow) {
    MoveCurrent(FCurrentCol, ARow, false);
}

TGridRect TStringGrid::Selection() const {
    TGridRect Rect{std::min(FCurrentCol, FAnchorCol), std::min(FCurrentRow, FAnchorRow),
                   std::max(FCurrentCol, FAnchorCol), std::max(FCurrentRow, FAnchorRow)};
    if (FOptions.Contains(goRowSelect)) {
        Rect.Left = FFixedCols;
        Rect.Right = FColCount - 1;
    }
    return Rect;
}

void TStringGrid::SetSelection(const TGridRect& Rect) {
    FAnchorCol = std::clamp(Rect.Right, FFixedCols, FColCount - 1);
    FAnchorRow = std::clamp(Rect.Bottom, FFixedRows, FRowCount - 1);
    MoveCurrent(Rect.Left, Rect.Top, true);
}

void TStringGrid::MoveCurrent(int ACol, int ARow, bool Extend) {
    FCurrentCol = std::clamp(ACol, FFixedCols, FColCount - 1);
    FCurrentRow = std::clamp(ARow, FFixedRows, FRowCount - 1);
    if (!Extend) {
        FAnchorCol = FCurrentCol;
        FAnchorRow = FCurrentRow;
    }
    ScrollIntoView(FCurrentCol, FCurrentRow);
    viewport()->update();
}

// --- geometry ---

int TStringGrid::ColLineWidth() const {
    return FOptions.Contains(goFixedVertLine) || FOptions.Contains(goVertLine) ? GridLineWidth()
                                                                               : 0;
}

int TStringGrid::RowLineWidth() const {
    return FOptions.Contains(goFixedHorzLine) || FOptions.Contains(goHorzLine) ? GridLineWidth()
                                                                               : 0;
}

int TStringGrid::RowPitch() const {
    return FDefaultRowHeight + RowLineWidth();
}

int TStringGrid::FixedWidth() const {
    const auto End = FColWidths.begin() + FFixedCols;
    return std::accumulate(FColWidths.begin(), End, 0) + FFixedCols * ColLineWidth();
}

int TStringGrid::FixedHeight() const {
    return FFixedRows * RowPitch();
}

int TStringGrid::OrdinaryColumnOffset(int ACol) const {
    const auto Begin = FColWidths.begin() + FFixedCols;
    return std::accumulate(Begin, FColWidths.begin() + ACol, 0) +
           (ACol - FFixedCols) * ColLineWidth();
}

int TStringGrid::ColumnLeft(int ACol) const {
    if (ACol < FFixedCols)
        return std::accumulate(FColWidths.begin(), FColWidths.begin() + ACol, 0) +
               ACol * ColLineWidth();
    return FixedWidth() - FHorzOffset + OrdinaryColumnOffset(ACol);
}

int TStringGrid::RowTop(int ARow) const {
    if (ARow < FFixedRows)
        return ARow * RowPitch();
    return FixedHeight() + (ARow - FTopRow) * RowPitch();
}

int TStringGrid::VisibleRowCount() const {
    const int Available = viewport()->height() - FixedHeight();
    // A row counts when its cell fits; the line below it may fall outside.
    const int Whole = std::max(0, Available + RowLineWidth()) / RowPitch();
    return std::clamp(Whole, 1, FRowCount - FFixedRows);
}

bool TStringGrid::IsRowVisible(int ARow) const {
    if (ARow < FFixedRows)
        return true;
    return ARow >= FTopRow && RowTop(ARow) < viewport()->height();
}

TRect TStringGrid::CellRect(int ACol, int ARow) const {
    if (ACol < 0 || ACol >= FColCount || ARow < 0 || ARow >= FRowCount || !IsRowVisible(ARow))
        return {};
    const int Left = ColumnLeft(ACol);
    const int Width = FColWidths[static_cast<size_t>(ACol)];
    if (Left >= viewport()->width() || (ACol >= FFixedCols && Left + Width <= FixedWidth()))
        return {};
    const int Top = RowTop(ARow);
    return {Left, Top, Left + Width, Top + FDefaultRowHeight};
}

int TStringGrid::RowAt(int Y) const {
    if (Y < FixedHeight())
        return Y / RowPitch();
    return FTopRow + (Y - FixedHeight()) / RowPitch();
}

int TStringGrid::ColAt(int X) const {
    int Left = 0;
    int First = 0;
    if (X >= FixedWidth()) {
        Left = FixedWidth() - FHorzOffset;
        First = FFixedCols;
    }
    for (int C = First; C < FColCount; ++C) {
        Left += FColWidths[static_cast<size_t>(C)] + ColLineWidth();
        if (X < Left)
            return C;
    }
    return FColCount;
}

bool TStringGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    if (X < 0 || Y < 0)
        return false;
    const int C = ColAt(X);
    const int R = RowAt(Y);
    if (C >= FColCount || R >= FRowCount)
        return false;
    ACol = C;
    ARow = R;
    return true;
}

// --- scrolling ---

int TStringGrid::ClampTopRow(int ARow) const {
    const int Last = std::max(FFixedRows, FRowCount - VisibleRowCount());
    return std::clamp(ARow, FFixedRows, Last);
}

void TStringGrid::SetTopRow(int ARow) {
    FTopRow = ClampTopRow(ARow);
    verticalScrollBar()->setValue(FTopRow - FFixedRows);
    viewport()->update();
}

void TStringGrid::ScrollIntoView(int ACol, int ARow) {
    const int Visible = VisibleRowCount();
    if (ARow < FTopRow)
        SetTopRow(ARow);
    else if (ARow >= FTopRow + Visible)
        SetTopRow(ARow - Visible + 1);

    if (FOptions.Contains(goRowSelect))
        return;
    const int Left = OrdinaryColumnOffset(ACol);
    const int Right = Left + FColWidths[static_cast<size_t>(ACol)];
    const int Available = viewport()->width() - FixedWidth();
    if (Left < FHorzOffset)
        horizontalScrollBar()->setValue(Left);
    else if (Right > FHorzOffset + Available)
        horizontalScrollBar()->setValue(std::min(Left, Right - Available));
}

void TStringGrid::UpdateScrollBars() {
    const int Visible = VisibleRowCount();
    QScrollBar* Vertical = verticalScrollBar();
    Vertical->setRange(0, std::max(0, FRowCount - FFixedRows - Visible));
    Vertical->setPageStep(Visible);
    FTopRow = ClampTopRow(FTopRow);
    Vertical->setValue(FTopRow - FFixedRows);

    const int Content = OrdinaryColumnOffset(FColCount);
    const int Available = std::max(0, viewport()->width() - FixedWidth());
    QScrollBar* Horizontal = horizontalScrollBar();
    Horizontal->setRange(0, std::max(0, Content - Available));
    Horizontal->setPageStep(std::max(1, Available));
    Horizontal->setSingleStep(std::max(1, FDefaultColWidth / 4));
    FHorzOffset = Horizontal->value();
}

void TStringGrid::scrollContentsBy(int, int) {
    FTopRow = FFixedRows + verticalScrollBar()->value();
    FHorzOffset = horizontalScrollBar()->value();
    viewport()->update();
}

void TStringGrid::resizeEvent(QResizeEvent* Event) {
    QAbstractScrollArea::resizeEvent(Event);
    UpdateScrollBars();
}

// --- repainting and messages ---

void TStringGrid::Refresh() {
    viewport()->repaint();
}

void TStringGrid::Invalidate() {
    viewport()->update();
}

int32_t TStringGrid::Perform(uint32_t Msg, int32_t WParam, int32_t LParam) {
    TMessage Message{Msg, WParam, LParam, 0};
    Perform(Message);
    return Message.Result;
}

void TStringGrid::Perform(TMessage& Message) {
    WndProc(Message);
}

void TStringGrid::WndProc(TMessage& Message) {
    if (Message.Msg == WM_COMMAND)
        WMCommand(Message);
    else
        DefaultHandler(Message);
}

void TStringGrid::WMCommand(TMessage& Message) {
    DefaultHandler(Message);
}

void TStringGrid::DefaultHandler(TMessage& Message) {
    Message.Result = 0;
}
