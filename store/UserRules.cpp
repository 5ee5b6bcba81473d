#include "store/UserRules.h"

#include "runtime/Random.h"

#include <cstring>

std::optional<std::string> EditorRefusal(const TUserManager& Store, std::string_view UserName,
                                         const TUserC& User) {
    if (UserName.empty())
        return "Nie podano nazwy użytkownika w Zortan";
    if (!User.HasRight(rtLogon) && Store.IsAdmin(User.Rec.Id))
        return "Ten użytkownik musi posiadać prawo logowania";
    if (User.HasRight(rtLogon) && Store.LogonNameUsed(UserName, User.Rec.Id))
        return "Użytkownik o tej nazwie z prawem logowania już istnieje";
    return std::nullopt;
}

uint16_t DrawFirstLastId() {
    return static_cast<uint16_t>(DrawFromClock(63000) + 1);
}

bool CanAddUser(const TUserManager& Store) {
    // A store the file could not count any more would fail to save and lose every change.
    return Store.Header.LastId < UserIdLimit && Store.Count() < MaxUserCount;
}

std::unique_ptr<TUserC> MakeNewUser(uint16_t Id) {
    TUserRec Rec;
    std::memset(&Rec, 0, sizeof Rec);
    Rec.Id = Id;
    auto User = std::make_unique<TUserC>(Rec);
    User->SetPass("");
    User->SetNetPass("");
    return User;
}
