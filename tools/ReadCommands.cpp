// list and check: readers, which take no lock and so work while the program runs.
#include "tools/Commands.h"
#include "tools/Listing.h"
#include "tools/StoreAccess.h"
#include "tools/ToolError.h"

#include <cstdio>
#include <iostream>
#include <sys/stat.h>

namespace {

// Anyone who can read the file can recover every password from it, so its permissions are its
// only protection: a mode that lets others in is worth a word, though the file itself is sound.
void WarnWhenOthersHaveAccess(const std::string& FileName) {
    struct stat St {};
    if (::stat(FileName.c_str(), &St) != 0 || (St.st_mode & (S_IROTH | S_IWOTH)) == 0)
        return;
    char Mode[8];
    std::snprintf(Mode, sizeof Mode, "%04o", static_cast<unsigned>(St.st_mode & 07777));
    std::cerr << "Ostrzeżenie: prawa pliku z użytkownikami (" << Mode
              << ") dają dostęp innym użytkownikom systemu; zalecane 0660 lub 0600\n";
}

} // namespace

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
    WarnWhenOthersHaveAccess(Args.FileName);
    return ExitOk;
}
