#include "ui/RightsHint.h"

#include "store/RightCodes.h"

#include <QStringList>

namespace {

QString FromUtf8(std::string_view Text) {
    return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
}

} // namespace

QString RightsHint(uint32_t Rights) {
    QStringList Lines;
    for (const TRightCode& Right : RightCodes) {
        if (Right.Code.empty() || (Rights & Right.Bit) == 0)
            continue;
        QString Line = FromUtf8(Right.Code) + QStringLiteral(" - ");
        if (!Right.Group.empty())
            Line += FromUtf8(Right.Group) + QStringLiteral(": ");
        Lines << Line + FromUtf8(Right.Label);
    }
    return Lines.join(QLatin1Char('\n'));
}
