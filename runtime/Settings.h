#pragma once
// The system-wide settings of pelorin and usrpass: one file, /etc/pelorin.conf unless the
// environment variable PELORIN_CONFIG names another (a test, a second installation). Its lines
// are "Key=Value"; blanks around key and value, empty lines and lines that start with "#" or ";"
// do not count; a value is taken as it stands, a "#" in it included. One key so far:
//
//   UserFile=/opt/zortan/UsrPass.dat
//
// the user file when the command line names none; an empty value sets nothing. Anything else
// (an unknown key, a key given twice, a line without "=", a relative path, a control character)
// is an error naming the file and the line: a setting that is not understood must not quietly
// send the programs to another user file.

#include <stdexcept>
#include <string>
#include <string_view>

struct TSettings {
    std::string UserFile; // absolute; empty when not set
};

class TSettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* BuiltInSettingsPath = "/etc/pelorin.conf";

// The settings file in force: $PELORIN_CONFIG when set and not empty, else BuiltInSettingsPath.
std::string SettingsPath();

// Text is the file's contents; Source names it in errors. Throws TSettingsError.
TSettings ParseSettings(std::string_view Text, const std::string& Source);

// A file that does not exist sets nothing. Throws TSettingsError when it cannot be read or is
// not understood.
TSettings ReadSettings(const std::string& Path);
