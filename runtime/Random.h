#pragma once
// The process-wide pseudo-random generator. The user file's scrambling depends on it bit for bit:
// RandSeed := RandSeed * 0x08088405 + 1 (mod 2^32), and Random(N) is the upper half of the
// 64-bit product of the new RandSeed and N.

#include <cstddef>
#include <cstdint>

extern uint32_t RandSeed;

// A value in 0..Range-1 (Range >= 1); advances RandSeed by one step.
uint32_t Random(uint32_t Range);

// Seeds RandSeed from the clock.
void Randomize();

// XORs Buf[i] with the i-th next Random(256), for i = 0..Len-1, and leaves RandSeed where that
// serial loop would leave it. Computes independent lanes by jump-ahead, so it is much faster
// than the loop while producing the same bytes.
void RandomXorStream(uint8_t* Buf, std::size_t Len);

// Advances RandSeed by Steps steps at once, as Steps calls of Random would.
void RandomSkip(uint64_t Steps);
