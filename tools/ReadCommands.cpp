// list and check: readers, which take no lock and so work while the program runs.
#include "tools/Commands.h"
#include "tools/Listing.h"
#include "tools/Messages.h"
#include "tools/StoreAccess.h"
#include "tools/StrictCheck.h"
#include "tools/ToolError.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Anyone who can read the file can recover every password from it, so its permissions are its
// only protection: a mode that lets others in is worth a word, though the file itself is sound.
void WarnWhenOthersHaveAccess(const std::string& FileName) {
    struct stat St {};
    if (::stat(FileName.c_str(), &St) != 0 || (St.st_mode & (S_IROTH | S_IWOTH)) == 0)
        return;
    char Mode[8];
    std::snprintf(Mode, sizeof Mode, "%04o", static_cast<unsigned>(St.st_mode & 07777));
    Warn(FileName, std::string("prawa pliku z użytkownikami (") + Mode +
                       ") dają dostęp innym użytkownikom systemu; zalecane 0660 lub 0600");
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
    if (!Args.Strict)
        return ExitOk;
    const std::vector<std::string> Findings = StrictFindings(Store);
    for (const std::string& Finding : Findings)
        std::cout << Finding << '\n';
    return Findings.empty() ? ExitOk : ExitFindings;
}
