#include "viewer/Viewer.h"

#include "toolkit/MulDiv.h"
#include "toolkit/Screen.h"
#include "viewer/CellAlignment.h"
#include "viewer/Guarded.h"

TViewer::TViewer(QWidget* Owner) : TStringGrid(Owner) {
    SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goRowSelect});
    SetFixedCols(0);
}

void TViewer::DrawCell(int ACol, int ARow, const TRect& Rect, TGridDrawState State) {
    if (DefaultDrawing())
        DrawCellText(ACol, ARow, Rect);
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, Rect, State);
}

void TViewer::DrawCellText(int ACol, int ARow, const TRect& Rect) {
    TCanvas& Surface = Canvas();
    if (Browser) {
        const int32_t Color = Browser->CellColor(ARow, ACol);
        if (Color != -1) {
            const QColor Saved = Surface.BrushColor();
            Surface.SetBrushColor(ColorRefToQColor(Color));
            Surface.FillRect(Rect);
            Surface.SetBrushColor(Saved);
        }
    }
    const TTextAnchor Anchor = CellTextAnchor(RightText, CenterText, ACol, Rect);
    Surface.SetTextAlign(Anchor.Align);
    // Clipped, not opaque: the grid has already filled the cell for its state, and an opaque
    // output would paint the restored brush colour over the cell's own colour.
    Surface.ExtTextOut(Anchor.X, Anchor.Y, ETO_CLIPPED, Rect, Cells(ACol, ARow));
}

bool TViewer::TextFits(int ACol, int ARow) const {
    QString Text = Cells(ACol, ARow);
    while (Text.endsWith(QLatin1Char(' ')))
        Text.chop(1);
    // The anchor's indent from the edge it is aligned to; centred text has none.
    const TRect Cell{0, 0, ColWidths(ACol), DefaultRowHeight()};
    const TTextAnchor Anchor = CellTextAnchor(RightText, CenterText, ACol, Cell);
    const int Indent = Anchor.Align == TA_CENTER ? 0 : 2;
    return fontMetrics().horizontalAdvance(Text) + Indent <= Cell.Width();
}

void TViewer::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Browser) {
        const uint16_t Pressed = Key;
        RunGuarded([&] { Browser->HandleKey(Pressed, Shift); });
    }
    TStringGrid::KeyDown(Key, Shift);
}

void TViewer::KeyUp(uint16_t& Key, TShiftState Shift) {
    if (Browser)
        RunGuarded([this] { Browser->SyncSelection(); });
    TStringGrid::KeyUp(Key, Shift);
}

void TViewer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TStringGrid::MouseUp(Button, Shift, X, Y);
    if (Browser)
        RunGuarded([this] { Browser->SyncSelection(); });
}

void TViewer::DblClick() {
    TStringGrid::DblClick();
    if (Browser)
        RunGuarded([this] { Browser->OpenSelected(); });
}

bool TViewer::UsesKey(uint16_t Key, TShiftState Shift) const {
    return TStringGrid::UsesKey(Key, Shift) || (Browser && Browser->ActsOnKey(Key, Shift));
}

void TViewer::DoEnter() {
    TStringGrid::DoEnter();
    if (ScalePending)
        ScaleToScreen();
}

void TViewer::ScaleToScreen() {
    ScalePending = false;
    // A resolution of zero or less has no meaning; scaling by it would wreck every size.
    if (PixelsPerInch <= 0)
        return;
    const int32_t Dpi = Screen.PixelsPerInch();
    SetDefaultRowHeight(MulDiv(DefaultRowHeight(), Dpi, PixelsPerInch));
    for (int C = 0; C < ColCount(); ++C)
        SetColWidths(C, MulDiv(ColWidths(C), Dpi, PixelsPerInch));
}

void TViewer::WMCommand(TMessage& Message) {
    TStringGrid::WMCommand(Message);
    if (OnCommand)
        OnCommand(Message);
}
