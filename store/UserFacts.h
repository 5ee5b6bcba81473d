#pragma once
// What the main window's list and usrpass's listings show about one user beyond the record's
// plain fields.

#include "store/UserC.h"

#include <string>

// "L" for the logon right, then "H" for a Zortan password set: the main window's flags.
std::string UserFlags(const TUserC& User);
bool HasPassword(const TUserC& User);
// The network password block decodes exactly as the Zortan one, under NetPassSeed.
bool HasNetPassword(const TUserC& User);
