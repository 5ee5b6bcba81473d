#pragma once
// A length-prefixed string of capacity N in N+1 bytes: byte 0 the length, then the characters
// (code page 1250 bytes). Storing cuts to N characters and leaves the bytes after them as they
// were.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

template <std::size_t N> struct TShortString {
    static_assert(N >= 1 && N <= 255);
    uint8_t Len;
    char Chars[N];

    // The stored characters; a damaged length byte above N never reads past the block.
    std::string_view View() const { return {Chars, std::min<std::size_t>(Len, N)}; }
    std::string Str() const { return std::string(View()); }
    void Assign(std::string_view Value) {
        const std::size_t L = std::min(Value.size(), N);
        Len = static_cast<uint8_t>(L);
        std::memcpy(Chars, Value.data(), L);
    }
};
static_assert(sizeof(TShortString<15>) == 16);
static_assert(sizeof(TShortString<50>) == 51);
