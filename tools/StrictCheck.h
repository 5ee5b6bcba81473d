#pragma once
// check --strict: what an administrator should look at in a file that opens well, one finding
// per line naming the user.

#include "store/UserManager.h"

#include <string>
#include <vector>

// In list order, each user's findings in this order: the logon right with an empty Zortan
// password; an empty logon name; a logon or network name with a colon (chpasswd could not name
// him); a name with blanks at its start or end, or with control characters; a logon name or an
// Id that an earlier user has already; the administrator without the logon right; rights bits
// without a meaning. Each line reads "Id 105, nazwa w Zortan "jan": prawo logowania z pustym
// hasłem Zortan", without a line end. Takes time in proportion to the users.
std::vector<std::string> StrictFindings(const TUserManager& Users);
