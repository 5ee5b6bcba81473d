#include "store/UserRules.h"

#include "runtime/Random.h"

#include <cstring>

const char* RefusalText(TRefusal Refusal) {
    switch (Refusal) {
    case TRefusal::NoUserName:
        return "Nie podano nazwy użytkownika w Zortan";
    case TRefusal::AdminWithoutLogon:
        return "Ten użytkownik musi posiadać prawo logowania";
    case TRefusal::LogonNameTaken:
        break;
    }
    return "Użytkownik o tej nazwie z prawem logowania już istnieje";
}

TLogonNames::TLogonNames(const TUserManager& Store) {
    FNames.reserve(static_cast<std::size_t>(Store.Count()));
    for (int I = 0; I < Store.Count(); ++I) {
        const TUserC& User = *Store.Items(I);
        if (!User.HasRight(rtLogon))
            continue;
        const auto [Found, New] =
            FNames.try_emplace(User.Rec.UserName.View(), THolders{User.Rec.Id, false});
        if (!New && Found->second.FirstId != User.Rec.Id)
            Found->second.OtherIds = true;
    }
}

bool TLogonNames::Used(std::string_view UserName, uint16_t Id) const {
    const auto Found = FNames.find(UserName);
    return Found != FNames.end() && (Found->second.OtherIds || Found->second.FirstId != Id);
}

namespace {

// The editor's checks in its order; Used(name, Id) tells whether another holder of the logon
// right has the name.
template <class TUsed>
std::optional<TRefusal> FirstRefusal(const TUserManager& Store, std::string_view UserName,
                                     const TUserC& User, TUsed Used) {
    if (UserName.empty())
        return TRefusal::NoUserName;
    if (!User.HasRight(rtLogon) && Store.IsAdmin(User.Rec.Id))
        return TRefusal::AdminWithoutLogon;
    if (User.HasRight(rtLogon) && Used(UserName, User.Rec.Id))
        return TRefusal::LogonNameTaken;
    return std::nullopt;
}

} // namespace

std::optional<TRefusal> EditorRule(const TUserManager& Store, const TLogonNames& Names,
                                   std::string_view UserName, const TUserC& User) {
    return FirstRefusal(Store, UserName, User, [&Names](std::string_view Name, uint16_t Id) {
        return Names.Used(Name, Id);
    });
}

std::optional<std::string> EditorRefusal(const TUserManager& Store, std::string_view UserName,
                                         const TUserC& User) {
    // One user: a scan of the list costs less than gathering the names first.
    const std::optional<TRefusal> Refusal =
        FirstRefusal(Store, UserName, User, [&Store](std::string_view Name, uint16_t Id) {
            return Store.LogonNameUsed(Name, Id);
        });
    if (!Refusal)
        return std::nullopt;
    return RefusalText(*Refusal);
}

uint16_t DrawFirstLastId() {
    return static_cast<uint16_t>(DrawFromClock(63000) + 1);
}

bool CanAddUser(const TUserManager& Store) {
    // A store the file could not count any more would fail to save and lose every change.
    return Store.Header.LastId < UserIdLimit && Store.Count() < MaxUserCount;
}

std::optional<uint16_t> NewUserId(TUserManager& Store, const std::function<bool(uint16_t)>& Taken) {
    if (Store.Header.LastId == 0)
        Store.Header.LastId = DrawFirstLastId();
    if (!CanAddUser(Store))
        return std::nullopt;
    unsigned Id = Store.Header.LastId + 1u;
    while (Taken && Id <= UserIdLimit && Taken(static_cast<uint16_t>(Id)))
        ++Id;
    return Id <= UserIdLimit ? std::optional(static_cast<uint16_t>(Id)) : std::nullopt;
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
