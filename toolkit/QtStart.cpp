#include "toolkit/QtStart.h"

#include <QApplication>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Qt's messages while the application is created: shown afterwards when it was, dropped for
// the one clear line when it could not be.
struct THeldMessage {
    QtMsgType Type;
    std::string File;
    int Line;
    std::string Function;
    std::string Category;
    QString Text;
};

std::mutex HeldLock;
std::vector<THeldMessage> Held;
std::string ProgramName;

[[noreturn]] void EndWithoutDisplay() {
    const char* Display = std::getenv("DISPLAY");
    std::string Line = ProgramName + ": brak dostępu do ekranu (";
    Line += Display && *Display ? "DISPLAY=" + std::string(Display)
                                : std::string("zmienna DISPLAY nie jest ustawiona");
    Line += ")\n";
    std::fputs(Line.c_str(), stderr);
    std::fflush(nullptr);
    // Not exit(): the half-made Qt application must not be torn down.
    std::_Exit(1);
}

void HoldMessage(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
    // Qt's only fatal message while it starts: no platform plugin could be initialised.
    if (Type == QtFatalMsg)
        EndWithoutDisplay();
    const auto Copy = [](const char* S) { return S ? std::string(S) : std::string(); };
    const std::lock_guard Guard(HeldLock);
    Held.push_back({Type, Copy(Context.file), Context.line, Copy(Context.function),
                    Copy(Context.category), Text});
}

} // namespace

std::unique_ptr<QApplication> StartQtApplication(int& Argc, char** Argv) {
    ProgramName = Argc > 0 && Argv[0] ? std::filesystem::path(Argv[0]).filename().string()
                                      : std::string("pelorin");
    const QtMessageHandler Previous = qInstallMessageHandler(HoldMessage);
    auto App = std::make_unique<QApplication>(Argc, Argv);
    qInstallMessageHandler(Previous);
    std::vector<THeldMessage> Messages;
    {
        const std::lock_guard Guard(HeldLock);
        Messages.swap(Held);
    }
    for (const THeldMessage& M : Messages) {
        const auto Or = [](const std::string& S) { return S.empty() ? nullptr : S.c_str(); };
        const QMessageLogContext Context(Or(M.File), M.Line, Or(M.Function), Or(M.Category));
        qt_message_output(M.Type, Context, M.Text);
    }
    return App;
}
