#pragma once
// Code page 1250 (the encoding of every name and password in the user file) to and from UTF-8.

#include <optional>
#include <string>
#include <string_view>

// UTF-8 to CP1250; nullopt when the text holds a character CP1250 cannot hold (or is not UTF-8).
std::optional<std::string> Utf8ToCp1250(std::string_view Utf8);
// CP1250 to UTF-8; the five byte values CP1250 leaves undefined become U+FFFD.
std::string Cp1250ToUtf8(std::string_view Cp1250);
// True when the one Unicode code point can be stored in CP1250.
bool IsCp1250Char(char32_t Ch);
