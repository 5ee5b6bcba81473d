#pragma once
// The command line of usrpass, parsed and checked against what each command accepts.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

enum class TCommandKind {
    Help,
    Version,
    Init,
    List,
    Check,
    Passwd,
    Add,
    Set,
    Del,
    Chpasswd,
    Import,
    Diff,
    Restore
};

// Texts are UTF-8, as given.
struct TArguments {
    TCommandKind Kind = TCommandKind::Help;
    std::string FileName;
    std::string NewFileName;    // NOWY of diff, whose STARY is FileName
    std::string UserName;       // --admin of init; UŻYTKOWNIK of passwd, add, set and del
    std::optional<uint16_t> Id; // --id of set and del, instead of UŻYTKOWNIK
    std::optional<std::string> NewUserName; // --user-name of set
    std::optional<std::string> Name;        // --name: the full name
    std::optional<std::string> NetName;     // --net-name
    std::optional<std::string> Rights;      // --rights: codes, see MaskSyntax.h
    std::optional<std::string> Objects;     // --objects: numbers and ranges
    std::optional<std::string> From;        // --from of restore: a backup to restore from
    std::optional<std::string> Encoding;    // --encoding of chpasswd and import: an iconv name
    bool PasswordStdin = false;
    bool Json = false; // list, diff, and the preview of --dry-run
    bool Net = false;
    bool DeleteMissing = false;
    bool DryRun = false; // the writing commands: show the change, write nothing
    bool EmptyPassword =
        false;           // add, set, import: a user may gain the logon right without a password
    bool Strict = false; // check: also what an administrator should look at
};

// Throws TUsageError, with a Polish message, for a command line that no command accepts.
TArguments ParseArguments(std::span<const std::string_view> Args);

extern const char* const UsageText;
