#pragma once
// A change to one user's description, as the user editor makes it: names, rights and objects.
// What the change leaves out stays as it is; passwords are never part of it.

#include "store/UserRec.h"
#include "tools/MaskSyntax.h"

#include <optional>
#include <string>

struct TUserChange {
    // CP1250, within the field's capacity (Cp1250Input.h).
    std::optional<std::string> Name;
    std::optional<std::string> UserName;
    std::optional<std::string> NetUserName;
    TMaskChange Rights;
    TMaskChange Objects;
};

void ApplyUserChange(TUserRec& Rec, const TUserChange& Change);
