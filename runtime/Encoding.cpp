#include "runtime/Encoding.h"

#include "runtime/Iconv.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr const char* Utf8 = "UTF-8";
// glibc's UTF-8 and UCS-4 decoders pass on values past U+10FFFF, and its UTF-8 encoder writes them
// out; its UTF-32 encoder refuses them and surrogates, so text goes through UTF-32 on its way.
constexpr const char* Unicode = "UTF-32LE";

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
    return !Name.empty() && TIconv(Unicode, Name.c_str()).Valid();
}

TDecodedText DecodeToUtf8(std::string_view Text, const std::string& Name) {
    TDecodedText Result;
    // ASCII is valid UTF-8 as it stands: the usual input costs no conversion.
    if (IsUtf8Name(Name) && IsAscii(Text)) {
        Result.Utf8 = Text;
        return Result;
    }
    std::string CodePoints;
    std::string_view Rest = Text;
    if (TIconv(Unicode, Name.c_str()).Convert(Rest, CodePoints) != TIconv::TStatus::Done) {
        Result.Complete = false;
        Result.BadOffset = Text.size() - Rest.size();
    }
    // Every value is a character now, so this step cannot stop.
    std::string_view Checked = CodePoints;
    if (TIconv(Utf8, Unicode).Convert(Checked, Result.Utf8) != TIconv::TStatus::Done)
        throw std::runtime_error("iconv: UTF-32 to UTF-8 failed");
    return Result;
}
