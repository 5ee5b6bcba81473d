#include "runtime/Cp1250.h"

#include "runtime/Iconv.h"

namespace {

// Names and passwords are mostly ASCII, which both encodings share byte for byte.
bool IsAscii(std::string_view Text) {
    for (char C : Text) {
        if (static_cast<unsigned char>(C) >= 0x80)
            return false;
    }
    return true;
}

TIconv& ToCp1250() {
    thread_local TIconv Conv("CP1250", "UTF-8");
    return Conv;
}

TIconv& FromCp1250() {
    thread_local TIconv Conv("UTF-8", "CP1250");
    return Conv;
}

} // namespace

std::optional<std::string> Utf8ToCp1250(std::string_view Utf8) {
    if (IsAscii(Utf8))
        return std::string(Utf8);
    std::string Out;
    if (ToCp1250().Convert(Utf8, Out) != TIconv::TStatus::Done)
        return std::nullopt;
    return Out;
}

std::string Cp1250ToUtf8(std::string_view Cp1250) {
    if (IsAscii(Cp1250))
        return std::string(Cp1250);
    std::string Out;
    while (!Cp1250.empty()) {
        if (FromCp1250().Convert(Cp1250, Out) == TIconv::TStatus::Done)
            break;
        // A byte the code page leaves undefined, or a converter that could not be opened.
        Out += "\xEF\xBF\xBD";
        Cp1250.remove_prefix(1);
    }
    return Out;
}

bool IsCp1250Char(char32_t Ch) {
    if (Ch > 0x10FFFF || (Ch >= 0xD800 && Ch <= 0xDFFF))
        return false;
    std::string Utf8;
    if (Ch < 0x80) {
        Utf8 += static_cast<char>(Ch);
    } else if (Ch < 0x800) {
        Utf8 += static_cast<char>(0xC0 | (Ch >> 6));
        Utf8 += static_cast<char>(0x80 | (Ch & 0x3F));
    } else if (Ch < 0x10000) {
        Utf8 += static_cast<char>(0xE0 | (Ch >> 12));
        Utf8 += static_cast<char>(0x80 | ((Ch >> 6) & 0x3F));
        Utf8 += static_cast<char>(0x80 | (Ch & 0x3F));
    } else {
        Utf8 += static_cast<char>(0xF0 | (Ch >> 18));
        Utf8 += static_cast<char>(0x80 | ((Ch >> 12) & 0x3F));
        Utf8 += static_cast<char>(0x80 | ((Ch >> 6) & 0x3F));
        Utf8 += static_cast<char>(0x80 | (Ch & 0x3F));
    }
    return Utf8ToCp1250(Utf8).has_value();
}
