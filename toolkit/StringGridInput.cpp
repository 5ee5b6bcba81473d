// Keyboard, mouse and focus input of TStringGrid, turned into the toolkit's hooks.
#include "toolkit/KeyMap.h"
#include "toolkit/KeyRepeat.h"
#include "toolkit/StringGrid.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>

namespace {

// The modifiers of a key event and the mouse buttons held meanwhile.
TShiftState KeyShiftState(const QKeyEvent& Event) {
    return ShiftStateOf(Event.modifiers(), QGuiApplication::mouseButtons());
}

bool IsNavigationKey(uint16_t Key) {
    switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

// Keys that act on a record (open, add, delete it) act once per press; held, the others repeat.
bool ActsOncePerPress(uint16_t Key) {
    return Key == VK_RETURN || Key == VK_INSERT || Key == VK_DELETE;
}

// What a key typed, when it typed printable text; shortcuts with Ctrl or Alt type nothing.
QString TypedText(const QKeyEvent& Event) {
    if (Event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    const QString Text = Event.text();
    const bool Printable =
        std::all_of(Text.begin(), Text.end(), [](QChar C) { return C.isPrint(); });
    return Printable ? Text : QString();
}

} // namespace

// --- Qt events ---

void TStringGrid::keyPressEvent(QKeyEvent* Event) {
    uint16_t Key = VirtualKeyOf(Event->key());
    if (ActsOncePerPress(Key) && IsKeyRepeat(*Event)) {
        // Used up here: a held Del would otherwise delete one record after another.
        Event->accept();
        return;
    }
    const bool IsVirtualKey = Key != 0;
    bool Used = false;
    if (IsVirtualKey) {
        const TShiftState Shift = KeyShiftState(*Event);
        // Asked first: the handling may change what the grid acts on.
        const bool Own = UsesKey(Key, Shift);
        KeyDown(Key, Shift);
        Used = Key == 0 || Own;
    }
    QString Text = TypedText(*Event);
    if (!Used && !Text.isEmpty()) {
        KeyPress(Text);
        Used = Text.isEmpty();
    }
    if (!IsVirtualKey && !Used) {
        QAbstractScrollArea::keyPressEvent(Event);
        return;
    }
    // Keys the grid neither used nor had consumed (Enter, Escape...) go on to the window, so
    // that its default and cancel buttons still work.
    Event->setAccepted(Used);
}

void TStringGrid::keyReleaseEvent(QKeyEvent* Event) {
    uint16_t Key = VirtualKeyOf(Event->key());
    // A held key repeats its key-down only; it goes up once, when it is released.
    if (Key == 0 || Event->isAutoRepeat()) {
        QAbstractScrollArea::keyReleaseEvent(Event);
        return;
    }
    const TShiftState Shift = KeyShiftState(*Event);
    const bool Used = UsesKey(Key, Shift);
    KeyUp(Key, Shift);
    Event->setAccepted(Key == 0 || Used);
}

void TStringGrid::mousePressEvent(QMouseEvent* Event) {
    const auto Button = MouseButtonOf(Event->button());
    if (!Button) {
        Event->ignore();
        return;
    }
    const QPoint At = Event->position().toPoint();
    FMousePoint = At;
    MouseDown(*Button, ShiftStateOf(Event->modifiers(), Event->buttons()), At.x(), At.y());
}

void TStringGrid::mouseMoveEvent(QMouseEvent* Event) {
    if (!FDragging || !(Event->buttons() & Qt::LeftButton))
        return;
    // Dragging past the top or bottom scrolls a row at a time; the row is clipped to the grid.
    const QPoint At = Event->position().toPoint();
    const int Row = At.y() < FixedHeight() ? FTopRow - 1 : RowAt(At.y());
    const int Col = FOptions.Contains(goRowSelect) ? FCurrentCol : ColAt(std::max(At.x(), 0));
    MoveCurrent(Col, Row, FOptions.Contains(goRangeSelect));
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* Event) {
    const auto Button = MouseButtonOf(Event->button());
    if (!Button) {
        Event->ignore();
        return;
    }
    if (*Button == TMouseButton::mbLeft)
        FDragging = false;
    const QPoint At = Event->position().toPoint();
    FMousePoint = At;
    MouseUp(*Button, ShiftStateOf(Event->modifiers(), Event->buttons()), At.x(), At.y());
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* Event) {
    const auto Button = MouseButtonOf(Event->button());
    if (!Button) {
        Event->ignore();
        return;
    }
    // As on Windows: the double-click event first, then the second press, marked ssDouble.
    const QPoint At = Event->position().toPoint();
    FMousePoint = At;
    if (*Button == TMouseButton::mbLeft)
        DblClick();
    MouseDown(*Button, ShiftStateOf(Event->modifiers(), Event->buttons()) + TShiftState{ssDouble},
              At.x(), At.y());
}

void TStringGrid::focusInEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusInEvent(Event);
    viewport()->update();
    // Coming back with its window is no entering: the grid stayed its window's focused control.
    const bool BackWithWindow = FLostToWindow && (Event->reason() == Qt::ActiveWindowFocusReason ||
                                                  Event->reason() == Qt::PopupFocusReason);
    FLostToWindow = false;
    if (!BackWithWindow)
        DoEnter();
}

void TStringGrid::focusOutEvent(QFocusEvent* Event) {
    QAbstractScrollArea::focusOutEvent(Event);
    FDragging = false;
    FLostToWindow =
        Event->reason() == Qt::ActiveWindowFocusReason || Event->reason() == Qt::PopupFocusReason;
    viewport()->update();
}

// --- hooks ---

void TStringGrid::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
    if (Key == 0)
        return;

