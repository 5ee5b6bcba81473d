// list and check: readers, which take no lock and so work while the program runs.
#include "tools/Commands.h"
#include "tools/Listing.h"
#include "tools/StoreAccess.h"
#include "tools/ToolError.h"

#include <iostream>

int RunList(const TArguments& Args) {
    TUserManager Store;
    OpenOrFail(Store, Args.FileName, false);
    std::cout << (Args.Json ? JsonListing(Store) : PlainListing(Store));
    return ExitOk;
}

int RunCheck(const TArguments& Args) {
    TUserManager Store;
    OpenOrFail(Store, Args.FileName, false);
    std::cout << Store.Count() << '\n';
    return ExitOk;
}
