#pragma once
// Failures of a usrpass command: the message for standard error and the process exit code.

#include <stdexcept>
#include <string>

// Exit codes besides the store's open results 1..6.
inline constexpr int ExitOk = 0;
inline constexpr int ExitSaveFailed = 7;
inline constexpr int ExitFindings = 8; // check --strict: the file opens, but has findings
inline constexpr int ExitUsage = 64;   // sysexits EX_USAGE
inline constexpr int ExitData = 65;    // sysexits EX_DATAERR: bad name or password, no such user
inline constexpr int ExitOutput = 74;  // sysexits EX_IOERR: the listing could not be written
inline constexpr int ExitInternal = 70;
inline constexpr int ExitSettings = 78; // EX_CONFIG: the system-wide settings are not understood

class TToolError : public std::runtime_error {
public:
    TToolError(int Code, const std::string& Message)
        : std::runtime_error(Message), ExitCode(Code) {}
    int ExitCode;
};

// A wrong command line: reported with the usage text.
class TUsageError : public TToolError {
public:
    explicit TUsageError(const std::string& Message) : TToolError(ExitUsage, Message) {}
};

// Runs Fn; a TToolError from it names Place ("wiersz 3") before its message.
template <class TFn> decltype(auto) Naming(const std::string& Place, TFn&& Fn) {
    try {
        return Fn();
    } catch (const TToolError& E) {
        throw TToolError(E.ExitCode, Place + ": " + E.what());
    }
}
