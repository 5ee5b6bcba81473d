#include "runtime/InPlaceRewrite.h"

#include "runtime/File.h"
#include "runtime/FileSystem.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace {

// The trailer, at the journal's very end: magic, the old length, where the journal starts, how
// many old bytes it holds, and a hash of the 32 bytes before it (so that a torn trailer is never
// acted on). The seal, just before it, once the copy is complete: magic, the copy's hash, and a
// hash of the 16 bytes before it. Integers little-endian.
constexpr std::array<uint8_t, 8> TrailerMagic = {'P', 'L', 'R', 'U', 'N', 'D', 'O', '1'};
constexpr std::array<uint8_t, 8> SealMagic = {'P', 'L', 'R', 'S', 'E', 'A', 'L', '1'};
constexpr std::size_t TrailerSize = 40;
constexpr std::size_t SealSize = 24;
constexpr std::size_t CopyChunk = std::size_t{1} << 20;

struct TJournal {
    uint64_t OldLen = 0;
    uint64_t Start = 0;
    uint64_t CopyLen = 0;
};

void PutLe64(uint8_t* At, uint64_t Value) {
    for (int I = 0; I < 8; ++I)
        At[I] = static_cast<uint8_t>(Value >> (8 * I));
}

uint64_t GetLe64(const uint8_t* At) {
    uint64_t Value = 0;
    for (int I = 7; I >= 0; --I)
        Value = Value << 8 | At[I];
    return Value;
}

// Magic, the fields, then a hash of all that: Size bytes.
template <std::size_t Size>
std::array<uint8_t, Size> Encode(const std::array<uint8_t, 8>& Magic,
                                 std::initializer_list<uint64_t> Fields) {
    std::array<uint8_t, Size> Block{};
    std::copy(Magic.begin(), Magic.end(), Block.begin());
    std::size_t At = 8;
    for (uint64_t Field : Fields) {
        PutLe64(Block.data() + At, Field);
        At += 8;
    }
    PutLe64(Block.data() + At, XXH3_64bits(Block.data(), At));
    return Block;
}

template <std::size_t Size>
bool Valid(const std::array<uint8_t, Size>& Block, const std::array<uint8_t, 8>& Magic) {
    return std::equal(Magic.begin(), Magic.end(), Block.begin()) &&
           GetLe64(Block.data() + Size - 8) == XXH3_64bits(Block.data(), Size - 8);
}

int64_t SizeOf(int Fd) {
    struct stat St {};
    return Fs().FStat(Fd, &St) == 0 ? St.st_size : -1;
}

bool Flush(int Fd) {
    return Fs().Sync(Fd) == 0;
}

bool Truncate(int Fd, uint64_t Length) {
    int Rc;
    do {
        Rc = Fs().Truncate(Fd, static_cast<off_t>(Length));
    } while (Rc != 0 && errno == EINTR);
    return Rc == 0;
}

bool WriteTrailer(int Fd, uint64_t End, const TJournal& J) {
    const auto T = Encode<TrailerSize>(TrailerMagic, {J.OldLen, J.Start, J.CopyLen});
    return WriteAllAt(Fd, static_cast<int64_t>(End - TrailerSize), T.data(), T.size());
}

bool WriteSeal(int Fd, uint64_t End, uint64_t CopyHash) {
    const auto S = Encode<SealSize>(SealMagic, {CopyHash});
    return WriteAllAt(Fd, static_cast<int64_t>(End - TrailerSize - SealSize), S.data(), S.size());
}

// Copies Len bytes from From to To within the file, a chunk at a time; with Hash, hashes them.
bool CopyWithin(int Fd, uint64_t From, uint64_t To, uint64_t Len, XXH3_state_t* Hash) {
    std::vector<uint8_t> Buffer(static_cast<std::size_t>(std::min<uint64_t>(Len, CopyChunk)));
    for (uint64_t Done = 0; Done < Len;) {
        const auto Want = static_cast<std::size_t>(std::min<uint64_t>(Len - Done, CopyChunk));
        if (ReadAllAt(Fd, static_cast<int64_t>(From + Done), Buffer.data(), Want) !=
            static_cast<int64_t>(Want))
            return false;
        if (Hash != nullptr)
            XXH3_64bits_update(Hash, Buffer.data(), Want);
        if (!WriteAllAt(Fd, static_cast<int64_t>(To + Done), Buffer.data(), Want))
            return false;
        Done += Want;
    }
    return true;
}

