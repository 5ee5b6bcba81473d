#include "runtime/Encoding.h"

#include <gtest/gtest.h>

namespace {

TEST(Encoding, DecodesToUtf8AndStopsAtTheFirstByteThatIsNoCharacter) {
    struct TCase {
        std::string Text;
        const char* Name;
        std::string Utf8; // what comes before the first byte that does not fit
        std::size_t Bad;  // its offset; Text.size() when every byte fits
    };
    const TCase Cases[] = {
        {"\xB3\xF3"
         "d\xBF",
         "cp1250", "łódż", 4},
        {"\xB3\xF3"
         "d\xBF",
         "ISO-8859-2", "łódż", 4},
        {"\xB6", "iso-8859-2", "ś", 1},     // in code page 1250 "ś" is 0x9C
        {"ab\n\x98z", "CP1250", "ab\n", 3}, // 0x98 has no character in code page 1250
        {"a\xC5\x82", "utf-8", "ał", 3},
        {"a\xC5", "UTF-8", "a", 1},                           // a sequence cut off at the end
        {"a\xED\xA0\x80", "utf8", "a", 1},                    // a surrogate is no character
        {"a\xF4\x90\x80\x80", "utf-8", "a", 1},               // past U+10FFFF
        {"\xF4\x8F\xBF\xBF", "utf-8", "\xF4\x8F\xBF\xBF", 4}, // U+10FFFF, the last one
        {std::string("\0\0\0a\0\x11\0\0", 8), "UCS-4BE", "a", 4},
        {std::string("\xFF\xFE"
                     "a\0:\0",
                     6),
         "UTF-16", "a:", 6},
        {"plain", "utf-8", "plain", 5},
    };
    for (const TCase& C : Cases) {
        const TDecodedText D = DecodeToUtf8(C.Text, C.Name);
        EXPECT_EQ(D.Utf8, C.Utf8) << C.Name << " " << C.Text;
        EXPECT_EQ(D.Complete, C.Bad == C.Text.size()) << C.Name << " " << C.Text;
        if (!D.Complete) {
            EXPECT_EQ(D.BadOffset, C.Bad) << C.Name << " " << C.Text;
        }
    }
    EXPECT_TRUE(CanDecode("cp1250"));
    EXPECT_FALSE(CanDecode("klingon"));
    EXPECT_FALSE(CanDecode(""));
}

} // namespace
