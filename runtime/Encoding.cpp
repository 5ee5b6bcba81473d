#include "runtime/Encoding.h"

#include "runtime/Iconv.h"

#include <algorithm>

namespace {

constexpr const char* Utf8 = "UTF-8";

bool IsAscii(std::string_view Text) {
    return std::all_of(Text.begin(), Text.end(),
                       [](char C) { return static_cast<unsigned char>(C) < 0x80; });
}

bool IsUtf8Name(const std::string& Name) {
    std::string Lower;
    for (char C : Name)
        Lower += static_cast<char>(C >= 'A' && C <= 'Z' ? C - 'A' + 'a' : C);
    return Lower == "utf-8" || Lower == "utf8";
}

} // namespace

bool CanDecode(const std::string& Name) {
    return !Name.empty() && TIconv(Utf8, Name.c_str()).Valid();
}

TDecodedText DecodeToUtf8(std::string_view Text, const std::string& Name) {
    TDecodedText Result;
    // ASCII is valid UTF-8 as it stands: the usual input costs no conversion.
    if (IsUtf8Name(Name) && IsAscii(Text)) {
        Result.Utf8 = Text;
        return Result;
    }
    TIconv Converter(Utf8, Name.c_str());
    std::string_view Rest = Text;
    if (Converter.Convert(Rest, Result.Utf8) != TIconv::TStatus::Done) {
        Result.Complete = false;
        Result.BadOffset = Text.size() - Rest.size();
    }
    return Result;
}
