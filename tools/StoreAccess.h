#pragma once
// Opening the user file for a command, finding its users, and the one save of a command that
// writes: a failed open ends the command with the open result as exit code and its message.

#include "store/UserManager.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

void OpenOrFail(TUserManager& Store, const std::string& FileName, bool ForWriting);
// The first user whose logon name is exactly Cp1250Name, or null.
TUserC* FindByUserName(const TUserManager& Store, std::string_view Cp1250Name);
// The list index of the user a command names by logon name (UTF-8) or by Id; throws
// TToolError (65) when there is no such user.
int IndexOfUser(const TUserManager& Store, const std::string& Utf8Name, std::optional<uint16_t> Id);
// Writes the store back; the exit code of the command: 0, or 7 when the save failed (the store
// has shown its message, and the file is as it was).
int SaveStore(TUserManager& Store);
