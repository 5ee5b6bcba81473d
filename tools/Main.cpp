// usrpass: keeps the Zortan user file from the command line; see UsageText for the interface.
#include "runtime/Audit.h"
#include "runtime/File.h"
#include "store/UserManager.h"
#include "tools/Arguments.h"
#include "tools/Commands.h"
#include "tools/Messages.h"
#include "tools/ToolError.h"
#include "tools/UserFileSetting.h"

#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

// "usrpass: " and, when the command works on one user file, its name, as the account tools do.
std::string Prefix(const TArguments& Args) {
    std::string Text = std::string(ProgramName) + ": ";
    const bool OnOneFile = Args.Kind != TCommandKind::Help && Args.Kind != TCommandKind::Version &&
                           Args.Kind != TCommandKind::Diff;
    if (OnOneFile)
        Text += Args.FileName + ": ";
    return Text;
}

int Run(const TArguments& Args) {
    switch (Args.Kind) {
    case TCommandKind::Help:
        std::cout << UsageText;
        return ExitOk;
    case TCommandKind::Version:
        std::cout << "usrpass (Pelorin) " PELORIN_VERSION "\n";
        return ExitOk;
    case TCommandKind::Init:
        return RunInit(Args);
    case TCommandKind::List:
        return RunList(Args);
    case TCommandKind::Check:
        return RunCheck(Args);
    case TCommandKind::Passwd:
        return RunPasswd(Args);
    case TCommandKind::Add:
        return RunAdd(Args);
    case TCommandKind::Set:
        return RunSet(Args);
    case TCommandKind::Del:
        return RunDel(Args);
    case TCommandKind::Chpasswd:
        return RunChpasswd(Args);
    case TCommandKind::Import:
        return RunImport(Args);
    case TCommandKind::Diff:
        return RunDiff(Args);
    case TCommandKind::Restore:
        return RunRestore(Args);
    }
    return ExitInternal;
}

// A listing that did not reach its reader is a failure, not a success.
int FlushOutput(int ExitCode) {
    std::cout.flush();
    if (!std::cout) {
        std::cerr << ProgramName << ": nie można wypisać wyniku\n";
        return ExitCode == ExitOk ? ExitOutput : ExitCode;
    }
    return ExitCode;
}

} // namespace

int main(int argc, char** argv) {
    // Before anything is opened: a user file must never become standard input or output.
    if (!OpenStandardDescriptors())
        return ExitInternal;
    // Over a file-size limit the write then fails with EFBIG and the failed save is reported,
    // instead of the process being killed half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    // Each save that changes the users is logged, as the shadow tools log theirs.
    TSyslogAudit Audit("usrpass");
    SetAuditSink(&Audit);
    const std::vector<std::string_view> Words(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string Said = std::string(ProgramName) + ": ";
    std::string FileFromSettings; // named in the open results' messages, as the caller did not
    try {
        TArguments Args = ParseArguments(Words);
        if (TakeUserFileFromSettings(Args))
            FileFromSettings = Args.FileName;
        Said = Prefix(Args);
        // The store's own messages (a failed save) name the file as well.
        SetStoreMessageBox([Said](const std::string& Text, const std::string&, int) {
            std::cerr << Said << Text << '\n';
            return 1; // the OK button
        });
        return FlushOutput(Run(Args));
    } catch (const TUsageError& E) {
        // The error and the synopsis; the whole text would bury the error above it.
        const std::string_view Usage = UsageText;
        std::cerr << ProgramName << ": " << E.what() << "\n\n"
                  << Usage.substr(0, Usage.find("\n\n") + 1)
                  << "\nOpis poleceń i opcji: usrpass --help\n";
        return ExitUsage;
    } catch (const TToolError& E) {
        const bool OpenResult = E.ExitCode >= ueNoFile && E.ExitCode <= ueDamaged;
        if (*E.what() != '\0')
            std::cerr << Said << E.what()
                      << (OpenResult && !FileFromSettings.empty() ? SettingsFileNote()
                                                                  : std::string())
                      << '\n';
        return FlushOutput(E.ExitCode);
    } catch (const std::exception& E) {
        std::cerr << Said << E.what() << '\n';
        return ExitInternal;
    }
}
