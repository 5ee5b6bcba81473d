#include "runtime/InPlaceRewrite.h"

#include "runtime/File.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace {

// Trailer: magic, head length, journal start, hash of the head, hash of the 32 bytes before it
// (so that a torn trailer is never acted on). Integers little-endian.
constexpr std::array<uint8_t, 8> JournalMagic = {'P', 'L', 'R', 'J', 'R', 'N', 'L', '1'};
constexpr std::size_t TrailerSize = 40;
using TTrailer = std::array<uint8_t, TrailerSize>;

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

TTrailer EncodeTrailer(std::span<const uint8_t> Head, uint64_t Start) {
    TTrailer T{};
    std::copy(JournalMagic.begin(), JournalMagic.end(), T.begin());
    PutLe64(T.data() + 8, Head.size());
    PutLe64(T.data() + 16, Start);
    PutLe64(T.data() + 24, XXH3_64bits(Head.data(), Head.size()));
    PutLe64(T.data() + 32, XXH3_64bits(T.data(), 32));
    return T;
}

int64_t SizeOf(int Fd) {
    struct stat St {};
    return ::fstat(Fd, &St) == 0 ? St.st_size : -1;
}

bool Flush(int Fd) {
    return ::fsync(Fd) == 0;
}

bool Truncate(int Fd, uint64_t Length) {
    int Rc;
    do {
        Rc = ::ftruncate(Fd, static_cast<off_t>(Length));
    } while (Rc != 0 && errno == EINTR);
    return Rc == 0;
}

// Lengthens the file from OldLen to NewLen in one step, so that no length in between is ever
// seen. The room is reserved first without changing the length, where the file system can, so
// that a full disk stops the save here; a size limit stops it at the change of length.
bool Grow(int Fd, uint64_t OldLen, uint64_t NewLen) {
    int Rc;
    do {
        Rc = ::fallocate(Fd, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(OldLen),
                         static_cast<off_t>(NewLen - OldLen));
    } while (Rc != 0 && errno == EINTR);
    const bool Reserved = Rc == 0 || errno == EOPNOTSUPP || errno == ENOSYS;
    if (Reserved && Truncate(Fd, NewLen))
        return true;
    Truncate(Fd, OldLen); // also gives back blocks reserved past the end
    return false;
}

} // namespace

bool WriteHeadInPlace(int Fd, std::span<const uint8_t> Head, uint64_t LengthStep) {
    const int64_t Size = SizeOf(Fd);
    if (Size < 0 || Head.empty())
        return false;
    const auto OldLen = static_cast<uint64_t>(Size);
    const uint64_t Step = std::max<uint64_t>(LengthStep, 1);
    const uint64_t Start = std::max<uint64_t>(OldLen, Head.size());
    const uint64_t End = Start + (Head.size() + TrailerSize + Step - 1) / Step * Step;

    // 1. The journal. The trailer goes first: a journal whose head is then cut short is known by
    // its trailer and removed by the next writer, instead of staying as stale bytes.
    if (!Grow(Fd, OldLen, End))
        return false;
    const TTrailer Trailer = EncodeTrailer(Head, Start);
    if (!WriteAllAt(Fd, static_cast<int64_t>(End - TrailerSize), Trailer.data(), Trailer.size()) ||
        !WriteAllAt(Fd, static_cast<int64_t>(Start), Head.data(), Head.size()) || !Flush(Fd)) {
        Truncate(Fd, OldLen); // the front is untouched: give the room back
        return false;
    }
    // 2. The front. Should this fail, the journal is the only complete copy: it stays.
    if (!WriteAllAt(Fd, 0, Head.data(), Head.size()) || !Flush(Fd))
        return false;
    // 3. The new head is on the disk; a journal left by a failure here is finished again later.
    if (Truncate(Fd, Start))
        Flush(Fd);
    return true;
}

TJournalOutcome FinishInPlaceRewrite(int Fd, uint64_t MaxHeadLen) {
    const int64_t Size = SizeOf(Fd);
    if (Size < static_cast<int64_t>(TrailerSize))
        return Size < 0 ? TJournalOutcome::Failed : TJournalOutcome::None;
    const auto Len = static_cast<uint64_t>(Size);
    TTrailer Trailer{};
    if (ReadAllAt(Fd, Size - static_cast<int64_t>(TrailerSize), Trailer.data(), TrailerSize) !=
        static_cast<int64_t>(TrailerSize))
        return TJournalOutcome::Failed;
    const uint64_t HeadLen = GetLe64(Trailer.data() + 8);
    const uint64_t Start = GetLe64(Trailer.data() + 16);
    const bool Ours = std::equal(JournalMagic.begin(), JournalMagic.end(), Trailer.begin()) &&
                      GetLe64(Trailer.data() + 32) == XXH3_64bits(Trailer.data(), 32) &&
                      HeadLen > 0 && HeadLen <= MaxHeadLen && HeadLen <= Start &&
                      Start <= Len - TrailerSize && HeadLen <= Len - TrailerSize - Start;
    if (!Ours)
        return TJournalOutcome::None;

    const auto Head = std::make_unique_for_overwrite<uint8_t[]>(HeadLen);
    if (ReadAllAt(Fd, static_cast<int64_t>(Start), Head.get(), HeadLen) !=
        static_cast<int64_t>(HeadLen))
        return TJournalOutcome::Failed;
    if (XXH3_64bits(Head.get(), HeadLen) != GetLe64(Trailer.data() + 24)) {
        // Interrupted before its flush, so before the front was touched.
        return Truncate(Fd, Start) && Flush(Fd) ? TJournalOutcome::Discarded
                                                : TJournalOutcome::Failed;
    }
    const bool Done =
        WriteAllAt(Fd, 0, Head.get(), HeadLen) && Flush(Fd) && Truncate(Fd, Start) && Flush(Fd);
    return Done ? TJournalOutcome::Completed : TJournalOutcome::Failed;
}
