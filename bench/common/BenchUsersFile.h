#pragma once
// Writes user files for the benchmarks through the store itself, so that they are what a real
// file would be: every user with a name, rights and a scrambled password, the area scrambled.

#include <string>

// Creates Path (which must not exist) with Users users named "user1".."userN"; each has the
// logon right and the password "password" followed by the user's number modulo 1000. Exits
// with a message when the file cannot be made.
void MakeBenchUsersFile(const std::string& Path, int Users);
