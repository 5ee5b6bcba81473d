// The program pelorin: finds its help file beside its own executable and the user file where
// the command line, the system-wide setting or, without either, the executable's directory puts
// it (UserFileLocation.h), opens the user file for writing (which locks it), runs the logon and
// what follows, and halts, which writes the user file back. Exit codes: 0 on every path that
// had a display, a failed open of the user file included; 1 without a display (Application.h)
// or when it goes away during the run (Qt's own, after the halt); 64 for a wrong command line,
// 70 without the standard descriptors or the memory for the file's users, 78 for settings that
// are not understood (CommandLine.h).

#include "app/CommandLine.h"
#include "app/Common.h"
#include "app/LogonDispatch.h"
#include "app/OpenForRun.h"
#include "app/UserFileLocation.h"
#include "runtime/Audit.h"
#include "runtime/File.h"
#include "runtime/Path.h"
#include "runtime/Settings.h"
#include "store/User.h"
#include "toolkit/Application.h"
#include "toolkit/TerminationSignals.h"

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

std::string UsersFileName;

namespace {

// What every message about the user file shows below its text (and on stderr beside it).
std::string UsersFileDetail;

int ShowStoreMessage(const std::string& Text, const std::string& Caption, int Flags) {
    return Application.MessageBox(QString::fromStdString(Text), QString::fromStdString(Caption),
                                  Flags, QString::fromStdString(UsersFileDetail));
}

// --help, --version or a wrong call: answered on the terminal, before anything else happens.
std::optional<int> AnswerCommandLine(int Argc, char** Argv, TProgramArguments& Arguments) {
    const std::vector<std::string_view> Args(Argv + (Argc > 0 ? 1 : 0), Argv + Argc);
    try {
        Arguments = ParseProgramArguments(Args);
    } catch (const TProgramUsageError& E) {
        std::fprintf(stderr, "pelorin: %s\n\n%s\nOpis opcji: pelorin --help\n", E.what(),
                     ProgramSynopsis().c_str());
        return ProgramExitUsage;
    }
    switch (Arguments.Action) {
    case TProgramArguments::TAction::Help:
        std::fputs(ProgramUsage(SettingsPath()).c_str(), stdout);
        return 0;
    case TProgramArguments::TAction::Version:
        std::fputs("pelorin (Pelorin) " PELORIN_VERSION "\n", stdout);
        return 0;
    case TProgramArguments::TAction::Run:
        break;
    }
    return std::nullopt;
}

} // namespace

int main(int Argc, char** Argv) {
    // Before anything is opened: a user file must never become standard input or output.
    if (!OpenStandardDescriptors())
        return ProgramExitInternal;
    TProgramArguments Arguments;
    if (const std::optional<int> Answered = AnswerCommandLine(Argc, Argv, Arguments))
        return *Answered;
    // Over a file-size limit the write then fails with EFBIG and the failed save is reported,
    // instead of the process being killed half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    // Each save that changes the users is logged, as the shadow tools log theirs.
    TSyslogAudit Audit("pelorin");
    SetAuditSink(&Audit);
    const std::string ExeDir = ExtractFileDir(Application.ExeName());
    Application.HelpFile = AddBackslash(ExeDir) + "pelorin.hlp";
    std::optional<TUserFileLocation> Location;
    std::string SettingsProblem;
    try {
        Location = LocateUserFile(Arguments.UserFile, ExeDir);
    } catch (const TSettingsError& E) {
        // Said at once: without a display the program ends in Initialize.
        SettingsProblem = E.what();
        std::fprintf(stderr, "pelorin: %s\n", SettingsProblem.c_str());
    }
    // Qt gets no arguments of its own: the command line above is the whole interface.
    int QtArgc = Argc > 0 ? 1 : 0;
    Application.Initialize(QtArgc, Argv);
    if (!Location) {
        Application.MessageBox(QString::fromStdString(SettingsProblem), QString(), mbError);
        Application.Finalize();
        return ProgramExitSettings;
    }
    // Qt ends the process from inside the run when the display goes away: the halt still saves
    // the user file, once.
    Application.OnExitWhileRunning(FinalizeUsers);
    UsersFileName = Location->Path;
    UsersFileDetail = UserFileDetail(*Location);
    SetStoreMessageBox(ShowStoreMessage);
    int ExitCode = 0;
    {
        // Installed before the file is locked, so that no signal can end the run unsaved.
        TTerminationSignals Signals;
        const int Code = OpenUserFileForRun(*Users, UsersFileName);
        if (Code == OpenOutOfMemory) {
            ShowStoreMessage(OutOfMemoryText, std::string(), mbError);
            ExitCode = ProgramExitInternal;
        } else if (Code != ueOk) {
            Users->ShowUserFileError(Code);
        } else {
            RunLogonDispatch();
        }
        // The halt: the store is saved (or, when the open failed, only freed) while the
        // application object can still show a failed save's message.
        FinalizeUsers();
    }
    SetStoreMessageBox({});
    Application.Finalize();
    return ExitCode;
}
