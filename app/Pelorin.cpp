// The program pelorin: finds the help file and the user file "UsrPass.dat" beside its own
// executable, opens the user file for writing (which locks it), runs the logon and what follows,
// and halts, which writes the user file back. The exit code is 0 on every path that had a
// display; without one the program ends with 1 before it opens the file (Application.h), and
// when the display goes away during the run it ends with Qt's 1 after the halt.

#include "app/Common.h"
#include "app/LogonDispatch.h"
#include "runtime/Audit.h"
#include "runtime/File.h"
#include "runtime/Path.h"
#include "store/User.h"
#include "toolkit/Application.h"
#include "toolkit/TerminationSignals.h"

#include <csignal>
#include <string>

std::string UsersFileName;

namespace {

int ShowStoreMessage(const std::string& Text, const std::string& Caption, int Flags) {
    return Application.MessageBox(QString::fromStdString(Text), QString::fromStdString(Caption),
                                  Flags);
}

} // namespace

int main(int Argc, char** Argv) {
    // Before anything is opened: a user file must never become standard input or output.
    if (!OpenStandardDescriptors())
        return 0;
    // Over a file-size limit the write then fails with EFBIG and the failed save is reported,
    // instead of the process being killed half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    // Each save that changes the users is logged, as the shadow tools log theirs.
    TSyslogAudit Audit("pelorin");
    SetAuditSink(&Audit);
    const std::string ExeDir = ExtractFileDir(Application.ExeName());
    Application.HelpFile = AddBackslash(ExeDir) + "pelorin.hlp";
    Application.Initialize(Argc, Argv);
    // Qt ends the process from inside the run when the display goes away: the halt still saves
    // the user file, once.
    Application.OnExitWhileRunning(FinalizeUsers);
    SetStoreMessageBox(ShowStoreMessage);
    {
        // Installed before the file is locked, so that no signal can end the run unsaved.
        TTerminationSignals Signals;
        UsersFileName = AddBackslash(ExeDir) + "UsrPass.dat";
        if (const int Code = Users->Open(UsersFileName, true); Code != ueOk)
            Users->ShowUserFileError(Code);
        else
            RunLogonDispatch();
        // The halt: the store is saved (or, when the open failed, only freed) while the
        // application object can still show a failed save's message.
        FinalizeUsers();
    }
    SetStoreMessageBox({});
    Application.Finalize();
    return 0;
}
