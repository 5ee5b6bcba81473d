#pragma once
// Text in any encoding iconv knows ("cp1250", "iso-8859-2", "utf-8"), to UTF-8: what scripts and
// spreadsheets hand over.

#include <cstddef>
#include <string>
#include <string_view>

// True when text in the encoding Name can be turned into UTF-8.
bool CanDecode(const std::string& Name);

struct TDecodedText {
    std::string Utf8; // all of the text, or what came before the first byte that does not fit
    bool Complete = true;
    std::size_t BadOffset = 0; // when not Complete: that byte's offset in the input
};

// Text from the encoding Name to UTF-8; a byte that is no character of that encoding (or starts
// a sequence cut off at the end) stops the conversion. UTF-8 input is checked the same way.
TDecodedText DecodeToUtf8(std::string_view Text, const std::string& Name);