    const bool RowSelect = FOptions.Contains(goRowSelect);
    const bool Ctrl = Shift.Contains(ssCtrl);
    const bool Extend = Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect);
    const int Page = VisibleRowCount();
    int Col = FCurrentCol;
    int Row = FCurrentRow;
    switch (Key) {
    case VK_UP:
        --Row;
        break;
    case VK_DOWN:
        ++Row;
        break;
    case VK_LEFT: // whole rows have no columns to move between: Left acts as Up
        (RowSelect ? Row : Col) -= 1;
        break;
    case VK_RIGHT:
        (RowSelect ? Row : Col) += 1;
        break;
    case VK_PRIOR:
        Row -= Page;
        SetTopRow(FTopRow - Page);
        break;
    case VK_NEXT:
        Row += Page;
        SetTopRow(FTopRow + Page);
        break;
    case VK_HOME:
        if (Ctrl || RowSelect)
            Row = FFixedRows;
        if (Ctrl || !RowSelect)
            Col = FFixedCols;
        break;
    case VK_END:
        if (Ctrl || RowSelect)
            Row = FRowCount - 1;
        if (Ctrl || !RowSelect)
            Col = FColCount - 1;
        break;
    default:
        return;
    }
    MoveCurrent(Col, Row, Extend);
}

void TStringGrid::KeyUp(uint16_t& Key, TShiftState Shift) {
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TStringGrid::KeyPress(QString& Text) {
    if (OnKeyPress)
        OnKeyPress(this, Text);
}

void TStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    int Col = 0;
    int Row = 0;
    if (Button == TMouseButton::mbLeft && MouseToCell(X, Y, Col, Row) && Col >= FFixedCols &&
        Row >= FFixedRows) {
        FDragging = true;
        MoveCurrent(Col, Row, Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect));
    }
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TStringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TStringGrid::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TStringGrid::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

QString TStringGrid::CellHint(int ACol, int ARow) {
    return OnCellHint ? OnCellHint(this, ACol, ARow) : QString();
}

bool TStringGrid::viewportEvent(QEvent* Event) {
    if (Event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(Event);
    const auto* Help = static_cast<QHelpEvent*>(Event);
    int Col = 0;
    int Row = 0;
    QString Hint;
    if (MouseToCell(Help->pos().x(), Help->pos().y(), Col, Row))
        Hint = CellHint(Col, Row);
    if (Hint.isEmpty()) {
        QToolTip::hideText();
        Event->ignore();
        return true;
    }
    // The tooltip goes when the mouse leaves the cell.
    const TRect Cell = CellRect(Col, Row);
    QToolTip::showText(Help->globalPos(), Hint, viewport(),
                       QRect(Cell.Left, Cell.Top, Cell.Width(), Cell.Height()));
    return true;
}

bool TStringGrid::UsesKey(uint16_t Key, TShiftState /*Shift*/) const {
    return IsNavigationKey(Key);
}
