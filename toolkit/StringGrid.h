#pragma once
// TStringGrid: a grid of text cells with fixed header rows and columns, painting only the cells
// on screen, with the toolkit's overridable hooks and events for drawing, keys and the mouse.

#include "toolkit/Canvas.h"
#include "toolkit/Events.h"
#include "toolkit/GridTypes.h"
#include "toolkit/Message.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

using TDrawCellEvent = std::function<void(QObject* Sender, int ACol, int ARow, const TRect& Rect,
                                          TGridDrawState State)>;

class TStringGrid : public QAbstractScrollArea {
    Q_OBJECT
    Q_PROPERTY(int ColCount READ ColCount WRITE SetColCount)
    Q_PROPERTY(int RowCount READ RowCount WRITE SetRowCount)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE SetFixedCols)
    Q_PROPERTY(int FixedRows READ FixedRows WRITE SetFixedRows)
    Q_PROPERTY(int DefaultColWidth READ DefaultColWidth WRITE SetDefaultColWidth)
    Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE SetDefaultRowHeight)
    Q_PROPERTY(uint Options READ OptionBits WRITE SetOptionBits)
    Q_PROPERTY(bool DefaultDrawing READ DefaultDrawing WRITE SetDefaultDrawing)

public:
    explicit TStringGrid(QWidget* Owner = nullptr);
    ~TStringGrid() override;

    // Cell texts; an address outside the grid reads as empty and is not written.
    const QString& Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const QString& Value);

    // Sizes. There is always one ordinary row and column: fewer fixed ones than rows and columns.
    // New cells are empty; texts of cells that stay inside the grid are kept.
    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);

    // Pixel sizes; every row is DefaultRowHeight high. Setting DefaultColWidth sets every column.
    int ColWidths(int ACol) const;
    void SetColWidths(int ACol, int Width);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Width);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Height);
    int GridLineWidth() const { return 1; }

    // The current cell, always an ordinary one; setting it collapses the selection onto it and
    // scrolls it into view.
    int Col() const { return FCurrentCol; }
    void SetCol(int ACol);
    int Row() const { return FCurrentRow; }
    void SetRow(int ARow);
    // The selected cells; with goRowSelect they span every ordinary column. Setting it makes
    // (Left, Top) the current cell, clipped to the ordinary cells.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Rect);

    // The first ordinary row shown under the fixed rows, and how many ordinary rows fit wholly.
    int TopRow() const { return FTopRow; }
    void SetTopRow(int ARow);
    int VisibleRowCount() const;

    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    unsigned OptionBits() const { return FOptions.Bits(); }
    void SetOptionBits(unsigned Bits) { SetOptions(TGridOptions::FromBits(Bits)); }
    // When on (the default), DrawCell draws the cell's text; otherwise only OnDrawCell draws.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);

    // The cell's rectangle in viewport pixels; empty when the cell is off screen.
    TRect CellRect(int ACol, int ARow) const;
    // The cell under a viewport point; false when the point lies outside every cell.
    bool MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    // The viewport point of the last mouse press, double-click or release on the grid, for
    // handlers that are told only that something happened (OnDblClick).
    QPoint MousePoint() const { return FMousePoint; }

    // The canvas DrawCell and OnDrawCell draw on, bound while the grid paints.
    TCanvas& Canvas() { return FCanvas; }
    // Repaints at once; Invalidate repaints at the next event-loop turn.
    void Refresh();
    void Invalidate();

    // Delivers a window message to the grid and returns its Result.
    int32_t Perform(uint32_t Msg, int32_t WParam, int32_t LParam);
    void Perform(TMessage& Message);

    TDrawCellEvent OnDrawCell;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TCellHintEvent OnCellHint;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;

signals:
    // ColCount or RowCount changed (already in effect).
    void GridSizeChanged();

