#pragma once
// The start-up's open of the user file, for writing (which locks it), without letting a file
// too large for the memory end the program through std::terminate.

#include "store/UserManager.h"

#include <string>

// Not an open result of the store: the users did not fit in memory (std::bad_alloc).
inline constexpr int OpenOutOfMemory = 100;
inline constexpr const char* OutOfMemoryText = "Za mało pamięci, by wczytać plik z użytkownikami";

// Store.Open(FileName, true), or OpenOutOfMemory. The store is then not open for writing, so
// its halt writes nothing; the file is as it was.
int OpenUserFileForRun(TUserManager& Store, const std::string& FileName);
