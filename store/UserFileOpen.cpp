#include "runtime/InPlaceRewrite.h"
#include "runtime/Random.h"
#include "store/UserArena.h"
#include "store/UserFileFormat.h"
#include "store/UserManager.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

namespace {

// How often a writer starts over when the file it locked was replaced in the meantime.
constexpr int ReopenAttempts = 20;

} // namespace

int TUserManager::Open(const std::string& FileName, bool AForWriting) {
    FFileName = FileName;
    for (int Attempt = 0; Attempt < ReopenAttempts; ++Attempt) {
        if (!FileExists(FileName))
            return ueNoFile;
        const int Result = OpenChecked(AForWriting);
        if (Result != OpenStartOver) {
            if (Result == ueOk)
                ForWriting = AForWriting;
            return Result;
        }
    }
    return ueLocked;
}

namespace {

// The header's first 14 bytes (LockByte is not read); false when they cannot be read.
bool ReadHeader(const TFile& Handle, TUserFileHeader& Header) {
    uint8_t Bytes[UserFileHeaderSize - 1] = {};
    if (Handle.ReadAt(0, Bytes, sizeof Bytes) < 0)
        return false;
    std::memcpy(&Header, Bytes, sizeof Bytes);
    return true;
}

} // namespace

// Takes the writer's lock, makes sure it is on the file the name leads to now, finishes an
// in-place save that was interrupted, and reads the header again as it stands now that no other
// writer can change it. Returns ueOk, ueLocked, ueOpen, ueBadFile or OpenStartOver; the file is
// still open only on ueOk.
int TUserManager::LockAndReread() {
    auto Fail = [this](int Code) {
        Handle.Close();
        return Code;
    };
    switch (Handle.LockByte(offsetof(TUserFileHeader, LockByte))) {
    case TLockResult::Locked:
        break;
    case TLockResult::Refused:
        return Fail(ueLocked);
    case TLockResult::Failed:
        return Fail(ueOpen);
    }
    // A save replaces the file by rename: the lock is worth something only on the file the name
    // leads to now.
    if (!Handle.IsSameFileAs(FFileName))
        return Fail(OpenStartOver);
    constexpr uint64_t LargestImage = UserFileHeaderSize + uint64_t{0xFFFF} * UserRecSize;
    if (FinishInPlaceRewrite(Handle.Fd(), LargestImage) == TJournalOutcome::Failed)
        return Fail(ueOpen);
    if (!ReadHeader(Handle, Header))
        return Fail(ueOpen);
    if (Header.Magic != UserFileMagic)
        return Fail(ueBadFile);
    return ueOk;
}

// Returns an open result, or OpenStartOver.
int TUserManager::OpenChecked(bool Writing) {
    if (!Handle.Open(FFileName, Writing ? TFileMode::ReadWrite : TFileMode::ReadOnly))
        return ueOpen;

    auto Fail = [this](int Code) {
        Handle.Close();
        return Code;
    };
    if (!ReadHeader(Handle, Header))
        return Fail(ueOpen);
    if (Header.Magic != UserFileMagic)
        return Fail(ueBadFile);
    if (Writing) {
        if (const int Locked = LockAndReread(); Locked != ueOk)
            return Locked;
    }

    const int64_t Size = Handle.Size();
    if (Size < 0)
        return Fail(ueOpen);
    const int64_t Area = Size - static_cast<int64_t>(UserFileHeaderSize);
    const auto RecSize = static_cast<int64_t>(UserRecSize);
    if (Area < 0 || Area % RecSize != 0 || Area / RecSize < Header.Count || Header.Count == 0)
        return Fail(ueDamaged);

    if (const int Loaded = LoadRecords(Header.Count); Loaded != ueOk)
        return Fail(Loaded);
    if (!Writing)
        Handle.Close();
    else
        Session.Remember(*this, Header.Seed);
    return ueOk;
}

int TUserManager::LoadRecords(int RecordCount) {
    const auto Records = static_cast<std::size_t>(RecordCount);
    const auto Chunk =
        std::make_unique_for_overwrite<uint8_t[]>(std::min(Records, ChunkRecords) * UserRecSize);
    // Room in the list first: from the block's creation to its release nothing may throw.
    SetCapacity(Count() + RecordCount);
    TUserArena* const Arena = TUserArena::Create(Records);
    RandSeed = static_cast<uint32_t>(Header.Seed);
    uint32_t Sum = 0;
    std::size_t Made = 0;
    int Result = ueOk;
    for (std::size_t First = 0; First < Records; First += ChunkRecords) {
        const std::size_t Len = std::min(ChunkRecords, Records - First) * UserRecSize;
        const int64_t Got = Handle.ReadAt(
            static_cast<int64_t>(UserFileHeaderSize + First * UserRecSize), Chunk.get(), Len);
        if (Got != static_cast<int64_t>(Len)) {
            Result = Got < 0 ? ueOpen : ueDamaged; // short: cut since the size was taken
            break;
        }
        // Each group is summed and unscrambled, and its users made, while it is in the cache.
        for (std::size_t At = 0; At < Len; At += GroupRecords * UserRecSize) {
            const std::size_t GroupLen = std::min(GroupRecords * UserRecSize, Len - At);
            uint8_t* const Group = Chunk.get() + At;
            Sum += XorWithChecksum(Group, GroupLen, TXorDirection::Unscramble);
            for (std::size_t Rec = 0; Rec < GroupLen; Rec += UserRecSize, ++Made)
                Arena->Emplace(Made, Group + Rec);
        }
    }
    if (Result == ueOk && Sum != Header.Checksum)
        Result = ueDamaged;
    // Nothing becomes a user before the sum over the whole area has been found right.
    if (Result == ueOk) {
        for (std::size_t I = 0; I < Records; ++I)
            Add(Arena->At(I));
    } else {
        for (std::size_t I = 0; I < Made; ++I)
            delete Arena->At(I);
    }
    Arena->Release();
    return Result;
}
