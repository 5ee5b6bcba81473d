#include "store/UserFacts.h"

#include "store/Rights.h"

bool HasPassword(const TUserC& User) {
    return !User.GetPass().empty();
}

bool HasNetPassword(const TUserC& User) {
    return !DecodePassBlock(User.Rec.NetPass, User.Rec.NetPassSeed).empty();
}

std::string UserFlags(const TUserC& User) {
    std::string Flags;
    if (User.HasRight(rtLogon))
        Flags += 'L';
    if (HasPassword(User))
        Flags += 'H';
    return Flags;
}
