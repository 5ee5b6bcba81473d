#pragma once
// Opening the user file for a command, finding its users, and the one save of a command that
// writes: a failed open ends the command with the open result as exit code and its message.

#include "store/UserManager.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A writer that finds the lock taken is told which process holds it, where the system can tell.
void OpenOrFail(TUserManager& Store, const std::string& FileName, bool ForWriting);
// The first user whose logon name is exactly Cp1250Name, or null: one look-up, one pass over the
// list (many look-ups go through TUserIndex).
TUserC* FindByUserName(const TUserManager& Store, std::string_view Cp1250Name);
// The list index of the user a command names by logon name (UTF-8) or by Id; throws
// TToolError (65) when there is no such user.
int IndexOfUser(const TUserManager& Store, const std::string& Utf8Name, std::optional<uint16_t> Id);
// "brak użytkownika o nazwie w Zortan "jan"" (the name as given, UTF-8).
std::string NoSuchUserText(const std::string& Utf8Name);
// Writes the store back; the exit code of the command: 0, or 7 when the save failed (the store
// has shown its message, and the file is as it was).
int SaveStore(TUserManager& Store);
