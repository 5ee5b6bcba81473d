#pragma once
// The user file's guards: the word sum and the scrambling of the record area.

#include "runtime/Random.h"
#include "store/UserRec.h"

#include <cstddef>
#include <cstdint>

// The sum, modulo 2^32, of the first Len div 4 little-endian 32-bit words of Buf; the last
// Len mod 4 bytes are not summed.
uint32_t CalcChecksum(const uint8_t* Buf, std::size_t Len);

// The record area is worked through in groups of records that stay in the processor's first-level
// cache, and read or written in chunks of groups that stay in its second-level cache. Both are
// whole records and a multiple of 4 bytes long, as the sum of consecutive parts requires.
inline constexpr std::size_t GroupRecords = 80;   // 16,400 bytes
inline constexpr std::size_t ChunkRecords = 1280; // 262,400 bytes
static_assert(GroupRecords * UserRecSize % 4 == 0 && ChunkRecords % GroupRecords == 0);

enum class TXorDirection { Scramble, Unscramble };

// XORs Buf with the next bytes of Stream and returns the checksum of its scrambled form: of the
// bytes after the XOR when scrambling, before it when unscrambling.
// Works in cache-sized pieces, so that the sum costs no second trip through memory. Checksums of
// consecutive parts add up to the whole's when every part but the last is a multiple of 4 long.
uint32_t XorWithChecksum(const TRandomStream& Stream, uint8_t* Buf, std::size_t Len,
                         TXorDirection Direction);

// A fresh seed in 0..0x7FFFFFFE from the clock.
int32_t FreshSeed();
