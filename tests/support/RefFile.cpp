#include "RefFile.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <algorithm>
#include <initializer_list>
#include <stdexcept>

namespace ref {

namespace {

// Field offsets inside a record.
constexpr std::size_t OffId = 0, OffPassSeed = 2, OffNetPassSeed = 6, OffRights = 10,
                      OffObjects = 14, OffName = 18, OffUserName = 69, OffNetUserName = 85,
                      OffReserved = 101, OffPass = 173, OffNetPass = 189;

void Put16(uint8_t* P, uint16_t V) {
    P[0] = static_cast<uint8_t>(V);
    P[1] = static_cast<uint8_t>(V >> 8);
}

void Put32(uint8_t* P, uint32_t V) {
    for (int I = 0; I < 4; ++I)
        P[I] = static_cast<uint8_t>(V >> (8 * I));
}

uint16_t Get16(const uint8_t* P) {
    return static_cast<uint16_t>(P[0] | (P[1] << 8));
}

uint32_t Get32(const uint8_t* P) {
    return static_cast<uint32_t>(P[0]) | (static_cast<uint32_t>(P[1]) << 8) |
           (static_cast<uint32_t>(P[2]) << 16) | (static_cast<uint32_t>(P[3]) << 24);
}

// Length byte, the characters (cut to Capacity), filler up to Capacity + 1 bytes.
void PutShortString(uint8_t* P, std::size_t Capacity, const std::string& S, uint8_t Filler) {
    const std::size_t Len = std::min(S.size(), Capacity);
    P[0] = static_cast<uint8_t>(Len);
    for (std::size_t I = 0; I < Capacity; ++I)
        P[1 + I] = I < Len ? static_cast<uint8_t>(S[I]) : Filler;
}

std::string GetShortString(const uint8_t* P, std::size_t Capacity) {
    const std::size_t Len = std::min<std::size_t>(P[0], Capacity);
    return std::string(reinterpret_cast<const char*>(P + 1), Len);
}

void XorWithStream(uint8_t* P, std::size_t Len, uint32_t Seed) {
    TGenerator G(Seed);
    for (std::size_t I = 0; I < Len; ++I)
        P[I] ^= static_cast<uint8_t>(G.Next(256));
}

void PutPassword(uint8_t* P, const std::string& Plain, int32_t Seed, uint8_t Filler) {
    PutShortString(P, 15, Plain, Filler);
    XorWithStream(P, 16, static_cast<uint32_t>(Seed));
}

std::string GetPassword(const uint8_t* P, int32_t Seed) {
    uint8_t Block[16];
    std::copy(P, P + 16, Block);
    XorWithStream(Block, 16, static_cast<uint32_t>(Seed));
    return GetShortString(Block, 15);
}

uint32_t WordSum(const uint8_t* P, std::size_t Len) {
    uint32_t Sum = 0;
    for (std::size_t I = 0; I + 4 <= Len; I += 4)
        Sum += Get32(P + I);
    return Sum;
}

} // namespace

uint32_t TGenerator::Next(uint32_t Range) {
    State = State * 0x08088405u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(State) * Range) >> 32);
}

TRecordBytes EncodeRecord(const TUser& U) {
    TRecordBytes R{};
    Put16(&R[OffId], U.Id);
    Put32(&R[OffPassSeed], static_cast<uint32_t>(U.PassSeed));
    Put32(&R[OffNetPassSeed], static_cast<uint32_t>(U.NetPassSeed));
    Put32(&R[OffRights], U.Rights);
    Put32(&R[OffObjects], U.Objects);
    PutShortString(&R[OffName], 50, U.Name, U.Filler);
    PutShortString(&R[OffUserName], 15, U.UserName, U.Filler);
    PutShortString(&R[OffNetUserName], 15, U.NetUserName, U.Filler);
    std::copy(U.Reserved.begin(), U.Reserved.end(), &R[OffReserved]);
    PutPassword(&R[OffPass], U.Pass, U.PassSeed, U.Filler);
    PutPassword(&R[OffNetPass], U.NetPass, U.NetPassSeed, U.Filler);
    return R;
}

TUser DecodeRecord(const uint8_t* R) {
    TUser U;
    U.Id = Get16(R + OffId);
    U.PassSeed = static_cast<int32_t>(Get32(R + OffPassSeed));
    U.NetPassSeed = static_cast<int32_t>(Get32(R + OffNetPassSeed));
    U.Rights = Get32(R + OffRights);
    U.Objects = Get32(R + OffObjects);
    U.Name = GetShortString(R + OffName, 50);
    U.UserName = GetShortString(R + OffUserName, 15);
    U.NetUserName = GetShortString(R + OffNetUserName, 15);
    std::copy(R + OffReserved, R + OffReserved + 72, U.Reserved.begin());
    U.Pass = GetPassword(R + OffPass, U.PassSeed);
    U.NetPass = GetPassword(R + OffNetPass, U.NetPassSeed);
    return U;
}

