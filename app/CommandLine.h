#pragma once
// The command line of pelorin: which user file the run keeps, or a request for the help or the
// version. Read before anything else happens, so that a wrong call, --help and --version need
// neither a display nor the user file.

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

// Exit codes of pelorin besides 0 and Qt's 1 (no display, or the display went away).
inline constexpr int ProgramExitUsage = 64;    // sysexits EX_USAGE
inline constexpr int ProgramExitInternal = 70; // EX_SOFTWARE: no standard descriptors, no memory
inline constexpr int ProgramExitSettings = 78; // EX_CONFIG: the settings file is not understood

struct TProgramArguments {
    enum class TAction { Run, Help, Version };
    TAction Action = TAction::Run;
    std::string UserFile; // --file as given; empty when not given
};

// A command line that pelorin does not accept; the message is Polish.
class TProgramUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Args without the program's name. Throws TProgramUsageError.
TProgramArguments ParseProgramArguments(std::span<const std::string_view> Args);

// The text of --help; SettingsFile is the settings file in force.
std::string ProgramUsage(const std::string& SettingsFile);
// The synopsis alone, shown under a usage error.
std::string ProgramSynopsis();
