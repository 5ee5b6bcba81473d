// The independent encoder is itself checked against values worked out by hand, so that the
// agreement tests below rest on something other than the store's own arithmetic.
#include "RefFile.h"

#include <gtest/gtest.h>

TEST(RefGenerator, FollowsHandComputedStates) {
    // From 0: states 1, 134775814, 3698175007, 870078620; the top bytes are the values of 256.
    ref::TGenerator FromZero(0);
    EXPECT_EQ(FromZero.Next(256), 0u);
    EXPECT_EQ(FromZero.Next(256), 8u);
    EXPECT_EQ(FromZero.Next(256), 220u);
    EXPECT_EQ(FromZero.Next(256), 51u);
    // From 0x7FFFFFFE: (2^31 - 2) * 0x08088405 + 1 = 0x6FEEF7F7 (mod 2^32), top byte 0x6F.
    ref::TGenerator FromMax(0x7FFFFFFE);
    EXPECT_EQ(FromMax.Next(256), 0x6Fu);
    // Range 1 always gives 0; a range of 2^32 - 1 gives nearly the state itself.
    ref::TGenerator One(5);
    EXPECT_EQ(One.Next(1), 0u);
    ref::TGenerator Wide(0);
    EXPECT_EQ(Wide.Next(0xFFFFFFFF), 0u); // state 1: (1 * (2^32 - 1)) >> 32
}

TEST(RefEncoder, LaysOutHeaderRecordAndPasswordBlockAsDefined) {
    ref::TUser U;
    U.Id = 0x1234;
    U.Rights = 0x01020304;
    U.UserName = "ab";
    U.Filler = 0xEE; // PassSeed 0, empty password
    const ref::TRecordBytes R = ref::EncodeRecord(U);
    EXPECT_EQ(R[0], 0x34);
    EXPECT_EQ(R[1], 0x12);
    EXPECT_EQ(R[10], 0x04);
    EXPECT_EQ(R[13], 0x01);
    EXPECT_EQ(R[69], 2);
    EXPECT_EQ(R[70], 'a');
    EXPECT_EQ(R[72], 0xEE);
    // Block byte i is the plain byte XOR the (i+1)-th Random(256) from seed 0: 0, 8, 220.
    EXPECT_EQ(R[173], 0 ^ 0);
    EXPECT_EQ(R[174], 0xEE ^ 8);
    EXPECT_EQ(R[175], 0xEE ^ 220);

    ref::TFileContents Image;
    Image.LastId = 0x0102;
    Image.Seed = 0;
    Image.Users = {U};
    const std::vector<uint8_t> File = ref::EncodeFile(Image);
    ASSERT_EQ(File.size(), 15u + 205u);
    EXPECT_EQ(File[0], 'U');
    EXPECT_EQ(File[1], 'F');
    EXPECT_EQ(File[2], 0x02);
    EXPECT_EQ(File[12], 1);
    EXPECT_EQ(File[14], 0);
    // The area's first byte is the record's first byte XOR the first value from seed 0 (0); the
    // second XOR 8.
    EXPECT_EQ(File[15], 0x34);
    EXPECT_EQ(File[16], 0x12 ^ 8);

    const ref::TDecoded D = ref::DecodeFile(File);
    EXPECT_TRUE(D.ChecksumOk);
    ASSERT_EQ(D.Users.size(), 1u);
    EXPECT_EQ(D.Users[0].UserName, "ab");
    EXPECT_EQ(D.Users[0].Pass, "");
}
