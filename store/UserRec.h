#pragma once
// The 205-byte user record and the 15-byte file header: one byte image in memory and on disk.

#include "runtime/ShortString.h"

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "the file format is little-endian");

using TPassBlock = uint8_t[16]; // a short string of capacity 15, stored XORed with a random stream

// Packed: fields can sit at unaligned addresses. Read and assign them by value; never bind a
// reference or pointer to one (gtest's EXPECT_EQ, std::min and std::max bind references).
#pragma pack(push, 1)
struct TUserRec {
    uint16_t Id;
    int32_t PassSeed;
    int32_t NetPassSeed;
    uint32_t Rights;
    uint32_t Objects; // bit i: object number i+1
    TShortString<50> Name;
    TShortString<15> UserName;
    TShortString<15> NetUserName;
    uint8_t Reserved[72]; // never interpreted, carried through unchanged
    TPassBlock Pass;
    TPassBlock NetPass;
};

struct TUserFileHeader {
    uint16_t Magic; // 0x4655, "UF"
    uint16_t LastId;
    int32_t Seed;
    uint32_t Checksum;
    uint16_t Count;
    uint8_t LockByte; // the byte a writer locks; written as 0, never read
};
#pragma pack(pop)

inline constexpr uint16_t UserFileMagic = 0x4655;
inline constexpr std::size_t UserRecSize = 205;
inline constexpr std::size_t UserFileHeaderSize = 15;

static_assert(sizeof(TUserRec) == UserRecSize);
static_assert(offsetof(TUserRec, PassSeed) == 2);
static_assert(offsetof(TUserRec, NetPassSeed) == 6);
static_assert(offsetof(TUserRec, Rights) == 10);
static_assert(offsetof(TUserRec, Objects) == 14);
static_assert(offsetof(TUserRec, Name) == 18);
static_assert(offsetof(TUserRec, UserName) == 69);
static_assert(offsetof(TUserRec, NetUserName) == 85);
static_assert(offsetof(TUserRec, Reserved) == 101);
static_assert(offsetof(TUserRec, Pass) == 173);
static_assert(offsetof(TUserRec, NetPass) == 189);
static_assert(sizeof(TUserFileHeader) == UserFileHeaderSize);
static_assert(offsetof(TUserFileHeader, Count) == 12);
static_assert(offsetof(TUserFileHeader, LockByte) == 14);
