#include "toolkit/Application.h"

#include "toolkit/HelpFile.h"
#include "toolkit/HelpWindow.h"
#include "toolkit/KeyRepeat.h"
#include "toolkit/MessageBox.h"
#include "toolkit/QtStart.h"
#include "toolkit/Style.h"

#include <QApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

TApplication Application;

TApplication::TApplication() = default;

TApplication::~TApplication() {
    Finalize();
}

std::string TApplication::ExeName() const {
    std::error_code Error;
    const std::filesystem::path Exe = std::filesystem::read_symlink("/proc/self/exe", Error);
    return Error ? std::string() : Exe.string();
}

void TApplication::Initialize(int& Argc, char** Argv) {
    if (FQtApp)
        return;
    FArgc = Argc;
    FQtApp = StartQtApplication(FArgc, Argv);
    QApplication::setStyle(new TToolkitStyle);
    // The program ends when its own flow says so, not when a window happens to be the last.
    QApplication::setQuitOnLastWindowClosed(false);
    // From the start: a key held down when a window opens is known as held there.
    WatchKeyRepeats();
    FTerminated = false;
}

void TApplication::Finalize() {
    if (!FQtApp)
        return;
    delete FHelpWindow.data();
    FForms.clear();
    FMainForm = nullptr;
    FQtApp.reset();
}

void TApplication::OnExitWhileRunning(std::function<void()> Halt) {
    FExitHalt = std::move(Halt);
    // Registered after Qt's start, so it runs before the static objects made until then are
    // destroyed (the program's own among them).
    static const bool Registered = std::atexit([] { Application.ExitWhileRunning(); }) == 0;
    (void)Registered;
}

void TApplication::ExitWhileRunning() {
    if (!FQtApp)
        return; // the program ended in order
    FTerminated = true;
    TForm::CancelModalsAtExit();
    if (const std::function<void()> Halt = std::exchange(FExitHalt, {}))
        Halt();
    // Kept reachable, so that a leak checker does not count them.
    struct TKept {
        std::unique_ptr<QApplication> QtApp;
        std::vector<std::unique_ptr<TForm>> Forms;
    };
    [[maybe_unused]] static const TKept* const Kept =
        new TKept{std::move(FQtApp), std::move(FForms)};
    FMainForm = nullptr;
}

void TApplication::AdoptForm(std::unique_ptr<TForm> Form) {
    TForm* Adopted = Form.get();
    FForms.push_back(std::move(Form));
    if (FMainForm)
        return;
    FMainForm = Adopted;
    QObject::connect(Adopted, &QDialog::finished, Adopted, [this] {
        if (FRunning)
            QCoreApplication::quit();
    });
}

void TApplication::Run() {
    if (!FQtApp || !FMainForm || FTerminated)
        return;
    FMainForm->show();
    FRunning = true;
    QApplication::exec();
    FRunning = false;
}

void TApplication::Terminate() {
    FTerminated = true;
    if (!FQtApp)
        return;
    if (FHelpWindow)
        FHelpWindow->close();
    // Innermost first: each Cancel lets its ShowModal return once the loops unwind.
    QPointer<QWidget> Previous;
    while (QPointer<QWidget> Modal = QApplication::activeModalWidget()) {
        if (Modal == Previous) {
            Modal->hide(); // it refused to close; it must not keep the program alive
            continue;
        }
        Previous = Modal;
        if (auto* Dialog = qobject_cast<QDialog*>(Modal.data()))
            Dialog->reject();
        else
            Modal->hide();
    }
    if (FMainForm && FMainForm->isVisible()) {
        FMainForm->Close();
        FMainForm->hide();
    }
    if (FRunning)
        QCoreApplication::quit();
}

void TApplication::HelpContext(int Context) {
    if (!FQtApp)
        return;
    const THelpText Help = ReadHelpFile(HelpFile);
    if (!Help.Html) {
        MessageBox(Help.Error, QString(), MB_ICONERROR | MB_OK);
        return;
    }
    if (!HasHelpContext(*Help.Html, Context)) {
        MessageBox(QStringLiteral("W pliku pomocy nie ma tematu nr %1.").arg(Context), QString(),
                   MB_ICONERROR | MB_OK);
        return;
    }
    // A window outside the open modal dialog would be blocked by it, so the help window
    // belongs to that dialog while it is open.
    QWidget* Parent = QApplication::activeModalWidget();
    if (FHelpWindow && FHelpWindow->parentWidget() != Parent)
        delete FHelpWindow.data();
    if (!FHelpWindow)
        FHelpWindow = new THelpWindow(Parent);
    FHelpWindow->ShowTopic(*Help.Html, Context);
}

int TApplication::MessageBox(const QString& Text, const QString& Caption, int Flags,
                             const QString& Detail) {
    if (FMessageBoxHook)
        return FMessageBoxHook(Text, Caption, Flags);
    const bool Shown = FQtApp && !FTerminated;
    // A detail (the file a message is about) goes to stderr with the text, so that a program
    // started from a menu leaves it in the session's log; without a window (now) the text must
    // not be lost either.
    if (!Detail.isEmpty()) {
        QString Line = Text + QStringLiteral(": ") + Detail;
        Line.replace(QLatin1Char('\n'), QLatin1Char(' '));
        std::fprintf(stderr, "%s: %s\n", program_invocation_short_name,
                     Line.toLocal8Bit().constData());
    } else if (!Shown) {
        std::fprintf(stderr, "%s\n", Text.toLocal8Bit().constData());
    }
    if (!Shown)
        return MessageBoxDismissResult(Flags);
    return ShowQtMessageBox(Text, Caption, Flags, Detail);
}

void TApplication::SetMessageBoxHook(TMessageBoxHook Hook) {
    FMessageBoxHook = std::move(Hook);
}
