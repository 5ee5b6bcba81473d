// diff: what changed from one user file to another, users matched by Id. A reader of both files,
// so it works while the program runs; never shows a password, only that one changed.
#include "tools/ChangeReport.h"
#include "tools/Commands.h"
#include "tools/ToolError.h"

#include <iostream>

namespace {

// Each message names the file it is about, as only diff has two.
std::vector<TUserRec> LoadToRead(const std::string& FileName) {
    TUserManager Store;
    const int Result = Store.Open(FileName, false);
    if (Result != ueOk)
        throw TToolError(Result, FileName + ": " + UserFileErrorText(Result));
    return UserRecords(Store);
}

} // namespace

int RunDiff(const TArguments& Args) {
    const std::vector<TUserRec> Old = LoadToRead(Args.FileName);
    const std::vector<TUserRec> New = LoadToRead(Args.NewFileName);
    std::cout << ChangeReport(Old, New, Args.Json ? TReportForm::Json : TReportForm::Text);
    return ExitOk;
}
