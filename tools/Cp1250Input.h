#pragma once
// Names and passwords arrive as UTF-8 (arguments, terminal, standard input); the user file holds
// code page 1250. These conversions refuse, with exit code 65, what the file cannot hold exactly.

#include <cstddef>
#include <string>
#include <string_view>

// A text field of the record: its capacity in characters and its name in messages.
struct TTextField {
    std::size_t Capacity;
    const char* Label;
};
inline constexpr TTextField FullNameField{50, "pełna nazwa"};
inline constexpr TTextField LogonNameField{15, "nazwa użytkownika w Zortan"};
inline constexpr TTextField NetNameField{15, "nazwa użytkownika sieciowego"};

// A name to look a user up by: any text CP1250 can hold.
std::string LookupNameToCp1250(std::string_view Utf8);
// A logon name to store: non-empty, at most 15 characters, no control characters.
std::string LogonNameToCp1250(std::string_view Utf8);
// A text to store in Field: at most its capacity, since a longer one would be cut, and no
// control characters, which neither the editor nor the list could show. Empty is allowed.
std::string FieldToCp1250(std::string_view Utf8, const TTextField& Field);
// A password to store: at most 15 characters, since a longer one would be cut and never match,
// and no control characters, which the logon dialog cannot take.
std::string PasswordToCp1250(std::string_view Utf8);
