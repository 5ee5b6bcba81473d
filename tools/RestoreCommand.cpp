// restore: the previous version of the user file, which every save that changed the users keeps
// as "PLIK-", back in the file's place. Saved as any change is, so the contents it replaces become
// the new previous version and a restore can itself be undone.
#include "runtime/FileRewrite.h"
#include "tools/Commands.h"
#include "tools/StoreAccess.h"
#include "tools/ToolError.h"

#include <memory>

int RunRestore(const TArguments& Args) {
    // The lock first: while the program runs, nothing is restored under its feet.
    TUserManager Store;
    OpenOrFail(Store, Args.FileName, true);
    const std::string PreviousPath = PreviousVersionPath(Args.FileName);
    TUserManager Previous;
    const int Loaded = Previous.Open(PreviousPath, false);
    if (Loaded == ueNoFile)
        throw TToolError(ExitData,
                         "Brak poprzedniej wersji pliku z użytkownikami: " + PreviousPath);
    if (Loaded != ueOk)
        throw TToolError(ExitData,
                         "Poprzedniej wersji pliku z użytkownikami nie można przywrócić: " +
                             PreviousPath + ": " + UserFileErrorText(Loaded));

    Store.Clear();
    Store.SetCapacity(Previous.Count());
    for (int I = 0; I < Previous.Count(); ++I) {
        auto User = std::make_unique<TUserC>(Previous.Items(I)->Rec);
        Store.Add(User.get());
        User.release();
    }
    Store.Header.LastId = Previous.Header.LastId;
    return SaveStore(Store);
}
