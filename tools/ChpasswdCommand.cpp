// chpasswd: many passwords from standard input, all set in one save or none.
#include "tools/Commands.h"
#include "tools/PasswordLines.h"
#include "tools/StandardInput.h"
#include "tools/StoreAccess.h"

int RunChpasswd(const TArguments& Args) {
    // Read before the lock is taken, so that a slow writer of the input never holds it.
    const std::string Input = ReadStandardInput();
    TUserManager Store;
    OpenOrFail(Store, Args.FileName, true);
    ApplyPasswordLines(Store, ParsePasswordLines(Input), Args.Net);
    return SaveStore(Store);
}
