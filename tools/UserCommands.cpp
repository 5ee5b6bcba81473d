// add, set and del: one user added, changed or removed by the rules of the main window and the
// user editor. The file is opened for writing first and saved once, only when all is accepted.
#include "tools/Commands.h"
#include "tools/Cp1250Input.h"
#include "tools/EditorRules.h"
#include "tools/PasswordInput.h"
#include "tools/StoreAccess.h"
#include "tools/ToolError.h"
#include "tools/UserChange.h"

namespace {

// Checked before the file is opened: a bad command line never waits for the lock.
TUserChange ChangeOf(const TArguments& Args) {
    TUserChange Change;
    if (Args.Name)
        Change.Name = FieldToCp1250(*Args.Name, FullNameField);
    if (Args.NetName)
        Change.NetUserName = FieldToCp1250(*Args.NetName, NetNameField);
    if (Args.Rights)
        Change.Rights = ParseRightsChange(*Args.Rights);
    if (Args.Objects)
        Change.Objects = ParseObjectsChange(*Args.Objects);
    return Change;
}

void RequireEditorAccepts(const TUserManager& Store, const TUserC& User) {
    if (const std::optional<std::string> Refusal = EditorRefusal(Store, User))
        throw TToolError(ExitData, *Refusal);
}

} // namespace

int RunAdd(const TArguments& Args) {
    TUserChange Change = ChangeOf(Args);
    Change.UserName = FieldToCp1250(Args.UserName, LogonNameField);
    // Read before the lock is taken, so that a slow writer of the input never holds it.
    const std::optional<std::string> PasswordLine =
        Args.PasswordStdin ? std::optional(ReadPasswordFromStdin()) : std::nullopt;
    TUserManager Store;
    OpenOrFail(Store, Args.FileName, true);
    std::optional<std::string> Password;
    if (PasswordLine)
        Password = PasswordToCp1250(*PasswordLine);

    TUserC& User = AppendNewUser(Store);
    if (Password)
        User.SetPass(*Password);
    ApplyUserChange(User.Rec, Change);
    RequireEditorAccepts(Store, User);
    return SaveStore(Store);
}

int RunSet(const TArguments& Args) {
    TUserChange Change = ChangeOf(Args);
    if (Args.NewUserName)
        Change.UserName = FieldToCp1250(*Args.NewUserName, LogonNameField);
    TUserManager Store;
    OpenOrFail(Store, Args.FileName, true);
    TUserC& User = *Store.Items(IndexOfUser(Store, Args.UserName, Args.Id));
    ApplyUserChange(User.Rec, Change);
    RequireEditorAccepts(Store, User);
    return SaveStore(Store);
}

int RunDel(const TArguments& Args) {
    TUserManager Store;
    OpenOrFail(Store, Args.FileName, true);
    const int Index = IndexOfUser(Store, Args.UserName, Args.Id);
    if (Index == 0)
        throw TToolError(ExitData, "Nie można usunąć administratora (pierwszego użytkownika)");
    Store.DeleteAndFree(Index);
    return SaveStore(Store);
}
