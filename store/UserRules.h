#pragma once
// The rules for a new or changed user that the window and usrpass both keep: the user editor's
// checks on OK and the main window's Add.

#include "store/UserC.h"
#include "store/UserManager.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

inline constexpr uint16_t UserIdLimit = 0xFFF5; // identifiers at and above it are not handed out
inline constexpr int MaxUserCount = 0xFFFF;     // the file counts its users in 16 bits
inline constexpr const char* NoMoreUsersText = "Nie można dodawać więcej użytkowników";

// The editor's first refusal (UTF-8 text) for User with the logon name UserName (CP1250) as the
// store now stands, in the editor's order; none when the editor accepts him.
std::optional<std::string> EditorRefusal(const TUserManager& Store, std::string_view UserName,
                                         const TUserC& User);

// The LastId of a file that has handed out none yet: a random start value 1..63000, drawn from
// the clock.
uint16_t DrawFirstLastId();
// Whether Add may hand out LastId + 1: below the identifier limit and within the file's count.
bool CanAddUser(const TUserManager& Store);
// A user as Add makes him: a zeroed record with Id, both passwords set to the empty string.
std::unique_ptr<TUserC> MakeNewUser(uint16_t Id);
