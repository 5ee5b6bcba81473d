#include "toolkit/BitBtn.h"

#include <QPushButton>
#include <QStyle>
#include <QVariant>

TBitBtnKind BitBtnKind(const QAbstractButton* Button) {
    const QString Kind = Button->property("kind").toString();
    if (Kind == QLatin1String("ok"))
        return TBitBtnKind::Ok;
    if (Kind == QLatin1String("cancel"))
        return TBitBtnKind::Cancel;
    if (Kind == QLatin1String("help"))
        return TBitBtnKind::Help;
    return TBitBtnKind::Custom;
}

QString BitBtnCaption(TBitBtnKind Kind) {
    switch (Kind) {
    case TBitBtnKind::Ok:
        return QStringLiteral("OK");
    case TBitBtnKind::Cancel:
        return QStringLiteral("Anuluj");
    case TBitBtnKind::Help:
        return QStringLiteral("Pomoc");
    case TBitBtnKind::Custom:
        break;
    }
    return {};
}

void DecorateBitBtn(QPushButton* Button, TBitBtnKind Kind) {
    QStyle::StandardPixmap Glyph;
    switch (Kind) {
    case TBitBtnKind::Ok:
        Glyph = QStyle::SP_DialogOkButton;
        break;
    case TBitBtnKind::Cancel:
        Glyph = QStyle::SP_DialogCancelButton;
        break;
    case TBitBtnKind::Help:
        Glyph = QStyle::SP_DialogHelpButton;
        break;
    case TBitBtnKind::Custom:
    default:
        return;
    }
    if (Button->text().isEmpty())
        Button->setText(BitBtnCaption(Kind));
    Button->setIcon(Button->style()->standardIcon(Glyph, nullptr, Button));
}