std::optional<uint64_t> HashOfRange(int Fd, uint64_t From, uint64_t Len) {
    std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> State(XXH3_createState(),
                                                                   &XXH3_freeState);
    std::vector<uint8_t> Buffer(static_cast<std::size_t>(std::min<uint64_t>(Len, CopyChunk)));
    if (!State || XXH3_64bits_reset(State.get()) != XXH_OK)
        return std::nullopt;
    for (uint64_t Done = 0; Done < Len;) {
        const auto Want = static_cast<std::size_t>(std::min<uint64_t>(Len - Done, CopyChunk));
        if (ReadAllAt(Fd, static_cast<int64_t>(From + Done), Buffer.data(), Want) !=
            static_cast<int64_t>(Want))
            return std::nullopt;
        XXH3_64bits_update(State.get(), Buffer.data(), Want);
        Done += Want;
    }
    return XXH3_64bits_digest(State.get());
}

// Reserves the room from OldLen to End, lengthens the file to End in one step, so that no length
// in between is ever seen, writes the trailer and flushes. Where the file system cannot reserve
// room, the part the new head will cover is written with zeros, so that writing the head later
// cannot run out of room. False, with the file as it was, when the room is not there.
bool Grow(int Fd, const TJournal& J, uint64_t End) {
    int Rc;
    do {
        Rc = Fs().Reserve(Fd, static_cast<off_t>(J.OldLen), static_cast<off_t>(End - J.OldLen));
    } while (Rc != 0 && errno == EINTR);
    const bool CannotReserve = Rc != 0 && (errno == EOPNOTSUPP || errno == ENOSYS);
    bool Grown = (Rc == 0 || CannotReserve) && Truncate(Fd, End) && WriteTrailer(Fd, End, J);
    if (Grown && CannotReserve && J.Start > J.OldLen) {
        const std::vector<uint8_t> Zeros(
            static_cast<std::size_t>(std::min<uint64_t>(J.Start - J.OldLen, CopyChunk)));
        for (uint64_t At = J.OldLen; Grown && At < J.Start; At += Zeros.size()) {
            const auto Len =
                static_cast<std::size_t>(std::min<uint64_t>(J.Start - At, Zeros.size()));
            Grown = WriteAllAt(Fd, static_cast<int64_t>(At), Zeros.data(), Len);
        }
    }
    if (Grown && Flush(Fd))
        return true;
    Truncate(Fd, J.OldLen); // also gives back room reserved past the end
    return false;
}

// Puts the journal's old bytes back over the front and cuts the journal off.
bool RollBack(int Fd, const TJournal& J) {
    return CopyWithin(Fd, J.Start, 0, J.CopyLen, nullptr) && Flush(Fd) && Truncate(Fd, J.OldLen) &&
           Flush(Fd);
}

} // namespace

