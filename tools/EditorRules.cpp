#include "tools/EditorRules.h"

#include "store/UserRules.h"
#include "tools/ToolError.h"

#include <memory>

std::optional<std::string> EditorRefusal(const TUserManager& Store, const TUserC& User) {
    return EditorRefusal(Store, User.Rec.UserName.View(), User);
}

TUserC& AppendNewUser(TUserManager& Store) {
    if (Store.Header.LastId == 0)
        Store.Header.LastId = DrawFirstLastId();
    // The window hands out LastId + 1 without looking; a file written elsewhere may hold that
    // Id already, and two users with one Id could no longer be told apart.
    unsigned Id = Store.Header.LastId + 1u;
    while (Id <= UserIdLimit && Store.UserById(static_cast<uint16_t>(Id)) != nullptr)
        ++Id;
    if (Id > UserIdLimit || Store.Count() >= MaxUserCount)
        throw TToolError(ExitData, NoMoreUsersText);

    std::unique_ptr<TUserC> User = MakeNewUser(static_cast<uint16_t>(Id));
    Store.Add(User.get());
    Store.Header.LastId = static_cast<uint16_t>(Id);
    return *User.release();
}
