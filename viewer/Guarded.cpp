#include "viewer/Guarded.h"

#include "toolkit/Application.h"
#include "toolkit/MessageBox.h"

#include <QString>

#include <exception>

namespace {

void ShowFailure(const char* What) {
    QString Text = QString::fromUtf8(What);
    if (Text.isEmpty())
        Text = QStringLiteral("Nieznany błąd");
    Application.MessageBox(Text, QString(), MB_ICONERROR | MB_OK);
}

} // namespace

void RunGuarded(const std::function<void()>& Call) {
    try {
        Call();
    } catch (const std::exception& Failure) {
        ShowFailure(Failure.what());
    } catch (...) {
        ShowFailure("");
    }
}
