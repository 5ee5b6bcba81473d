#pragma once
// The command line of usrpass, parsed and checked against what each command accepts.

#include <span>
#include <string>
#include <string_view>

enum class TCommandKind { Help, Version, Init, List, Check, Passwd };

struct TArguments {
    TCommandKind Kind = TCommandKind::Help;
    std::string FileName;
    std::string UserName; // UTF-8: --admin of init, USERNAME of passwd
    bool PasswordStdin = false;
    bool Json = false;
    bool Net = false;
};

// Throws TUsageError for a command line that no command accepts.
TArguments ParseArguments(std::span<const std::string_view> Args);

extern const char* const UsageText;