std::vector<uint8_t> EncodeFile(const TFileContents& Contents) {
    std::vector<uint8_t> Area;
    for (const TUser& U : Contents.Users) {
        const TRecordBytes R = EncodeRecord(U);
        Area.insert(Area.end(), R.begin(), R.end());
    }
    XorWithStream(Area.data(), Area.size(), static_cast<uint32_t>(Contents.Seed));

    // Sized once and filled by copy: growing a 15-byte vector by insert trips a false
    // array-bounds warning of GCC 12 at -O2.
    std::vector<uint8_t> File(HeaderSize + Area.size() + Contents.Trailer.size(), 0);
    Put16(&File[0], Contents.Magic);
    Put16(&File[2], Contents.LastId);
    Put32(&File[4], static_cast<uint32_t>(Contents.Seed));
    Put32(&File[8], WordSum(Area.data(), Area.size()));
    Put16(&File[12], static_cast<uint16_t>(Contents.Users.size()));
    const auto AreaEnd = std::copy(Area.begin(), Area.end(), File.begin() + HeaderSize);
    std::copy(Contents.Trailer.begin(), Contents.Trailer.end(), AreaEnd);
    return File;
}

TDecoded DecodeFile(const std::vector<uint8_t>& Bytes) {
    if (Bytes.size() < HeaderSize)
        throw std::runtime_error("file shorter than its header");
    TDecoded D;
    D.Magic = Get16(&Bytes[0]);
    D.LastId = Get16(&Bytes[2]);
    D.Seed = static_cast<int32_t>(Get32(&Bytes[4]));
    D.Checksum = Get32(&Bytes[8]);
    D.Count = Get16(&Bytes[12]);
    D.LockByte = Bytes[14];
    const std::size_t AreaSize = std::size_t{D.Count} * RecordSize;
    if (Bytes.size() < HeaderSize + AreaSize)
        throw std::runtime_error("file shorter than its counted records");

    std::vector<uint8_t> Area(Bytes.begin() + HeaderSize, Bytes.begin() + HeaderSize + AreaSize);
    D.ChecksumOk = WordSum(Area.data(), Area.size()) == D.Checksum;
    XorWithStream(Area.data(), Area.size(), static_cast<uint32_t>(D.Seed));
    for (std::size_t I = 0; I < D.Count; ++I) {
        TRecordBytes R;
        std::copy(Area.begin() + I * RecordSize, Area.begin() + (I + 1) * RecordSize, R.begin());
        D.Records.push_back(R);
        D.Users.push_back(DecodeRecord(R.data()));
    }
    D.Trailer.assign(Bytes.begin() + HeaderSize + AreaSize, Bytes.end());
    D.Ok = D.Magic == 0x4655 && D.Count >= 1 && D.Trailer.size() % RecordSize == 0 && D.ChecksumOk;
    return D;
}

std::vector<uint8_t> WithUndoJournal(const std::vector<uint8_t>& Old, std::size_t NewLen,
                                     bool Complete) {
    const std::size_t Start = std::max(Old.size(), NewLen);
    const std::size_t CopyLen = std::min(Old.size(), NewLen);
    const std::size_t Room = (CopyLen + 24 + 40 + 204) / 205 * 205;
    std::vector<uint8_t> File = Old;
    File.resize(Start + Room, 0);
    const auto Put = [&](std::size_t At, const std::string& Magic,
                         std::initializer_list<uint64_t> Fields) {
        std::copy(Magic.begin(), Magic.end(), File.begin() + static_cast<long>(At));
        std::size_t Field = At + 8;
        for (const uint64_t V : Fields) {
            for (int I = 0; I < 8; ++I)
                File[Field + static_cast<std::size_t>(I)] = static_cast<uint8_t>(V >> (8 * I));
            Field += 8;
        }
        const uint64_t Hash = XXH3_64bits(File.data() + At, Field - At);
        for (int I = 0; I < 8; ++I)
            File[Field + static_cast<std::size_t>(I)] = static_cast<uint8_t>(Hash >> (8 * I));
    };
    Put(File.size() - 40, "PLRUNDO1", {Old.size(), Start, CopyLen});
    if (Complete) {
        std::copy(Old.begin(), Old.begin() + static_cast<long>(CopyLen),
                  File.begin() + static_cast<long>(Start));
        Put(File.size() - 64, "PLRSEAL1", {XXH3_64bits(Old.data(), CopyLen)});
    }
    return File;
}

} // namespace ref
