#include "runtime/Random.h"

#include "runtime/CpuClones.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>

uint32_t RandSeed = 0;

namespace {

constexpr uint32_t Multiplier = 0x08088405u;
constexpr uint32_t Increment = 1u;

// One step of the generator as an affine map x -> A*x + C (mod 2^32).
struct TAffine {
    uint32_t A;
    uint32_t C;
};

// The map that applies First and then Second.
constexpr TAffine Compose(TAffine First, TAffine Second) {
    return {Second.A * First.A, Second.A * First.C + Second.C};
}

// The map that advances the generator by Steps steps.
constexpr TAffine JumpAhead(uint64_t Steps) {
    TAffine Result{1u, 0u};
    TAffine Power{Multiplier, Increment};
    while (Steps != 0) {
        if (Steps & 1u)
            Result = Compose(Result, Power);
        Power = Compose(Power, Power);
        Steps >>= 1;
    }
    return Result;
}

constexpr std::size_t Lanes = 32;
constexpr TAffine LaneStep = JumpAhead(Lanes);

// XORs whole blocks of Lanes bytes; Seeds[j] holds the generator state that yields byte j of
// the next block and is advanced by one block per iteration.
// Plain enough for the compiler to vectorise, and compiled for AVX2 as well.
PELORIN_CPU_CLONES
void XorBlocks(uint8_t* Buf, std::size_t Blocks, uint32_t* Seeds) {
    std::array<uint32_t, Lanes> S;
    for (std::size_t J = 0; J < Lanes; ++J)
        S[J] = Seeds[J];
    for (std::size_t B = 0; B < Blocks; ++B) {
        uint8_t* Block = Buf + B * Lanes;
        for (std::size_t J = 0; J < Lanes; ++J) {
            Block[J] ^= static_cast<uint8_t>(S[J] >> 24);
            S[J] = LaneStep.A * S[J] + LaneStep.C;
        }
    }
    for (std::size_t J = 0; J < Lanes; ++J)
        Seeds[J] = S[J];
}

} // namespace

namespace {

bool StreamAlive = false;

// A draw outside the stream that owns the generator would shift every later byte of that stream.
void RequireNoStream(const char* What) {
#if PELORIN_CHECK_STREAMS
    if (StreamAlive) {
        std::fprintf(stderr, "%s while a random stream is drawn: the stream would be wrong\n",
                     What);
        std::abort();
    }
#else
    (void)What;
#endif
}

uint32_t Step(uint32_t Range) {
    RandSeed = RandSeed * Multiplier + Increment;
    return static_cast<uint32_t>((static_cast<uint64_t>(RandSeed) * Range) >> 32);
}

void XorStream(uint8_t* Buf, std::size_t Len) {
    const std::size_t Blocks = Len / Lanes;
    std::size_t Done = 0;
    if (Blocks != 0) {
        // Random(256) is the top byte of the new state, so byte j draws the state j+1 steps on.
        std::array<uint32_t, Lanes> Seeds;
        uint32_t State = RandSeed;
        for (std::size_t J = 0; J < Lanes; ++J) {
            State = State * Multiplier + Increment;
            Seeds[J] = State;
        }
        XorBlocks(Buf, Blocks, Seeds.data());
        Done = Blocks * Lanes;
        // Leave RandSeed exactly Done steps on, where the serial loop would be.
        const TAffine ToEnd = JumpAhead(Done);
        RandSeed = ToEnd.A * RandSeed + ToEnd.C;
    }
    for (std::size_t I = Done; I < Len; ++I)
        Buf[I] ^= static_cast<uint8_t>(Step(256));
}

void SkipSteps(uint64_t Steps) {
    const TAffine Jump = JumpAhead(Steps);
    RandSeed = Jump.A * RandSeed + Jump.C;
}

} // namespace

uint32_t Random(uint32_t Range) {
    RequireNoStream("Random");
    return Step(Range);
}

void Randomize() {
    RequireNoStream("Randomize");
    timespec Now{};
    clock_gettime(CLOCK_REALTIME, &Now);
    RandSeed = static_cast<uint32_t>(Now.tv_sec) * 1000000007u + static_cast<uint32_t>(Now.tv_nsec);
}

void RandomXorStream(uint8_t* Buf, std::size_t Len) {
    RequireNoStream("RandomXorStream");
    XorStream(Buf, Len);
}

void RandomSkip(uint64_t Steps) {
    RequireNoStream("RandomSkip");
    SkipSteps(Steps);
}

uint32_t DrawFromClock(uint32_t Range) {
    Randomize();
    return Random(Range);
}

TRandomStream::TRandomStream(uint32_t Seed) {
    RequireNoStream("A second random stream");
    StreamAlive = true;
    RandSeed = Seed;
}

TRandomStream::~TRandomStream() {
    StreamAlive = false;
}

uint32_t TRandomStream::Draw(uint32_t Range) const {
    return Step(Range);
}

void TRandomStream::Xor(uint8_t* Buf, std::size_t Len) const {
    XorStream(Buf, Len);
}

void TRandomStream::Skip(uint64_t Steps) const {
    SkipSteps(Steps);
}
