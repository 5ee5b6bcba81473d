#pragma once
// The input of chpasswd: lines "UŻYTKOWNIK:HASŁO", the name ending at the first colon.

#include "store/UserManager.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TPasswordLine {
    std::size_t Line;     // 1-based
    std::string UserName; // as given (UTF-8), for messages
    std::string Cp1250Name;
    std::string Password; // CP1250, acceptable to the logon dialog
};

// Lines end with "\n" or "\r\n"; empty lines are passed over. Throws TToolError (65) naming the
// first line that is not a name, a colon and a password the file can hold.
std::vector<TPasswordLine> ParsePasswordLines(std::string_view Input);
// Sets the Zortan password (with Net the network one) of the first user with each line's logon
// name, in line order, finding each in constant time. Throws TToolError (65) naming the line of a
// name no user has.
void ApplyPasswordLines(TUserManager& Store, const std::vector<TPasswordLine>& Lines, bool Net);
