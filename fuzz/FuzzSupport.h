#pragma once
// What the fuzz targets of usrpass's input share: a failed check aborts with its reason, and
// a small store in memory that keeps the editor's rules, to apply parsed input to.

#include "store/UserManager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

inline void Require(bool Holds, const char* Target, const char* What) {
    if (!Holds) {
        std::fprintf(stderr, "%s: %s\n", Target, What);
        std::abort();
    }
}

// The administrator "admin" (Id 1), "jan" (Id 2) with the logon right and "ola" (Id 3) without;
// each holds the bit 0x80000000, which has no meaning.
inline std::unique_ptr<TUserManager> ThreeUsers() {
    auto Store = std::make_unique<TUserManager>();
    const struct {
        uint16_t Id;
        const char* Name;
        uint32_t Rights;
    } Users[] = {{1, "admin", 0x80000001}, {2, "jan", 0x80000001}, {3, "ola", 0x80000000}};
    for (const auto& U : Users) {
        TUserRec Rec;
        std::memset(&Rec, 0, sizeof Rec);
        Rec.Id = U.Id;
        Rec.Rights = U.Rights;
        Rec.UserName.Assign(U.Name);
        Store->Add(new TUserC(Rec));
    }
    Store->Header.LastId = 3;
    return Store;
}
