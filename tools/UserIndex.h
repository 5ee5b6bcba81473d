#pragma once
// The users of a store found by logon name and by Id in constant time: built once per
// transaction, so that a command changing every user costs time in proportion to their number.

#include "store/UserManager.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TUserIndex {
public:
    explicit TUserIndex(const TUserManager& Store);

    // The first user in list order with exactly this logon name (CP1250), or null. Names are
    // compared as they stand, but found by their form when the index took them: an index that
    // finds users by name is for commands that do not rename them.
    TUserC* ByName(std::string_view Cp1250Name) const;
    // The first user in list order with this Id, or null, as UserById finds him.
    TUserC* ById(uint16_t Id) const { return FById[Id]; }
    // A user appended to the list after the index was made.
    void Appended(TUserC& User);

private:
    // Open addressing in one array: a user costs no allocation of its own, and a look-up touches
    // a user's record only when the name's hash matches.
    struct TSlot {
        uint32_t Tag = 0;   // the upper half of the name's hash
        uint32_t Place = 0; // 1 + the user's place in FUsers; 0 for an empty slot
    };
    void Insert(std::size_t Place); // the user at FUsers[Place - 1]

    std::vector<TUserC*> FUsers;      // in list order
    std::vector<TSlot> FSlots;        // a power of two, at most half full
    std::unique_ptr<TUserC*[]> FById; // every 16-bit Id, zeroed in one go
};
