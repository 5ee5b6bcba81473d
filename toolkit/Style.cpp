#include "toolkit/Style.h"

#include <QStyleFactory>

TToolkitStyle::TToolkitStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int TToolkitStyle::styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                             QStyleHintReturn* ReturnData) const {
    switch (Hint) {
    case SH_LineEdit_PasswordCharacter:
        return '*';
    case SH_LineEdit_PasswordMaskDelay:
        return 0;
    default:
        return QProxyStyle::styleHint(Hint, Option, Widget, ReturnData);
    }
}
