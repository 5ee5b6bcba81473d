#pragma once
// How usrpass speaks, in the manner of the system's account tools: every message on standard
// error starts with the program's name and the user file, then names the line, entry or user
// concerned: usrpass: UsrPass.dat: wiersz 3: brak użytkownika o nazwie w Zortan "jan".

#include "store/UserRec.h"

#include <string>
#include <string_view>

inline constexpr const char* ProgramName = "usrpass";

// A name from the file (CP1250) in double quotes, printable on a terminal.
std::string QuotedName(std::string_view Cp1250);
// "użytkownik "jan"", or "użytkownik o Id 7" when he has no logon name.
std::string UserWord(const TUserRec& Rec);
// "usrpass: FILE: ostrzeżenie: TEXT" on standard error.
void Warn(const std::string& FileName, const std::string& Text);
