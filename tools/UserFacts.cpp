#include "tools/UserFacts.h"

#include "store/Rights.h"

#include <cstring>

bool HasPassword(const TUserC& User) {
    return !User.GetPass().empty();
}

bool HasNetPassword(const TUserC& User) {
    // The store decodes only the Zortan block, so decode a copy whose Zortan block and seed are
    // the network ones.
    TUserRec Swapped = User.Rec;
    Swapped.PassSeed = User.Rec.NetPassSeed;
    std::memcpy(Swapped.Pass, User.Rec.NetPass, sizeof Swapped.Pass);
    return !TUserC(Swapped).GetPass().empty();
}

std::string UserFlags(const TUserC& User) {
    std::string Flags;
    if (User.HasRight(rtLogon))
        Flags += 'L';
    if (HasPassword(User))
        Flags += 'H';
    return Flags;
}
