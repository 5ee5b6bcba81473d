#pragma once
// The users of a store found by logon name and by Id in constant time: built once per
// transaction, so that a command changing every user costs time in proportion to their number.

#include "store/UserManager.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TUserIndex {
public:
    explicit TUserIndex(const TUserManager& Store);

    // The first user in list order with exactly this logon name (CP1250), or null.
    TUserC* ByName(std::string_view Cp1250Name) const;
    // The first user in list order with this Id, or null, as UserById finds him.
    TUserC* ById(uint16_t Id) const { return FById[Id]; }
    // A user appended to the list after the index was made.
    void Appended(TUserC& User);

private:
    std::unordered_map<std::string, TUserC*> FByName; // names copied: they may change meanwhile
    std::vector<TUserC*> FById;                       // every 16-bit Id
};
