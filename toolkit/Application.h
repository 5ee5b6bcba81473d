#pragma once
// The application object, one per program: the global Application.
//
//   Application.HelpFile = Dir + "pelorin.hlp";  // any time
//   Application.Initialize(argc, argv);          // creates the Qt application; GUI work after it
//   Application.OnExitWhileRunning(Halt);        // the display went away: Halt still runs
//   TLogonWnd Wnd(nullptr, ...); Wnd.ShowModal(); // modal dialogs, freed by their creator
//   Application.CreateForm(MainForm);            // the first form so created is the main form
//   Application.Run();                           // shows it; returns when it has closed
//   Application.Finalize();                      // at the very end; frees the created forms
//
// Every message box goes through MessageBox (flags and results in toolkit/MessageBox.h);
// SetMessageBoxHook replaces the real box, e.g. in tests, to record and answer.
// Terminate() ends the run from outside (a signal): it closes the open dialogs as Cancel,
// makes later ShowModal calls return mrCancel at once and later boxes go to stderr only.
//
// Without a display Initialize cannot create the Qt application: it writes one line on stderr
// and ends the process with exit code 1 (instead of Qt's abort). Qt's X11 platform plugin ends
// the process with exit() when the display goes away during the run; OnExitWhileRunning
// arranges for that case (see there).

#include "toolkit/Form.h"
#include "toolkit/HelpWindow.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QApplication;

using TMessageBoxHook = std::function<int(const QString& Text, const QString& Caption, int Flags)>;

class TApplication {
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Full path of the running executable (works before Initialize).
    std::string ExeName() const;
    // Full path of the help file that HelpContext opens.
    std::string HelpFile;

    void Initialize(int& Argc, char** Argv);
    bool Initialized() const { return FQtApp != nullptr; }
    void Finalize();

    // When the process ends (exit()) between Initialize and Finalize, as Qt's X11 platform
    // plugin ends it when the display goes away: the open forms get their FormClose as on
    // Cancel (their windows are not touched), Halt runs once, before the static objects are
    // destroyed, and message boxes go to stderr. The Qt objects are then left to the end of the
    // process: Qt's own globals may already be gone, and destroying them would crash. Call it
    // after Initialize.
    void OnExitWhileRunning(std::function<void()> Halt);

    // Creates a form of class T (owner: the application) and keeps it until Finalize.
    template <class T> void CreateForm(T*& Reference) {
        auto Form = std::make_unique<T>(nullptr);
        Reference = Form.get();
        AdoptForm(std::move(Form));
    }
    TForm* MainForm() const { return FMainForm; }
    // Runs the message loop while the main form is open.
    void Run();

    void Terminate();
    bool Terminated() const { return FTerminated; }

    // Opens the help file at the topic Context in the help window.
    void HelpContext(int Context);
    THelpWindow* HelpWindow() const { return FHelpWindow; } // the open one, if any

    // A Detail goes below the text in the box and, with the text, to stderr as one line: a
    // program started from a menu leaves it in the session's log too.
    int MessageBox(const QString& Text, const QString& Caption, int Flags,
                   const QString& Detail = QString());
    void SetMessageBoxHook(TMessageBoxHook Hook); // an empty hook restores the real box

private:
    void AdoptForm(std::unique_ptr<TForm> Form);
    void ExitWhileRunning();

    int FArgc = 0;
    std::unique_ptr<QApplication> FQtApp;
    std::vector<std::unique_ptr<TForm>> FForms;
    TForm* FMainForm = nullptr;
    QPointer<THelpWindow> FHelpWindow;
    TMessageBoxHook FMessageBoxHook;
    std::function<void()> FExitHalt;
    bool FTerminated = false;
    bool FRunning = false;
};

extern TApplication Application;
