// add, set and del: one user added, changed or removed by the rules of the main window and the
// user editor. The file is opened for writing first and saved once, only when all is accepted.
#include "tools/Commands.h"
#include "tools/Cp1250Input.h"
#include "tools/EditorRules.h"
#include "tools/Messages.h"
#include "tools/PasswordInput.h"
#include "tools/StoreAccess.h"
#include "tools/ToolError.h"
#include "tools/Transaction.h"
#include "tools/UserChange.h"
#include "tools/UserIndex.h"

namespace {

// Checked before the file is opened: a bad command line never waits for the lock.
TUserChange ChangeOf(const TArguments& Args) {
    TUserChange Change;
    if (Args.Name)
        Change.Name = FieldToCp1250(*Args.Name, FullNameField);
    if (Args.NetName)
        Change.NetUserName = FieldToCp1250(*Args.NetName, NetNameField);
    if (Args.Rights)
        Change.Rights = Naming("--rights", [&] { return ParseRightsChange(*Args.Rights); });
    if (Args.Objects)
        Change.Objects = Naming("--objects", [&] { return ParseObjectsChange(*Args.Objects); });
    return Change;
}

// The editor's rules for the one user a command adds or changes.
void RequireEditorAccepts(const TUserManager& Store, const TUserC& User) {
    RequireEditorAccepts(Store, TLogonNames(Store), User);
}

} // namespace

int RunAdd(const TArguments& Args) {
    TUserChange Change = ChangeOf(Args);
    Change.UserName = FieldToCp1250(Args.UserName, LogonNameField);
    // Read before the lock is taken, so that a slow writer of the input never holds it.
    const std::optional<std::string> PasswordLine =
        Args.PasswordStdin ? std::optional(ReadPasswordFromStdin()) : std::nullopt;
    TTransaction Transaction(Args);
    TUserManager& Store = Transaction.Store();
    std::optional<std::string> Password;
    if (PasswordLine)
        Password = PasswordToCp1250(*PasswordLine);

    TUserIndex Index(Store);
    TUserC& User = AppendNewUser(Store, Index);
    if (Password)
        User.SetPass(*Password);
    ApplyUserChange(User.Rec, Change);
    RequireEditorAccepts(Store, User);
    RequirePasswordForLogon(User, nullptr, Args.EmptyPassword,
                            "podaj hasło (--password-stdin) albo opcję --empty-password");
    return Transaction.Commit();
}

int RunSet(const TArguments& Args) {
    TUserChange Change = ChangeOf(Args);
    if (Args.NewUserName)
        Change.UserName = FieldToCp1250(*Args.NewUserName, LogonNameField);
    TTransaction Transaction(Args);
    TUserManager& Store = Transaction.Store();
    TUserC& User = *Store.Items(IndexOfUser(Store, Args.UserName, Args.Id));
    const TUserRec Before = User.Rec;
    ApplyUserChange(User.Rec, Change);
    RequireEditorAccepts(Store, User);
    RequirePasswordForLogon(User, &Before, Args.EmptyPassword,
                            "ustaw najpierw hasło (passwd) albo podaj opcję --empty-password");
    return Transaction.Commit();
}

int RunDel(const TArguments& Args) {
    TTransaction Transaction(Args);
    TUserManager& Store = Transaction.Store();
    const int Index = IndexOfUser(Store, Args.UserName, Args.Id);
    if (Index == 0)
        throw TToolError(ExitData, "nie można usunąć administratora (pierwszego użytkownika), " +
                                       UserWord(Store.Items(0)->Rec));
    Store.DeleteAndFree(Index);
    return Transaction.Commit();
}
