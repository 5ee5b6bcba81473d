#include "toolkit/HelpFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

// Far more than any help text; keeps a wrong file from filling memory.
constexpr qint64 MaxHelpFileSize = 8 * 1024 * 1024;

QString CannotRead(const QString& Name) {
    return QStringLiteral("Nie można otworzyć pliku pomocy:\n%1").arg(Name);
}

} // namespace

QString HelpAnchor(int Context) {
    return QStringLiteral("context-%1").arg(Context);
}

THelpText ReadHelpFile(const std::string& FileName) {
    const QString Name = QFile::decodeName(FileName.c_str());
    THelpText Result;
    const QFileInfo Info(Name);
    if (FileName.empty() || !Info.exists()) {
        Result.Error = QStringLiteral("Brak pliku pomocy:\n%1").arg(Name);
        return Result;
    }
    QFile File(Name);
    if (!Info.isFile() || Info.size() > MaxHelpFileSize || !File.open(QIODevice::ReadOnly)) {
        Result.Error = CannotRead(Name);
        return Result;
    }
    const QByteArray Bytes = File.readAll();
    if (File.error() != QFileDevice::NoError) {
        Result.Error = CannotRead(Name);
        return Result;
    }
    QStringDecoder Decoder(QStringDecoder::Utf8);
    QString Text = Decoder(Bytes);
    if (Decoder.hasError()) {
        Result.Error = QStringLiteral("Plik pomocy jest uszkodzony:\n%1").arg(Name);
        return Result;
    }
    Result.Html = std::move(Text);
    return Result;
}

bool HasHelpContext(const QString& Html, int Context) {
    const QRegularExpression Anchor(
        QStringLiteral(R"(<a\s[^>]*name\s*=\s*["']%1["'])").arg(HelpAnchor(Context)),
        QRegularExpression::CaseInsensitiveOption);
    return Anchor.match(Html).hasMatch();
}
