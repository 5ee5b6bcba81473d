#pragma once
// What the user editor checks when OK is pressed, and the main window's Add: the rules every
// command that adds or changes a user keeps.

#include "store/UserManager.h"

#include <optional>
#include <string>

// The editor's first refusal for User, with his logon name, as he now stands in Store.
std::optional<std::string> EditorRefusal(const TUserManager& Store, const TUserC& User);

// Appends a new user as the main window's Add does: the next Id after LastId (drawn at random
// when LastId is 0), a zeroed record and both passwords empty; LastId follows. Throws
// TToolError (65) with the window's message when no more users can be added.
TUserC& AppendNewUser(TUserManager& Store);