protected:
    // Paints one visible cell onto Canvas, whose brush and font colours are set for its state
    // and whose rectangle is already filled: the text (when DefaultDrawing), then OnDrawCell.
    virtual void DrawCell(int ACol, int ARow, const TRect& Rect, TGridDrawState State);
    // Fires OnKeyDown, then moves the current cell for the key unless the handler zeroed it.
    // Enter, Insert and Delete come down once per press; a held key's repeats of them are used
    // up unseen (toolkit/KeyRepeat.h), while the other keys repeat as usual.
    virtual void KeyDown(uint16_t& Key, TShiftState Shift);
    virtual void KeyUp(uint16_t& Key, TShiftState Shift); // fires OnKeyUp
    // The printable text a key typed, after its KeyDown left the key alone (as WM_CHAR follows
    // WM_KEYDOWN): fires OnKeyPress. Text emptied means used; otherwise the key goes on to the
    // window.
    virtual void KeyPress(QString& Text);
    // The tooltip of the cell under the mouse: OnCellHint's text, none without it.
    virtual QString CellHint(int ACol, int ARow);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DblClick(); // fires OnDblClick
    virtual void DoEnter();  // the grid became the focused control: fires OnEnter
    // Whether a key that went down is the grid's own, asked before KeyDown: such a key does not
    // go on to the window (whose default button would otherwise answer Enter, too).
    virtual bool UsesKey(uint16_t Key, TShiftState Shift) const;
    // Message dispatch: WM_COMMAND goes to WMCommand, anything else to DefaultHandler.
    virtual void WndProc(TMessage& Message);
    virtual void WMCommand(TMessage& Message); // the grid has no child controls: default result
    virtual void DefaultHandler(TMessage& Message); // Result 0

    bool viewportEvent(QEvent* Event) override; // tooltips
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void scrollContentsBy(int Dx, int Dy) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    size_t CellIndex(int ACol, int ARow) const {
        return static_cast<size_t>(ARow) * static_cast<size_t>(FColCount) +
               static_cast<size_t>(ACol);
    }
    void ResizeCells(int NewColCount, int NewRowCount);
    void SizeChanged();
    // Moves the current cell (clipped to the ordinary cells); the anchor follows unless Extend.
    void MoveCurrent(int ACol, int ARow, bool Extend);
    void ScrollIntoView(int ACol, int ARow);
    int ClampTopRow(int ARow) const;
    void UpdateScrollBars();

    int ColLineWidth() const;
    int RowLineWidth() const;
    int RowPitch() const; // a row and the line below it
    int FixedWidth() const;
    int FixedHeight() const;
    int OrdinaryColumnOffset(int ACol) const; // from the first ordinary column, unscrolled
    int ColumnLeft(int ACol) const;           // viewport x
    int RowTop(int ARow) const;               // viewport y of a fixed row or one from TopRow
    int ColAt(int X) const;                   // ColCount past the last column
    int RowAt(int Y) const;                   // may lie past the last row
    bool IsRowVisible(int ARow) const;

    void PaintCells(QPainter& Painter, const QRect& Dirty, bool FixedColumns);
    void PaintCell(QPainter& Painter, int ACol, int ARow, const TRect& Rect);
    void PaintLines(QPainter& Painter, int ACol, int ARow, const TRect& Rect);
    void PaintFocus(QPainter& Painter);
    TGridDrawState DrawStateOf(int ACol, int ARow) const;
    bool IsHighlighted(TGridDrawState State) const;

    std::vector<QString> FCells; // row-major: row r, column c at r * ColCount + c
    std::vector<int> FColWidths;
    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FCurrentCol = 1;
    int FCurrentRow = 1;
    int FAnchorCol = 1;
    int FAnchorRow = 1;
    int FTopRow = 1;
    int FHorzOffset = 0; // pixels the ordinary columns are scrolled to the left
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    bool FDefaultDrawing = true;
    bool FDragging = false;     // the left button went down on an ordinary cell
    bool FLostToWindow = false; // focus went with the window's activation, not to a sibling
    QPoint FMousePoint;
    TCanvas FCanvas;
};
