#pragma once
// A command that names no user file (PLIK) works on the one the system-wide setting UserFile
// names (runtime/Settings.h), as pelorin does.

#include "tools/Arguments.h"

// Fills Args.FileName from the settings when the command takes PLIK and none was given; true
// when it did. Throws TUsageError when no setting names a file, and TToolError with
// ExitSettings when the settings are not understood.
bool TakeUserFileFromSettings(TArguments& Args);

// What an open result's message adds for a file that the settings named (the message begins
// with the file's name): where it came from.
std::string SettingsFileNote();
