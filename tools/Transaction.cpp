#include "tools/Transaction.h"

#include "tools/ChangeReport.h"
#include "tools/StoreAccess.h"

#include <iostream>

TTransaction::TTransaction(const TArguments& Args) : FArgs(Args) {
    OpenOrFail(FStore, Args.FileName, true);
    if (Args.DryRun)
        FLoaded = UserRecords(FStore);
}

int TTransaction::Commit() {
    if (!FArgs.DryRun)
        return SaveStore(FStore);
    // The store is never saved: its file closes, and the lock goes, when it is destroyed.
    std::cout << ChangeReport(FLoaded, UserRecords(FStore),
                              FArgs.Json ? TReportForm::Json : TReportForm::Text);
    return 0;
}
