#pragma once
// The process-wide pseudo-random generator. The user file's scrambling depends on it bit for bit:
// RandSeed := RandSeed * 0x08088405 + 1 (mod 2^32), and Random(N) is the upper half of the
// 64-bit product of the new RandSeed and N.
//
// A stream is RandSeed set to a seed and the draws that follow, in order: a password block's 16
// bytes, a record area. Nothing else may draw from or reseed the generator between a stream's
// seed and its last draw, or the file is scrambled wrongly. The store therefore draws only
// through TRandomStream, which owns the generator for its lifetime; in checked builds
// (PELORIN_CHECK_STREAMS, on unless a preset turns it off) a second stream opened meanwhile, or
// Random, Randomize, RandomXorStream or RandomSkip called meanwhile, ends the process with a
// message.

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

// Randomize, then one Random(Range): how a fresh seed (of a password block, of the record area)
// and the main window's first identifier are drawn. A stream of one draw.
uint32_t DrawFromClock(uint32_t Range);

class TRandomStream {
public:
    explicit TRandomStream(uint32_t Seed); // RandSeed := Seed
    ~TRandomStream();
    TRandomStream(const TRandomStream&) = delete;
    TRandomStream& operator=(const TRandomStream&) = delete;

    uint32_t Draw(uint32_t Range) const;           // Random(Range)
    void Xor(uint8_t* Buf, std::size_t Len) const; // RandomXorStream
    void Skip(uint64_t Steps) const;               // RandomSkip
};
