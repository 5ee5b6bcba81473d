#include "store/UserC.h"

#include "runtime/Random.h"
#include "store/RightCodes.h"

#include <cstring>

namespace {

// Stores Value into a password block under a fresh seed: the plain short string is written over
// the block's bytes (the bytes after it stay), then all 16 bytes are XORed with the seed's stream.
void StorePass(int32_t& Seed, TPassBlock& Block, std::string_view Value) {
    Seed = static_cast<int32_t>(DrawFromClock(0x7FFFFFFF));
    const std::size_t Len = std::min<std::size_t>(Value.size(), sizeof Block - 1);
    Block[0] = static_cast<uint8_t>(Len);
    std::memcpy(Block + 1, Value.data(), Len);
    TRandomStream(static_cast<uint32_t>(Seed)).Xor(Block, sizeof Block);
}

} // namespace

TUserC::TUserC(const TUserRec& ARec) {
    std::memcpy(&Rec, &ARec, sizeof Rec);
}

std::string DecodePassBlock(const TPassBlock& Block, int32_t Seed) {
    uint8_t Copy[sizeof(TPassBlock)];
    std::memcpy(Copy, Block, sizeof Copy);
    TRandomStream(static_cast<uint32_t>(Seed)).Xor(Copy, sizeof Copy);
    // A damaged length byte above 15 must not reach past the block.
    const std::size_t Len = std::min<std::size_t>(Copy[0], sizeof Copy - 1);
    return std::string(reinterpret_cast<const char*>(Copy + 1), Len);
}

std::string TUserC::GetPass() const {
    return DecodePassBlock(Rec.Pass, Rec.PassSeed);
}

void TUserC::SetPass(std::string_view Value) {
    int32_t Seed = 0;
    StorePass(Seed, Rec.Pass, Value);
    Rec.PassSeed = Seed;
}

void TUserC::SetNetPass(std::string_view Value) {
    int32_t Seed = 0;
    StorePass(Seed, Rec.NetPass, Value);
    Rec.NetPassSeed = Seed;
}

std::string TUserC::RightsText() const {
    std::string Text;
    for (const TRightCode& Right : RightCodes) {
        if (!Right.Code.empty() && (Rec.Rights & Right.Bit)) {
            Text += Right.Code;
            Text += ' ';
        }
    }
    return Text;
}
