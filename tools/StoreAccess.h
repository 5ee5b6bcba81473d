#pragma once
// Opening the user file for a command: a failed open ends the command with the open result as
// exit code and that result's message.

#include "store/UserManager.h"

#include <string>
#include <string_view>

void OpenOrFail(TUserManager& Store, const std::string& FileName, bool ForWriting);
// The first user whose logon name is exactly Cp1250Name, or null.
TUserC* FindByUserName(const TUserManager& Store, std::string_view Cp1250Name);
