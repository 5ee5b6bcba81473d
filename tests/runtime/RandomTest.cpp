#include "runtime/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Expected values worked out independently (by hand for the first two, then with a short
// script) from RandSeed := RandSeed * 134775813 + 1 and the upper half of RandSeed * N.
struct TVector {
    uint32_t Seed;
    uint8_t Bytes[8];
    uint32_t SeedAfter;
};
constexpr TVector ByteVectors[] = {
    {0, {0, 8, 220, 51, 69, 171, 81, 41}, 0x296b6d78},
    {1, {8, 220, 51, 69, 171, 81, 41, 95}, 0x5f4b0359},
    {0x7FFFFFFE, {111, 223, 173, 143, 249, 224, 33, 61}, 0x3dac41b6},
    {123456789, {139, 101, 100, 8, 207, 218, 235, 13}, 0x0dc2e5ed},
};

TEST(Random, FixedVectorsOfBytes) {
    for (const TVector& V : ByteVectors) {
        RandSeed = V.Seed;
        for (uint8_t Expected : V.Bytes)
            EXPECT_EQ(Random(256), Expected) << "seed " << V.Seed;
        EXPECT_EQ(RandSeed, V.SeedAfter) << "seed " << V.Seed;
    }
}

TEST(Random, FixedVectorsOfOtherRanges) {
    RandSeed = 42;
    EXPECT_EQ(Random(0x7FFFFFFF), 682808425u);
    EXPECT_EQ(Random(0x7FFFFFFF), 1884326927u);
    EXPECT_EQ(Random(0x7FFFFFFF), 441121872u);
    EXPECT_EQ(Random(63000), 9883u);
    EXPECT_EQ(Random(63000), 1241u);
    EXPECT_EQ(Random(63000), 53373u);
    EXPECT_EQ(RandSeed, 0xd8e23ebcu);

    RandSeed = 0xFFFFFFFF; // wraps modulo 2^32
    EXPECT_EQ(Random(1000), 968u);
    EXPECT_EQ(Random(1000), 201u);
    EXPECT_EQ(Random(1000), 519u);
    EXPECT_EQ(Random(1000), 132u);
    RandSeed = 7;
    EXPECT_EQ(Random(1), 0u);
}

TEST(Random, RandomizeGivesDifferentSeedsOverTime) {
    Randomize();
    const uint32_t First = RandSeed;
    bool Changed = false;
    for (int I = 0; I < 1000 && !Changed; ++I) {
        Randomize();
        Changed = RandSeed != First;
    }
    EXPECT_TRUE(Changed);
}

// The serial definition of the stream, one draw per byte.
void SerialXor(std::vector<uint8_t>& Buf) {
    for (uint8_t& B : Buf)
        B ^= static_cast<uint8_t>(Random(256));
}

TEST(Random, LaneStreamMatchesSerialLoopForManyLengths) {
    const std::size_t Lengths[] = {0,
                                   1,
                                   7,
                                   15,
                                   16,
                                   31,
                                   32,
                                   33,
                                   63,
                                   64,
                                   65,
                                   205,
                                   410,
                                   615,
                                   999,
                                   4096,
                                   4097,
                                   65535,
                                   205 * 1000 + 3};
    const uint32_t Seeds[] = {0, 1, 0x7FFFFFFE, 0xFFFFFFFF, 0x9E3779B9};
    for (std::size_t Len : Lengths) {
        for (uint32_t Seed : Seeds) {
            std::vector<uint8_t> Data(Len);
            for (std::size_t I = 0; I < Len; ++I)
                Data[I] = static_cast<uint8_t>(I * 37 + 11);
            std::vector<uint8_t> Serial = Data;

            RandSeed = Seed;
            SerialXor(Serial);
            const uint32_t SerialSeed = RandSeed;

            RandSeed = Seed;
            RandomXorStream(Data.data(), Data.size());
            ASSERT_EQ(Data, Serial) << "length " << Len << " seed " << Seed;
            ASSERT_EQ(RandSeed, SerialSeed) << "length " << Len << " seed " << Seed;
        }
    }
}

TEST(Random, LaneStreamMatchesSerialLoopForAFullSizeFile) {
    // 65,535 records of 205 bytes: the largest record area a user file can hold.
    const std::size_t Len = 65535u * 205u;
    std::vector<uint8_t> Data(Len, 0);
    std::vector<uint8_t> Serial(Len, 0);
    RandSeed = 0x12345678;
    SerialXor(Serial);
    const uint32_t SerialSeed = RandSeed;
    RandSeed = 0x12345678;
    RandomXorStream(Data.data(), Len);
    EXPECT_EQ(RandSeed, SerialSeed);
    EXPECT_TRUE(Data == Serial);
}

TEST(Random, LaneStreamXorsTwiceBackToTheInput) {
    std::vector<uint8_t> Data(1000);
    for (std::size_t I = 0; I < Data.size(); ++I)
        Data[I] = static_cast<uint8_t>(I);
    const std::vector<uint8_t> Original = Data;
    RandSeed = 99;
    RandomXorStream(Data.data(), Data.size());
    EXPECT_NE(Data, Original);
    RandSeed = 99;
    RandomXorStream(Data.data(), Data.size());
    EXPECT_EQ(Data, Original);
}

TEST(Random, LaneStreamContinuesFromAnyPosition) {
    // Two calls in a row continue one stream, like two serial loops.
    std::vector<uint8_t> Whole(300, 0);
    RandSeed = 5;
    RandomXorStream(Whole.data(), Whole.size());
    std::vector<uint8_t> Split(300, 0);
    RandSeed = 5;
    RandomXorStream(Split.data(), 45);
    RandomXorStream(Split.data() + 45, 255);
    EXPECT_EQ(Split, Whole);

    // Skipping the first part's steps lands where the stream's second part starts.
    std::vector<uint8_t> Tail(255, 0);
    RandSeed = 5;
    RandomSkip(45);
    RandomXorStream(Tail.data(), Tail.size());
    EXPECT_TRUE(std::equal(Tail.begin(), Tail.end(), Whole.begin() + 45));
}

} // namespace

namespace {

// A stream draws the generator's own values; anything else that draws while it lives would
// shift them, and ends the process in checked builds.
TEST(RandomStreamDeathTest, StreamOwnsTheGeneratorUntilItEnds) {
    {
        const TRandomStream Stream(ByteVectors[3].Seed);
        for (uint8_t Expected : ByteVectors[3].Bytes)
            EXPECT_EQ(Stream.Draw(256), Expected);
    }
    EXPECT_EQ(RandSeed, ByteVectors[3].SeedAfter);
    Random(7); // free again
    EXPECT_DEATH(
        {
            const TRandomStream Stream(1);
            const TRandomStream Second(2);
        },
        "A second random stream");
    EXPECT_DEATH(
        {
            const TRandomStream Stream(1);
            Randomize();
        },
        "Randomize while a random stream");
}

} // namespace
