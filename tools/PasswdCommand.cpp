#include "tools/Commands.h"
#include "tools/Cp1250Input.h"
#include "tools/PasswordInput.h"
#include "tools/StoreAccess.h"
#include "tools/ToolError.h"

int RunPasswd(const TArguments& Args) {
    const std::string Name = LookupNameToCp1250(Args.UserName);
    // Opened for writing first: a locked or unknown file fails before anybody types a password.
    TUserManager Store;
    OpenOrFail(Store, Args.FileName, true);
    TUserC* User = FindByUserName(Store, Name);
    if (User == nullptr)
        throw TToolError(ExitData, NoSuchUserText(Args.UserName));

    const std::string Password =
        PasswordToCp1250(Args.PasswordStdin ? ReadPasswordFromStdin() : AskPasswordTwice());
    if (Args.Net)
        User->SetNetPass(Password);
    else
        User->SetPass(Password);
    // Save has shown its own message when it failed; the file is then as it was.
    return Store.Save() ? ExitOk : ExitSaveFailed;
}
