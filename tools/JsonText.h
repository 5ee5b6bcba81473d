#pragma once
// JSON string literals.

#include <string>
#include <string_view>

// Utf8 in double quotes, with the quote, the backslash and every control character escaped;
// other characters pass through as UTF-8.
std::string JsonQuoted(std::string_view Utf8);
