#pragma once
// An encoder and decoder of user files written from the file format alone, byte by byte, with
// its own generator: it shares no code with the store, so the store's tests can check the store
// against it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace ref {

// The runtime generator, restated: state := state * 134775813 + 1; a byte is the upper 8 bits.
class TStream {
public:
    explicit TStream(uint32_t Seed) : FState(Seed) {}
    uint8_t NextByte() {
        FState = FState * 134775813u + 1u;
        return static_cast<uint8_t>((uint64_t{FState} * 256u) >> 32);
    }

private:
    uint32_t FState;
};

inline void PutLe(std::vector<uint8_t>& Out, std::size_t At, uint64_t Value, int Bytes) {
    for (int I = 0; I < Bytes; ++I)
        Out[At + static_cast<std::size_t>(I)] = static_cast<uint8_t>(Value >> (8 * I));
}

inline uint64_t GetLe(const std::vector<uint8_t>& In, std::size_t At, int Bytes) {
    uint64_t Value = 0;
    for (int I = Bytes - 1; I >= 0; --I)
        Value = (Value << 8) | In[At + static_cast<std::size_t>(I)];
    return Value;
}

// One user as the file holds it, passwords in plain text. Filler is the byte value that fills
// each short string and password block after its characters.
struct TUser {
    uint16_t Id = 0;
    int32_t PassSeed = 0;
    int32_t NetPassSeed = 0;
    uint32_t Rights = 0;
    uint32_t Objects = 0;
    std::string Name, UserName, NetUserName; // code page 1250 bytes
    std::string Pass, NetPass;
    std::array<uint8_t, 72> Reserved{};
    uint8_t Filler = 0;
};

inline void PutShort(std::vector<uint8_t>& Rec, std::size_t At, const std::string& S,
                     std::size_t Capacity, uint8_t Filler) {
    Rec[At] = static_cast<uint8_t>(S.size());
    for (std::size_t I = 0; I < Capacity; ++I)
        Rec[At + 1 + I] = I < S.size() ? static_cast<uint8_t>(S[I]) : Filler;
}

inline std::vector<uint8_t> EncodeRecord(const TUser& U) {
    std::vector<uint8_t> Rec(205, 0);
    PutLe(Rec, 0, U.Id, 2);
    PutLe(Rec, 2, static_cast<uint32_t>(U.PassSeed), 4);
    PutLe(Rec, 6, static_cast<uint32_t>(U.NetPassSeed), 4);
    PutLe(Rec, 10, U.Rights, 4);
    PutLe(Rec, 14, U.Objects, 4);
    PutShort(Rec, 18, U.Name, 50, U.Filler);
    PutShort(Rec, 69, U.UserName, 15, U.Filler);
    PutShort(Rec, 85, U.NetUserName, 15, U.Filler);
    for (std::size_t I = 0; I < 72; ++I)
        Rec[101 + I] = U.Reserved[I];
    PutShort(Rec, 173, U.Pass, 15, U.Filler);
    PutShort(Rec, 189, U.NetPass, 15, U.Filler);
    TStream PassStream(static_cast<uint32_t>(U.PassSeed));
    for (std::size_t I = 0; I < 16; ++I)
        Rec[173 + I] ^= PassStream.NextByte();
    TStream NetStream(static_cast<uint32_t>(U.NetPassSeed));
    for (std::size_t I = 0; I < 16; ++I)
        Rec[189 + I] ^= NetStream.NextByte();
    return Rec;
}

inline uint32_t WordSum(const std::vector<uint8_t>& Bytes, std::size_t From, std::size_t Len) {
    uint32_t Sum = 0;
    for (std::size_t I = 0; I + 4 <= Len; I += 4)
        Sum += static_cast<uint32_t>(GetLe(Bytes, From + I, 4));
    return Sum;
}

struct TFileContents {
    uint16_t LastId = 0;
    int32_t Seed = 0;
    std::vector<TUser> Users;
    std::vector<uint8_t> Tail; // bytes after the counted records (stale records)
};

// The whole file: header, the records scrambled as one stream, the checksum over them, the tail.
inline std::vector<uint8_t> EncodeFile(const TFileContents& Contents) {
    std::vector<uint8_t> File(15, 0);
    File[0] = 'U';
    File[1] = 'F';
    PutLe(File, 2, Contents.LastId, 2);
    PutLe(File, 4, static_cast<uint32_t>(Contents.Seed), 4);
    PutLe(File, 12, Contents.Users.size(), 2);
    TStream Scramble(static_cast<uint32_t>(Contents.Seed));
    for (const TUser& U : Contents.Users) {
        for (uint8_t B : EncodeRecord(U))
            File.push_back(B ^ Scramble.NextByte());
    }
    PutLe(File, 8, WordSum(File, 15, Contents.Users.size() * 205), 4);
    File.insert(File.end(), Contents.Tail.begin(), Contents.Tail.end());
    return File;
}

