#pragma once
// Where pelorin's user file is for the run: the file --file names; else the one the system-wide
// setting UserFile names (runtime/Settings.h); else UsrPass.dat beside the executable. The help
// file always stays beside the executable.

#include <string>

enum class TUserFileSource { CommandLine, Settings, BesideProgram };

struct TUserFileLocation {
    std::string Path; // absolute
    TUserFileSource Source = TUserFileSource::BesideProgram;
    std::string SettingsFile; // the settings file in force
};

// FromCommandLine is --file as given (empty: none; relative: to the working directory), ExeDir
// the executable's directory. The settings are read only when --file is not given. Throws
// TSettingsError when they are not understood.
TUserFileLocation LocateUserFile(const std::string& FromCommandLine, const std::string& ExeDir);

// The path and, on a second line, where it came from: the detail under every message about the
// user file, so that the administrator knows which file and which setting to look at.
std::string UserFileDetail(const TUserFileLocation& Location);
