#include "toolkit/Cp1250Validator.h"

#include "runtime/Cp1250.h"

namespace {

bool Allowed(char32_t Ch) {
    // Control characters (a pasted tab or line break) have no place in a name or password.
    if (Ch < 0x20 || Ch == 0x7F || (Ch >= 0x80 && Ch < 0xA0))
        return false;
    return IsCp1250Char(Ch);
}

} // namespace

bool IsCp1250Text(const QString& Text) {
    for (const char32_t Ch : Text.toUcs4())
        if (!Allowed(Ch))
            return false;
    return true;
}

QValidator::State TCp1250Validator::validate(QString& Input, int& /*Pos*/) const {
    return IsCp1250Text(Input) ? Acceptable : Invalid;
}

std::string ToCp1250(const QString& Text) {
    QString Kept;
    Kept.reserve(Text.size());
    for (const char32_t Ch : Text.toUcs4())
        if (Allowed(Ch))
            Kept.append(QString::fromUcs4(&Ch, 1));
    return Utf8ToCp1250(Kept.toStdString()).value_or(std::string());
}

QString FromCp1250(std::string_view Bytes) {
    return QString::fromStdString(Cp1250ToUtf8(Bytes));
}
