#include "store/UserFileFormat.h"

#include "runtime/CpuClones.h"
#include "runtime/Random.h"

#include <algorithm>
#include <cstring>

namespace {

// Eight 32-bit words as one value: the compiler adds them with vector instructions.
typedef uint32_t TWords8 __attribute__((vector_size(32)));

} // namespace

PELORIN_CPU_CLONES
uint32_t CalcChecksum(const uint8_t* Buf, std::size_t Len) {
    TWords8 Sums0 = {};
    TWords8 Sums1 = {};
    std::size_t At = 0;
    for (; At + 64 <= Len; At += 64) {
        TWords8 Words0;
        TWords8 Words1;
        std::memcpy(&Words0, Buf + At, sizeof Words0);
        std::memcpy(&Words1, Buf + At + 32, sizeof Words1);
        Sums0 += Words0;
        Sums1 += Words1;
    }
    Sums0 += Sums1;
    uint32_t Sum = 0;
    for (int J = 0; J < 8; ++J)
        Sum += Sums0[J];
    for (; At + 4 <= Len; At += 4) {
        uint32_t Word;
        std::memcpy(&Word, Buf + At, sizeof Word);
        Sum += Word;
    }
    return Sum;
}

uint32_t XorWithChecksum(const TRandomStream& Stream, uint8_t* Buf, std::size_t Len,
                         TXorDirection Direction) {
    constexpr std::size_t Piece = 16 * 1024; // a multiple of 4: words never straddle pieces
    uint32_t Sum = 0;
    for (std::size_t At = 0; At < Len; At += Piece) {
        const std::size_t N = std::min(Piece, Len - At);
        if (Direction == TXorDirection::Unscramble)
            Sum += CalcChecksum(Buf + At, N);
        Stream.Xor(Buf + At, N);
        if (Direction == TXorDirection::Scramble)
            Sum += CalcChecksum(Buf + At, N);
    }
    return Sum;
}

int32_t FreshSeed() {
    return static_cast<int32_t>(DrawFromClock(0x7FFFFFFF));
}
