#pragma once
// What the user editor checks when OK is pressed, and the main window's Add: the rules every
// command that adds or changes a user keeps, in usrpass's words, naming the user. And the one
// rule of usrpass's own: no account opens by accident.

#include "store/UserManager.h"
#include "store/UserRules.h"
#include "tools/UserIndex.h"

#include <string>

// The editor's refusal as usrpass says it: "użytkownik "jan" z prawem logowania już istnieje".
std::string RefusalMessage(TRefusal Refusal, const TUserRec& User);
// Throws TToolError (65) with RefusalMessage when the editor would refuse User in Store as it
// stands. Names: the logon names of Store, gathered once for all the users a command checks.
void RequireEditorAccepts(const TUserManager& Store, const TLogonNames& Names, const TUserC& User);

// A user who ends a command with the logon right and an empty Zortan password can log on with
// nothing. Throws TToolError (65) when User comes to that in this command (Before: his record as
// loaded, null for a new user), unless he was so before or EmptyAllowed (--empty-password).
// Hint: the message's end, how to give him a password or allow none.
void RequirePasswordForLogon(const TUserC& User, const TUserRec* Before, bool EmptyAllowed,
                             const char* Hint);

// Appends a new user as the main window's Add does: the next Id after LastId that no user has
// (drawn at random when LastId is 0), a zeroed record and both passwords empty; LastId follows,
// and so does Index. Throws TToolError (65) with the window's message when no more users can be
// added.
TUserC& AppendNewUser(TUserManager& Store, TUserIndex& Index);
