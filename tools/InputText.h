#pragma once
// The text chpasswd and import read from standard input, in the encoding --encoding names
// (iconv's names: cp1250, iso-8859-2; UTF-8 when none is given), turned into UTF-8.

#include <optional>
#include <string>
#include <string_view>

// Throws TUsageError for an encoding iconv does not know: checked before anything is read.
void RequireKnownEncoding(const std::optional<std::string>& Encoding);
// Raw in the encoding, as UTF-8 without a leading byte-order mark. Throws TToolError (65) naming
// the line and the byte that is not a character of that encoding.
std::string DecodeInput(std::string_view Raw, const std::optional<std::string>& Encoding);
