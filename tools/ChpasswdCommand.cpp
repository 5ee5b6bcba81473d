// chpasswd: many passwords from standard input, all set in one save or none.
#include "tools/Commands.h"
#include "tools/PasswordLines.h"
#include "tools/StandardInput.h"
#include "tools/StoreAccess.h"

int RunChpasswd(const TArguments& Args) {
    TUserManager Store;
    OpenOrFail(Store, Args.FileName, true);
    ApplyPasswordLines(Store, ParsePasswordLines(ReadStandardInput()), Args.Net);
    return SaveStore(Store);
}
