#pragma once
// The two forms of `usrpass list`, in UTF-8: one tab-separated line per user, or one JSON object.

#include "store/UserManager.h"

#include <string>

// Id, flags, logon name, network name, full name, rights codes; each line ends with "\n".
std::string PlainListing(const TUserManager& Users);
// {"lastId":N,"users":[{...},...]} on one line, then "\n".
std::string JsonListing(const TUserManager& Users);