// A file taken apart again; Ok is false when the header or the checksum does not hold.
struct TDecoded {
    bool Ok = false;
    uint16_t LastId = 0;
    int32_t Seed = 0;
    uint32_t Checksum = 0;
    uint8_t LockByte = 0;
    std::vector<TUser> Users;
    std::vector<std::vector<uint8_t>> Records; // unscrambled, 205 bytes each
};

inline std::string GetShort(const std::vector<uint8_t>& Rec, std::size_t At, std::size_t Cap) {
    const std::size_t Len = Rec[At] <= Cap ? Rec[At] : Cap;
    return std::string(Rec.begin() + static_cast<long>(At) + 1,
                       Rec.begin() + static_cast<long>(At + 1 + Len));
}

inline std::string DecodePass(const std::vector<uint8_t>& Rec, std::size_t At, uint32_t Seed) {
    std::vector<uint8_t> Block(Rec.begin() + static_cast<long>(At),
                               Rec.begin() + static_cast<long>(At) + 16);
    TStream S(Seed);
    for (uint8_t& B : Block)
        B ^= S.NextByte();
    return GetShort(Block, 0, 15);
}

inline TDecoded DecodeFile(const std::vector<uint8_t>& File) {
    TDecoded D;
    if (File.size() < 15 || File[0] != 'U' || File[1] != 'F')
        return D;
    D.LastId = static_cast<uint16_t>(GetLe(File, 2, 2));
    D.Seed = static_cast<int32_t>(GetLe(File, 4, 4));
    D.Checksum = static_cast<uint32_t>(GetLe(File, 8, 4));
    D.LockByte = File[14];
    const std::size_t Count = GetLe(File, 12, 2);
    if (Count == 0 || File.size() < 15 + Count * 205 || (File.size() - 15) % 205 != 0)
        return D;
    if (WordSum(File, 15, Count * 205) != D.Checksum)
        return D;
    TStream Scramble(static_cast<uint32_t>(D.Seed));
    for (std::size_t R = 0; R < Count; ++R) {
        std::vector<uint8_t> Rec(205);
        for (std::size_t I = 0; I < 205; ++I)
            Rec[I] = File[15 + R * 205 + I] ^ Scramble.NextByte();
        TUser U;
        U.Id = static_cast<uint16_t>(GetLe(Rec, 0, 2));
        U.PassSeed = static_cast<int32_t>(GetLe(Rec, 2, 4));
        U.NetPassSeed = static_cast<int32_t>(GetLe(Rec, 6, 4));
        U.Rights = static_cast<uint32_t>(GetLe(Rec, 10, 4));
        U.Objects = static_cast<uint32_t>(GetLe(Rec, 14, 4));
        U.Name = GetShort(Rec, 18, 50);
        U.UserName = GetShort(Rec, 69, 15);
        U.NetUserName = GetShort(Rec, 85, 15);
        for (std::size_t I = 0; I < 72; ++I)
            U.Reserved[I] = Rec[101 + I];
        U.Pass = DecodePass(Rec, 173, static_cast<uint32_t>(U.PassSeed));
        U.NetPass = DecodePass(Rec, 189, static_cast<uint32_t>(U.NetPassSeed));
        D.Users.push_back(U);
        D.Records.push_back(std::move(Rec));
    }
    D.Ok = true;
    return D;
}

// Appends the journal of an in-place save of Image: whole records holding Image and, at the very
// end, the trailer "PLRJRNL1", Image's length, where the journal starts, the 64-bit XXH3 of
// Image and the XXH3 of the trailer's first 32 bytes.
inline void AppendJournal(std::vector<uint8_t>& File, const std::vector<uint8_t>& Image) {
    const std::size_t Start = File.size();
    const std::size_t Room = (Image.size() + 40 + 204) / 205 * 205;
    File.resize(Start + Room, 0);
    std::copy(Image.begin(), Image.end(), File.begin() + static_cast<long>(Start));
    const std::size_t T = File.size() - 40;
    const std::string Magic = "PLRJRNL1";
    std::copy(Magic.begin(), Magic.end(), File.begin() + static_cast<long>(T));
    PutLe(File, T + 8, Image.size(), 8);
    PutLe(File, T + 16, Start, 8);
    PutLe(File, T + 24, XXH3_64bits(Image.data(), Image.size()), 8);
    PutLe(File, T + 32, XXH3_64bits(File.data() + T, 32), 8);
}

} // namespace ref
