#include "tools/UserIndex.h"

TUserIndex::TUserIndex(const TUserManager& Store) : FById(0x10000, nullptr) {
    FByName.reserve(static_cast<std::size_t>(Store.Count()));
    for (int I = 0; I < Store.Count(); ++I)
        Appended(*Store.Items(I));
}

TUserC* TUserIndex::ByName(std::string_view Cp1250Name) const {
    const auto Found = FByName.find(std::string(Cp1250Name));
    return Found == FByName.end() ? nullptr : Found->second;
}

void TUserIndex::Appended(TUserC& User) {
    // The first one with a name or an Id keeps it.
    FByName.try_emplace(std::string(User.Rec.UserName.View()), &User);
    if (FById[User.Rec.Id] == nullptr)
        FById[User.Rec.Id] = &User;
}
