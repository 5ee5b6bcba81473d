#pragma once
// A writing command's one transaction on the user file: opened for writing (the lock held to the
// end, so a preview shows what a real run would meet), changed in memory, then saved once; or,
// with --dry-run, the change shown as usrpass diff shows it and the store dropped: no save, no
// previous version, no audit line.

#include "store/UserManager.h"
#include "store/UserRec.h"
#include "tools/Arguments.h"

#include <vector>

class TTransaction {
public:
    explicit TTransaction(const TArguments& Args); // throws TToolError when the open fails
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;

    TUserManager& Store() { return FStore; }
    // The command's exit code: 0, or 7 when the save failed; with --dry-run the change is
    // printed on standard output and the result is 0.
    int Commit();

private:
    const TArguments& FArgs;
    TUserManager FStore;
    std::vector<TUserRec> FLoaded; // the users as opened, for --dry-run only
};
