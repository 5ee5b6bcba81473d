#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

TMessageBoxLayout MessageBoxLayout(int Flags) {
    using B = QMessageBox;
    TMessageBoxLayout L;
    switch (Flags & 0xF0) {
    case MB_ICONERROR:
        L.Icon = B::Critical;
        break;
    case MB_ICONQUESTION:
        L.Icon = B::Question;
        break;
    case MB_ICONWARNING:
        L.Icon = B::Warning;
        break;
    case MB_ICONINFORMATION:
        L.Icon = B::Information;
        break;
    default:
        break;
    }
    switch (Flags & 0x0F) {
    case MB_OKCANCEL:
        L.Buttons = {B::Ok, B::Cancel};
        L.Escape = B::Cancel;
        break;
    case MB_ABORTRETRYIGNORE:
        // No Cancel button: Windows ignores Esc here, so the box only closes by a choice.
        L.Buttons = {B::Abort, B::Retry, B::Ignore};
        break;
    case MB_YESNOCANCEL:
        L.Buttons = {B::Yes, B::No, B::Cancel};
        L.Escape = B::Cancel;
        break;
    case MB_YESNO:
        L.Buttons = {B::Yes, B::No};
        break;
    case MB_RETRYCANCEL:
        L.Buttons = {B::Retry, B::Cancel};
        L.Escape = B::Cancel;
        break;
    default: // MB_OK and anything unknown: one OK button, which Esc presses too
        L.Buttons = {B::Ok};
        L.Escape = B::Ok;
        break;
    }
    return L;
}

int MessageBoxResult(QMessageBox::StandardButton Button) {
    switch (Button) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Abort:
        return IDABORT;
    case QMessageBox::Retry:
        return IDRETRY;
    case QMessageBox::Ignore:
        return IDIGNORE;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDOK;
    }
}

int MessageBoxDismissResult(int Flags) {
    const QMessageBox::StandardButton Escape = MessageBoxLayout(Flags).Escape;
    return Escape != QMessageBox::NoButton ? MessageBoxResult(Escape) : IDCANCEL;
}

namespace {

QString ButtonCaption(QMessageBox::StandardButton Button) {
    switch (Button) {
    case QMessageBox::Cancel:
        return QStringLiteral("Anuluj");
    case QMessageBox::Abort:
        return QStringLiteral("Przerwij");
    case QMessageBox::Retry:
        return QStringLiteral("Ponów");
    case QMessageBox::Ignore:
        return QStringLiteral("Ignoruj");
    case QMessageBox::Yes:
        return QStringLiteral("Tak");
    case QMessageBox::No:
        return QStringLiteral("Nie");
    default:
        return QStringLiteral("OK");
    }
}

} // namespace

int ShowQtMessageBox(const QString& Text, const QString& Caption, int Flags,
                     const QString& Detail) {
    const TMessageBoxLayout L = MessageBoxLayout(Flags);
    QWidget* Parent = QApplication::activeModalWidget();
    if (!Parent)
        Parent = QApplication::activeWindow();
    // Qt shows the application's name in place of an empty title; a blank keeps it empty.
    const QString Title = Caption.isEmpty() ? QStringLiteral(" ") : Caption;
    QMessageBox Box(L.Icon, Title, Text, QMessageBox::NoButton, Parent);
    Box.setTextFormat(Qt::PlainText);
    if (!Detail.isEmpty()) {
        Box.setInformativeText(Detail);
        // A path is no markup; Qt 6.4 leaves the detail's label to guess.
        if (auto* Label = Box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
            Label->setTextFormat(Qt::PlainText);
    }
    for (const QMessageBox::StandardButton B : L.Buttons)
        Box.addButton(B)->setText(ButtonCaption(B));
    Box.setDefaultButton(L.Buttons.front());
    // Without an escape button Qt would let Esc and the close box pick a button by itself.
    if (L.Escape != QMessageBox::NoButton)
        Box.setEscapeButton(L.Escape);
    else
        Box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    Box.exec();
    // A box closed from outside (the program is being ended) answers as Esc would.
    if (!Box.clickedButton())
        return MessageBoxDismissResult(Flags);
    return MessageBoxResult(Box.standardButton(Box.clickedButton()));
}
