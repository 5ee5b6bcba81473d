// restore: the previous version of the user file, which every save that changed the users keeps
// as "PLIK-", or a backup (--from), back in the file's place. The file as it was becomes the new
// previous version, so a restore can itself be undone; a restore that could not keep it refuses.
// A damaged file, or one that is no user file, is kept aside under a name that says so, and the
// previous version stays; a missing file is made anew.
#include "runtime/FileRewrite.h"
#include "store/UserManager.h"
#include "tools/ChangeReport.h"
#include "tools/Commands.h"
#include "tools/Messages.h"
#include "tools/NewUserFile.h"
#include "tools/ToolError.h"

#include <ctime>
#include <iostream>

namespace {

// The source of the restore, loaded: --from, or the previous version beside the file.
std::string LoadSource(TUserManager& Source, const TArguments& Args, const TPinnedDirectory& Dir) {
    const std::string Previous = PreviousVersionName(Dir.FileName());
    const std::string Name = Args.From ? *Args.From : Dir.PathOf(Previous);
    const int Loaded =
        Args.From ? Source.Open(*Args.From, false) : Source.OpenAt(Dir, Previous, false);
    if (Loaded == ueNoFile && !Args.From)
        throw TToolError(ExitData, "brak poprzedniej wersji pliku z użytkownikami: " + Name +
                                       "; kopię zapasową przywraca usrpass restore PLIK --from "
                                       "KOPIA");
    if (Loaded != ueOk)
        throw TToolError(ExitData, Name + ": " + UserFileErrorText(Loaded) +
                                       "; tego pliku nie można przywrócić");
    return Name;
}

// "UsrPass.dat.damaged-20261209-175300": what the bytes are, and since when.
std::string AsideName(const std::string& FileName) {
    const std::time_t Now = std::time(nullptr);
    std::tm Local{};
    char Stamp[32] = {};
    if (::localtime_r(&Now, &Local) != nullptr)
        std::strftime(Stamp, sizeof Stamp, "%Y%m%d-%H%M%S", &Local);
    return FileName + ".damaged-" + Stamp;
}

// --dry-run: what the restore would change, as diff shows it; the file as it is counts as no
// users when it is damaged or missing.
int Preview(const TArguments& Args, const TUserManager& Store, const TUserManager& Source) {
    std::cout << ChangeReport(UserRecords(Store), UserRecords(Source),
                              Args.Json ? TReportForm::Json : TReportForm::Text);
    return ExitOk;
}

int Report(const TArguments& Args, TRewriteResult Result, const std::string& File,
           const std::string& Source, const std::string& Aside) {
    switch (Result) {
    case TRewriteResult::Replaced:
    case TRewriteResult::ReplacedNotFlushed:
    case TRewriteResult::WrittenInPlace:
        if (Result == TRewriteResult::ReplacedNotFlushed)
            std::cerr << SaveNotDurableText << '\n';
        if (!Aside.empty())
            Warn(Args.FileName, "plik był uszkodzony; przywrócono " + Source +
                                    ", a uszkodzony plik zachowano jako " + Aside);
        return ExitOk;
    case TRewriteResult::Refused:
        throw TToolError(
            ExitSaveFailed,
            std::string("nie przywrócono, bo ") +
                (Aside.empty() ? "bieżącej wersji nie można by zachować jako poprzedniej"
                               : "uszkodzonego pliku nie można by zachować obok") +
                " (katalog nie pozwala tworzyć plików, plik ma inne dowiązania twarde, jego "
                "właściciela nie da się zachować albo system plików nie ma dowiązań twardych); "
                "nic nie zmieniono. Przywróć jako właściciel katalogu lub root albo ręcznie, gdy "
                "nikt nie zmienia użytkowników, po zachowaniu bieżącej wersji gdzie indziej: cp " +
                File + " ~/kopia.dat && cp " + Source + " " + File);
    case TRewriteResult::Failed:
        break;
    }
    throw TToolError(ExitSaveFailed, SaveFailedText);
}

// The file is missing: made anew from the source, as init makes a file.
int RestoreMissing(const TArguments& Args) {
    TNewUserFile NewFile(Args.FileName);
    TUserManager Source;
    const std::string SourceName = LoadSource(Source, Args, NewFile.Directory());
    TUserManager Store;
    if (Store.OpenAt(NewFile.Directory(), NewFile.TempName(), true) != ueOk)
        throw TToolError(ueCreate, UserFileErrorText(ueCreate));
    if (Args.DryRun) {
        TUserManager Nobody;
        return Preview(Args, Nobody, Source);
    }
    Store.AuditAsNewFile();
    const std::string File = NewFile.Directory().FilePath();
    const TRewriteResult Result = Store.RestoreFrom(Source, SourceName, {});
    if (Result != TRewriteResult::Failed && Result != TRewriteResult::Refused)
        NewFile.Publish();
    return Report(Args, Result, File, SourceName, {});
}

} // namespace

int RunRestore(const TArguments& Args) {
    // The lock first: while the program runs, nothing is restored under its feet.
    TUserManager Store;
    const int Opened = Store.OpenForRestore(Args.FileName);
    if (Opened == ueNoFile)
        return RestoreMissing(Args);
    if (Opened != ueOk && Opened != ueBadFile && Opened != ueDamaged)
        throw TToolError(Opened, UserFileErrorText(Opened));
    const TPinnedDirectory& Dir = Store.Directory();
    TUserManager Source;
    const std::string SourceName = LoadSource(Source, Args, Dir);
    if (Args.DryRun)
        return Preview(Args, Store, Source);
    const std::string Aside = Opened == ueOk ? std::string() : AsideName(Dir.FileName());
    // Named before the restore, which lets the directory go with the file.
    const std::string File = Dir.FilePath();
    const std::string AsidePath = Aside.empty() ? Aside : Dir.PathOf(Aside);
    return Report(Args, Store.RestoreFrom(Source, SourceName, Aside), File, SourceName, AsidePath);
}
