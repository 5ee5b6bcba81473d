#include "store/UserFileFormat.h"

#include "runtime/Random.h"

#include <cstring>

uint32_t CalcChecksum(const uint8_t* Buf, std::size_t Len) {
    uint32_t Sum = 0;
    const std::size_t Words = Len / 4;
    for (std::size_t I = 0; I < Words; ++I) {
        uint32_t Word;
        std::memcpy(&Word, Buf + I * 4, sizeof Word);
        Sum += Word;
    }
    return Sum;
}

void XorArea(uint8_t* Buf, std::size_t Len, int32_t Seed) {
    RandSeed = static_cast<uint32_t>(Seed);
    RandomXorStream(Buf, Len);
}

int32_t FreshSeed() {
    Randomize();
    return static_cast<int32_t>(Random(0x7FFFFFFF));
}
