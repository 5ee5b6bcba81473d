#pragma once
// The program's one store, Users, filled for a test and emptied again afterwards.

#include "store/User.h"

#include <cstdint>
#include <initializer_list>

class TGlobalUsers {
public:
    // Takes ownership of the users, in this order; LastId as given.
    TGlobalUsers(std::initializer_list<TUserC*> List, uint16_t LastId) {
        Users->Clear();
        Users->Header = TUserFileHeader{};
        Users->Header.LastId = LastId;
        for (TUserC* User : List)
            Users->Add(User);
    }
    ~TGlobalUsers() {
        Users->Clear();
        Users->Header = TUserFileHeader{};
    }
    TGlobalUsers(const TGlobalUsers&) = delete;
    TGlobalUsers& operator=(const TGlobalUsers&) = delete;
};
