#pragma once
// An encoder and decoder of the user file written from the format's description alone, with a
// generator of its own and no code shared with the store: when the store or usrpass and this
// code agree byte for byte, both follow the format.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ref {

inline constexpr std::size_t RecordSize = 205;
inline constexpr std::size_t HeaderSize = 15;

// The runtime's generator: state := state * 0x08088405 + 1 (mod 2^32); a value in 0..Range-1
// is the upper half of the 64-bit product of the new state and Range.
class TGenerator {
public:
    explicit TGenerator(uint32_t Seed) : State(Seed) {}
    uint32_t Next(uint32_t Range);

private:
    uint32_t State;
};

using TRecordBytes = std::array<uint8_t, RecordSize>;

// One user; strings are CP1250 bytes, passwords in plain text.
struct TUser {
    uint16_t Id = 0;
    int32_t PassSeed = 0;
    int32_t NetPassSeed = 0;
    uint32_t Rights = 0;
    uint32_t Objects = 0;
    std::string Name;
    std::string UserName;
    std::string NetUserName;
    std::array<uint8_t, 72> Reserved{};
    std::string Pass;
    std::string NetPass;
    uint8_t Filler = 0; // the bytes after the characters of every string and password block
};

// The record with its password blocks scrambled under their seeds (the in-memory form).
TRecordBytes EncodeRecord(const TUser& User);
// The record's fields; Pass and NetPass are decoded, Filler is not recovered.
TUser DecodeRecord(const uint8_t* Record);

struct TFileContents {
    uint16_t Magic = 0x4655;
    uint16_t LastId = 0;
    int32_t Seed = 0;
    std::vector<TUser> Users;
    std::vector<uint8_t> Trailer; // bytes after the counted records, e.g. stale records
};

// Header, the records scrambled as one stream under Seed, the word sum of the scrambled area.
std::vector<uint8_t> EncodeFile(const TFileContents& Contents);

struct TDecoded {
    uint16_t Magic = 0;
    uint16_t LastId = 0;
    int32_t Seed = 0;
    uint32_t Checksum = 0;
    uint16_t Count = 0;
    uint8_t LockByte = 0;
    bool ChecksumOk = false;
    bool Ok = false; // a file the store loads: "UF", Count >= 1, whole records, ChecksumOk
    std::vector<TRecordBytes> Records; // unscrambled records, password blocks still scrambled
    std::vector<TUser> Users;
    std::vector<uint8_t> Trailer;
};

// Throws std::runtime_error when the file is too short for its header and Count records.
TDecoded DecodeFile(const std::vector<uint8_t>& Bytes);

// Old grown by the journal of an in-place save of a NewLen-byte head, as it stands before the
// front is touched: the trailer "PLRUNDO1" at the very end (the old length, where the journal
// starts, how many old bytes it holds, the XXH3 of the 32 bytes before), and when Complete the
// old bytes that the head covers copied past the old end and the seal "PLRSEAL1" before the
// trailer (their XXH3, and the XXH3 of the 16 bytes before).
std::vector<uint8_t> WithUndoJournal(const std::vector<uint8_t>& Old, std::size_t NewLen,
                                     bool Complete);

} // namespace ref
