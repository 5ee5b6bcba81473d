#include "runtime/Cp1250.h"

#include <gtest/gtest.h>

namespace {

struct TLetter {
    const char* Utf8;
    unsigned char Cp;
};

// The Polish letters and their places in code page 1250.
constexpr TLetter PolishLetters[] = {
    {"ą", 0xB9}, {"ć", 0xE6}, {"ę", 0xEA}, {"ł", 0xB3}, {"ń", 0xF1}, {"ó", 0xF3},
    {"ś", 0x9C}, {"ź", 0x9F}, {"ż", 0xBF}, {"Ą", 0xA5}, {"Ć", 0xC6}, {"Ę", 0xCA},
    {"Ł", 0xA3}, {"Ń", 0xD1}, {"Ó", 0xD3}, {"Ś", 0x8C}, {"Ź", 0x8F}, {"Ż", 0xAF},
};

TEST(Cp1250, PolishLettersHaveTheirByteValuesBothWays) {
    for (const TLetter& L : PolishLetters) {
        const auto Cp = Utf8ToCp1250(L.Utf8);
        ASSERT_TRUE(Cp.has_value()) << L.Utf8;
        ASSERT_EQ(Cp->size(), 1u) << L.Utf8;
        EXPECT_EQ(static_cast<unsigned char>((*Cp)[0]), L.Cp) << L.Utf8;
        EXPECT_EQ(Cp1250ToUtf8(*Cp), L.Utf8);
    }
}

TEST(Cp1250, MixedTextRoundTrips) {
    const std::string Text = "Zażółć gęślą jaźń, ŁÓDŹ € 123";
    const auto Cp = Utf8ToCp1250(Text);
    ASSERT_TRUE(Cp.has_value());
    EXPECT_EQ(Cp->size(), 29u);
    EXPECT_EQ(static_cast<unsigned char>((*Cp)[24]), 0x80); // the euro sign
    EXPECT_EQ(Cp1250ToUtf8(*Cp), Text);
    EXPECT_EQ(Utf8ToCp1250(""), std::string());
    EXPECT_EQ(Cp1250ToUtf8(""), "");
}

TEST(Cp1250, CharactersOutsideTheCodePageAreRefused) {
    EXPECT_EQ(Utf8ToCp1250("\xC2\xBD"), std::nullopt);            // ½
    EXPECT_EQ(Utf8ToCp1250("abc\xE4\xB8\xAD"), std::nullopt);     // 中 at the end
    EXPECT_EQ(Utf8ToCp1250("\xF0\x9F\x98\x80xyz"), std::nullopt); // an emoji first
    EXPECT_FALSE(IsCp1250Char(U'½'));
    EXPECT_FALSE(IsCp1250Char(U'\u4E2D'));
    EXPECT_FALSE(IsCp1250Char(0xD800));
    EXPECT_FALSE(IsCp1250Char(0x110000));
    EXPECT_TRUE(IsCp1250Char(U'ř'));
    EXPECT_TRUE(IsCp1250Char(U'€'));
    EXPECT_TRUE(IsCp1250Char(U'ż'));
    EXPECT_TRUE(IsCp1250Char(U'A'));
}

TEST(Cp1250, MalformedUtf8IsRefused) {
    EXPECT_EQ(Utf8ToCp1250("\xC5"), std::nullopt); // cut-off sequence
    EXPECT_EQ(Utf8ToCp1250("a\xFF"
                           "b"),
              std::nullopt);                           // never valid
    EXPECT_EQ(Utf8ToCp1250("\xC0\xAF"), std::nullopt); // overlong "/"
}

TEST(Cp1250, UndefinedBytesBecomeReplacementCharacters) {
    // 0x81, 0x83, 0x88, 0x90 and 0x98 have no character in the code page.
    EXPECT_EQ(Cp1250ToUtf8("a\x81"
                           "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(Cp1250ToUtf8("\x83\x88\x90\x98"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Cp1250ToUtf8("\xB9\x98\xB3"), "ą\xEF\xBF\xBDł");
}

TEST(Cp1250, LongTextsConvertWhole) {
    std::string Long;
    for (int I = 0; I < 500; ++I)
        Long += "żółw ";
    const auto Cp = Utf8ToCp1250(Long);
    ASSERT_TRUE(Cp.has_value());
    EXPECT_EQ(Cp->size(), 2500u);
    EXPECT_EQ(Cp1250ToUtf8(*Cp), Long);
}

} // namespace
