#pragma once
// The two forms of `usrpass list`, in UTF-8: one tab-separated line per user, or one JSON object.

#include "store/UserManager.h"

#include <string>
#include <string_view>

// Id, flags, logon name, network name, full name, rights codes; each line ends with "\n".
std::string PlainListing(const TUserManager& Users);
// A CP1250 name in UTF-8 for the terminal: a tab or an escape sequence must neither break the
// columns nor drive the terminal, so control characters show as U+FFFD.
std::string PrintableUtf8(std::string_view Cp1250);
// {"lastId":N,"users":[{...},...]} on one line, then "\n".
std::string JsonListing(const TUserManager& Users);
