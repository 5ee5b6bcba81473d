#include "runtime/ShortString.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ShortString, StoringCutsToCapacityAndKeepsTrailingBytes) {
    TShortString<15> S;
    std::memset(&S, 0x5A, sizeof S);
    S.Assign("abcdefghijklmnopqrst"); // 20 characters
    EXPECT_EQ(S.Len, 15);
    EXPECT_EQ(S.Str(), "abcdefghijklmno");

    S.Assign("xy");
    EXPECT_EQ(S.Len, 2);
    EXPECT_EQ(S.View(), "xy");
    // The bytes after the new value are those of the longer one before it.
    EXPECT_EQ(std::string(S.Chars + 2, 13), "cdefghijklmno");

    S.Assign("");
    EXPECT_EQ(S.Len, 0);
    EXPECT_EQ(S.Str(), "");
    EXPECT_EQ(S.Chars[0], 'x');
}

TEST(ShortString, DamagedLengthNeverReadsPastTheBlock) {
    TShortString<15> S;
    std::memset(S.Chars, 'q', sizeof S.Chars);
    S.Len = 200;
    EXPECT_EQ(S.View().size(), 15u);
    TShortString<50> Name;
    std::memset(Name.Chars, 'n', sizeof Name.Chars);
    Name.Len = 255;
    EXPECT_EQ(Name.Str(), std::string(50, 'n'));
}

} // namespace
