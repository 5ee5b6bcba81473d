#include "tools/EditorRules.h"

#include "runtime/Random.h"
#include "tools/ToolError.h"

#include <cstring>
#include <memory>

namespace {

constexpr uint16_t IdLimit = 0xFFF5; // identifiers at and above it are not handed out
constexpr int MaxUsers = 0xFFFF;     // the file counts its users in 16 bits

} // namespace

std::optional<std::string> EditorRefusal(const TUserManager& Store, const TUserC& User) {
    const std::string_view UserName = User.Rec.UserName.View();
    if (UserName.empty())
        return "Nie podano nazwy użytkownika w Zortan";
    if (!User.HasRight(rtLogon) && Store.IsAdmin(User.Rec.Id))
        return "Ten użytkownik musi posiadać prawo logowania";
    if (User.HasRight(rtLogon) && Store.LogonNameUsed(UserName, User.Rec.Id))
        return "Użytkownik o tej nazwie z prawem logowania już istnieje";
    return std::nullopt;
}

TUserC& AppendNewUser(TUserManager& Store) {
    if (Store.Header.LastId == 0) {
        Randomize();
        Store.Header.LastId = static_cast<uint16_t>(Random(63000) + 1);
    }
    // The window hands out LastId + 1 without looking; a file written elsewhere may hold that
    // Id already, and two users with one Id could no longer be told apart.
    unsigned Id = Store.Header.LastId + 1u;
    while (Id <= IdLimit && Store.UserById(static_cast<uint16_t>(Id)) != nullptr)
        ++Id;
    if (Id > IdLimit || Store.Count() >= MaxUsers)
        throw TToolError(ExitData, "Nie można dodawać więcej użytkowników");

    TUserRec Rec;
    std::memset(&Rec, 0, sizeof Rec);
    Rec.Id = static_cast<uint16_t>(Id);
    auto User = std::make_unique<TUserC>(Rec);
    User->SetPass("");
    User->SetNetPass("");
    Store.Add(User.get());
    Store.Header.LastId = static_cast<uint16_t>(Id);
    return *User.release();
}
