#pragma once
// One iconv(3) conversion descriptor, opened once and reset before each conversion.

#include <cstddef>
#include <string>
#include <string_view>

class TIconv {
public:
    TIconv(const char* To, const char* From);
    ~TIconv();
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // False when iconv does not know one of the two encodings.
    bool Valid() const;

    enum class TStatus { Done, Unconvertible, Failed };

    // Converts as much of In as it can, appending to Out; In is advanced past what was used, so
    // on Unconvertible it starts at the first byte that is not a character of the source encoding
    // (or one the target cannot hold, or a sequence cut off at the end).
    TStatus Convert(std::string_view& In, std::string& Out);

private:
    void* FCd;
};
