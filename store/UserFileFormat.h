#pragma once
// The user file's guards: the word sum and the scrambling of the record area.

#include <cstddef>
#include <cstdint>

// The sum, modulo 2^32, of the first Len div 4 little-endian 32-bit words of Buf; the last
// Len mod 4 bytes are not summed.
uint32_t CalcChecksum(const uint8_t* Buf, std::size_t Len);

// XORs the area with the generator's stream from Seed (scrambling and unscrambling alike).
void XorArea(uint8_t* Buf, std::size_t Len, int32_t Seed);

// A fresh seed in 0..0x7FFFFFFE from the clock.
int32_t FreshSeed();
