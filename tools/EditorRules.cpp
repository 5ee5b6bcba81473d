#include "tools/EditorRules.h"

#include "tools/Messages.h"
#include "tools/ToolError.h"

#include <memory>

std::string RefusalMessage(TRefusal Refusal, const TUserRec& User) {
    switch (Refusal) {
    case TRefusal::NoUserName:
        return UserWord(User) + ": nie podano nazwy użytkownika w Zortan";
    case TRefusal::AdminWithoutLogon:
        return UserWord(User) + " (administrator, pierwszy w pliku) musi posiadać prawo logowania";
    case TRefusal::LogonNameTaken:
        break;
    }
    return UserWord(User) + " z prawem logowania już istnieje";
}

void RequireEditorAccepts(const TUserManager& Store, const TLogonNames& Names, const TUserC& User) {
    if (const std::optional<TRefusal> Refusal =
            EditorRule(Store, Names, User.Rec.UserName.View(), User))
        throw TToolError(ExitData, RefusalMessage(*Refusal, User.Rec));
}

namespace {

bool OpenToAll(const TUserC& User) {
    return User.HasRight(rtLogon) && User.GetPass().empty();
}

} // namespace

void RequirePasswordForLogon(const TUserC& User, const TUserRec* Before, bool EmptyAllowed,
                             const char* Hint) {
    if (EmptyAllowed || !OpenToAll(User) || (Before != nullptr && OpenToAll(TUserC(*Before))))
        return;
    throw TToolError(ExitData, UserWord(User.Rec) +
                                   " miałby prawo logowania z pustym hasłem Zortan (zalogowałby "
                                   "się każdy); " +
                                   Hint);
}

TUserC& AppendNewUser(TUserManager& Store, TUserIndex& Index) {
    // The window hands out LastId + 1 without looking; a file written elsewhere may hold that
    // Id already, and two users with one Id could no longer be told apart.
    const std::optional<uint16_t> Id =
        NewUserId(Store, [&](uint16_t Candidate) { return Index.ById(Candidate) != nullptr; });
    if (!Id)
        throw TToolError(ExitData, NoMoreUsersText);

    std::unique_ptr<TUserC> User = MakeNewUser(*Id);
    Store.Add(User.get());
    Store.Header.LastId = *Id;
    Index.Appended(*User);
    return *User.release();
}
