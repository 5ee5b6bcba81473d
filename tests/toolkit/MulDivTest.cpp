#include "toolkit/MulDiv.h"

#include <gtest/gtest.h>

#include <cstdint>

// Expected values worked out by hand from a * b / c.
TEST(MulDiv, RoundsToNearest) {
    EXPECT_EQ(MulDiv(492, 96, 120), 394); // 393.6: the main window on a 96 dpi screen
    EXPECT_EQ(MulDiv(492, 120, 120), 492);
    EXPECT_EQ(MulDiv(31, 96, 120), 25);   // 24.8
    EXPECT_EQ(MulDiv(167, 96, 120), 134); // 133.6
    EXPECT_EQ(MulDiv(10, 1, 3), 3);       // 3.33
    EXPECT_EQ(MulDiv(20, 1, 3), 7);       // 6.67
}

TEST(MulDiv, HalvesGoAwayFromZero) {
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(3, 1, -2), -2);
    EXPECT_EQ(MulDiv(-3, -1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, -2), 2);
    EXPECT_EQ(MulDiv(150, 1, 100), 2); // 1.5
    EXPECT_EQ(MulDiv(149, 1, 100), 1); // 1.49
}

TEST(MulDiv, ZeroDivisorAndOverflowGiveMinusOne) {
    EXPECT_EQ(MulDiv(5, 7, 0), -1);
    EXPECT_EQ(MulDiv(0, 0, 0), -1);
    EXPECT_EQ(MulDiv(INT32_MAX, 2, 1), -1);
    EXPECT_EQ(MulDiv(INT32_MIN, 2, 1), -1);
}

TEST(MulDiv, LargeIntermediateProductsStayExact) {
    EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);
    EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), INT32_MIN);
    EXPECT_EQ(MulDiv(INT32_MIN, -1, 2), 1073741824);
}
