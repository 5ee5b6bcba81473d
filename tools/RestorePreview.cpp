// restore --dry-run: what putting the previous version back would change, as diff shows it.
// Opened as restore opens the file, with the lock, so that the preview meets what a restore
// would meet; nothing is written.
#include "runtime/FileRewrite.h"
#include "tools/ChangeReport.h"
#include "tools/Commands.h"
#include "tools/StoreAccess.h"
#include "tools/ToolError.h"

#include <iostream>

int RunRestorePreview(const TArguments& Args) {
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
    std::cout << ChangeReport(UserRecords(Store), UserRecords(Previous),
                              Args.Json ? TReportForm::Json : TReportForm::Text);
    return ExitOk;
}