TInPlaceResult WriteHeadInPlace(int Fd, std::span<const uint8_t> Head, uint64_t LengthStep) {
    const int64_t Size = SizeOf(Fd);
    if (Size < 0 || Head.empty())
        return TInPlaceResult::NotWritten;
    TJournal J;
    J.OldLen = static_cast<uint64_t>(Size);
    J.Start = std::max<uint64_t>(J.OldLen, Head.size());
    J.CopyLen = std::min<uint64_t>(J.OldLen, Head.size());
    const uint64_t Step = std::max<uint64_t>(LengthStep, 1);
    const uint64_t End = J.Start + (J.CopyLen + SealSize + TrailerSize + Step - 1) / Step * Step;

    // 1 and 2: the journal, complete and on the disk before the front is touched.
    if (!Grow(Fd, J, End))
        return TInPlaceResult::NotWritten;
    std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> Hash(XXH3_createState(),
                                                                  &XXH3_freeState);
    const bool Journaled = Hash && XXH3_64bits_reset(Hash.get()) == XXH_OK &&
                           CopyWithin(Fd, 0, J.Start, J.CopyLen, Hash.get()) &&
                           WriteSeal(Fd, End, XXH3_64bits_digest(Hash.get())) && Flush(Fd);
    if (!Journaled) {
        Truncate(Fd, J.OldLen);
        return TInPlaceResult::NotWritten;
    }
    // 3 and 4. Should either fail, the old front goes back, now or at the next writer's open.
    if (WriteAllAt(Fd, 0, Head.data(), Head.size()) && Flush(Fd) && Truncate(Fd, J.Start) &&
        Flush(Fd))
        return TInPlaceResult::Written;
    return RollBack(Fd, J) ? TInPlaceResult::NotWritten : TInPlaceResult::Pending;
}

TJournalOutcome RecoverInPlaceRewrite(int Fd, uint64_t MaxCopyLen) {
    const int64_t Size = SizeOf(Fd);
    if (Size < static_cast<int64_t>(TrailerSize + SealSize))
        return Size < 0 ? TJournalOutcome::Failed : TJournalOutcome::None;
    const auto Len = static_cast<uint64_t>(Size);
    std::array<uint8_t, TrailerSize> T{};
    std::array<uint8_t, SealSize> S{};
    if (ReadAllAt(Fd, Size - static_cast<int64_t>(TrailerSize), T.data(), T.size()) !=
            static_cast<int64_t>(T.size()) ||
        ReadAllAt(Fd, Size - static_cast<int64_t>(TrailerSize + SealSize), S.data(), S.size()) !=
            static_cast<int64_t>(S.size()))
        return TJournalOutcome::Failed;
    TJournal J;
    J.OldLen = GetLe64(T.data() + 8);
    J.Start = GetLe64(T.data() + 16);
    J.CopyLen = GetLe64(T.data() + 24);
    const uint64_t Room = Len - TrailerSize - SealSize;
    const bool Ours = Valid(T, TrailerMagic) && J.OldLen <= J.Start && J.CopyLen <= J.OldLen &&
                      J.CopyLen <= MaxCopyLen && J.Start <= Room && J.CopyLen <= Room - J.Start;
    if (!Ours)
        return TJournalOutcome::None;
    // A journal without its seal, or with a copy that does not match it, was cut short before
    // the front was touched.
    const bool Undo =
        Valid(S, SealMagic) && HashOfRange(Fd, J.Start, J.CopyLen) == GetLe64(S.data() + 8);
    if (!Undo)
        return Truncate(Fd, J.OldLen) && Flush(Fd) ? TJournalOutcome::Discarded
                                                   : TJournalOutcome::Failed;
    return RollBack(Fd, J) ? TJournalOutcome::RolledBack : TJournalOutcome::Failed;
}

bool CutZeroTail(int Fd, uint64_t Used, uint64_t LengthStep) {
    const int64_t Size = SizeOf(Fd);
    if (Size < 0 || LengthStep == 0)
        return Size >= 0;
    auto End = static_cast<uint64_t>(Size);
    if (End <= Used || (End - Used) % LengthStep != 0)
        return true;
    std::vector<uint8_t> Step(static_cast<std::size_t>(LengthStep));
    while (End > Used) {
        if (ReadAllAt(Fd, static_cast<int64_t>(End - LengthStep), Step.data(), Step.size()) !=
            static_cast<int64_t>(Step.size()))
            return false;
        if (std::any_of(Step.begin(), Step.end(), [](uint8_t B) { return B != 0; }))
            break;
        End -= LengthStep;
    }
    return End == static_cast<uint64_t>(Size) || (Truncate(Fd, End) && Flush(Fd));
}
