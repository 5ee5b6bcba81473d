#include "runtime/Audit.h"
#include "store/Rights.h"
#include "store/UserRules.h"
#include "tools/Commands.h"
#include "tools/Cp1250Input.h"
#include "tools/NewUserFile.h"
#include "tools/PasswordInput.h"
#include "tools/StoreAccess.h"
#include "tools/ToolError.h"

int RunInit(const TArguments& Args) {
    const std::string Name = LogonNameToCp1250(Args.UserName);
    const std::string Password =
        PasswordToCp1250(Args.PasswordStdin ? ReadPasswordFromStdin() : AskPasswordTwice());

    // The first identifier as the main window hands it out in an empty file.
    const uint16_t FirstLastId = DrawFirstLastId();
    const auto AdminId = static_cast<uint16_t>(FirstLastId + 1);

    // The store writes the real file: it opens the placeholder, takes the administrator in place
    // of the placeholder's record, and saves; only the finished file gets the name.
    TNewUserFile Placeholder(Args.FileName);
    TUserManager Store;
    if (Store.OpenAt(Placeholder.Directory(), Placeholder.TempName(), true) != ueOk ||
        Store.Count() != 1)
        throw TToolError(ueCreate, UserFileErrorText(ueCreate));
    // The audit names the administrator as added and the file by its final name.
    Store.AuditAsNewFile();
    const std::string Audited = AuditQuoted(Placeholder.Directory().FilePath());

    TUserRec Rec{};
    Rec.Id = AdminId;
    Rec.Rights = rtLogon;
    Rec.UserName.Assign(Name);
    TUserC& Admin = *Store.Items(0);
    Admin.Rec = Rec;
    Admin.SetPass(Password);
    Admin.SetNetPass("");
    Store.Header.LastId = AdminId;
    try {
        if (!Store.Save())
            throw TToolError(ueCreate, UserFileErrorText(ueCreate));
        Placeholder.Publish();
    } catch (const TToolError&) {
        Audit("failed to create " + Audited);
        throw;
    }
    Audit("created " + Audited);
    return ExitOk;
}
