#include "runtime/FileRewrite.h"
#include "runtime/InPlaceRewrite.h"
#include "runtime/Random.h"
#include "store/UserArena.h"
#include "store/UserFileFormat.h"
#include "store/UserManager.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <memory>

namespace {

// How often a writer starts over when the file it locked was replaced in the meantime.
constexpr int ReopenAttempts = 20;

// The header's first 14 bytes (LockByte is not read); false when they cannot be read.
bool ReadHeader(const TFile& Handle, TUserFileHeader& Header) {
    uint8_t Bytes[UserFileHeaderSize - 1] = {};
    if (Handle.ReadAt(0, Bytes, sizeof Bytes) < 0)
        return false;
    std::memcpy(&Header, Bytes, sizeof Bytes);
    return true;
}

} // namespace

int TUserManager::Open(const std::string& FileName, bool AForWriting) {
    TWhere Where;
    Where.Path = &FileName;
    return OpenFile(Where, AForWriting, false);
}

int TUserManager::OpenAt(const TPinnedDirectory& Dir, const std::string& Name, bool AForWriting) {
    TWhere Where;
    Where.Dir = &Dir;
    Where.Name = Name;
    return OpenFile(Where, AForWriting, false);
}

int TUserManager::OpenForRestore(const std::string& FileName) {
    TWhere Where;
    Where.Path = &FileName;
    return OpenFile(Where, true, true);
}

int TUserManager::OpenFile(const TWhere& Where, bool Writing, bool HoldDamaged) {
    for (int Attempt = 0; Attempt < ReopenAttempts; ++Attempt) {
        if (Where.Path != nullptr ? !FileExists(*Where.Path) : !Where.Dir->Has(Where.Name))
            return ueNoFile;
        int Result = ueOpen;
        try {
            Result = OpenChecked(Where, Writing, HoldDamaged);
        } catch (...) {
            // Out of memory for the users: nothing is loaded, and the file and its lock go.
            Clear();
            (void)Handle.Close();
            FDir = TPinnedDirectory();
            throw;
        }
        if (Result != OpenStartOver) {
            if (Result == ueOk)
                ForWriting = Writing;
            return Result;
        }
    }
    return ueLocked;
}

// Takes the writer's lock; makes sure that the name in the pinned directory still leads to the
// locked file; clears what killed saves left there (before any refusal, since those
// files hold every password); puts back an in-place save that was interrupted; and reads the
// header again as it stands now that no other writer can change it. Returns ueOk, ueLocked,
// ueOpen, ueBadFile or OpenStartOver; the file is still open only on ueOk and ueBadFile.
int TUserManager::LockPinAndReread(const TWhere& Where) {
    switch (Handle.LockByte(offsetof(TUserFileHeader, LockByte))) {
    case TLockResult::Locked:
        break;
    case TLockResult::Refused:
        return ueLocked;
    case TLockResult::Failed:
        return ueOpen;
    }
    // A save replaces the file by rename: the lock is worth something only on the file the name
    // leads to now.
    if (!FDir.HoldsFile(Handle))
        return Where.Path != nullptr ? OpenStartOver : ueOpen;
    ClearLeftovers(Handle, FDir);
    constexpr uint64_t LargestImage = UserFileHeaderSize + uint64_t{0xFFFF} * UserRecSize;
    if (RecoverInPlaceRewrite(Handle.Fd(), LargestImage) == TJournalOutcome::Failed ||
        !ReadHeader(Handle, Header))
        return ueOpen;
    if (Header.Magic != UserFileMagic)
        return ueBadFile;
    // Records of zeros past the users, left by a save killed as it lengthened the file, go.
    const uint64_t Used = UserFileHeaderSize + uint64_t{Header.Count} * UserRecSize;
    return Header.Count == 0 || CutZeroTail(Handle.Fd(), Used, UserRecSize) ? ueOk : ueOpen;
}

// Returns an open result, or OpenStartOver.
int TUserManager::OpenChecked(const TWhere& Where, bool Writing, bool HoldDamaged) {
    const TFileMode Mode = Writing ? TFileMode::ReadWrite : TFileMode::ReadOnly;
    // A writer pins the directory first and opens the file in it: once the lock is held no path
    // is resolved again.
    bool Opened;
    if (Writing) {
        if (Where.Path == nullptr)
            FDir = Where.Dir->Duplicate(Where.Name);
        else if (!FDir.PinDirectoryOf(*Where.Path))
            return errno == ENOENT ? OpenStartOver : ueOpen; // gone since found: looked for again
        Opened = Handle.OpenAt(FDir.Fd(), FDir.FileName(), Mode);
    } else {
        Opened = Where.Path != nullptr ? Handle.Open(*Where.Path, Mode)
                                       : Handle.OpenAt(Where.Dir->Fd(), Where.Name, Mode);
    }
    if (!Opened) {
        // The entry went, or became a symbolic link, since its path was resolved: start over.
        const bool Moved = Writing && Where.Path != nullptr && (errno == ENOENT || errno == ELOOP);
        FDir = TPinnedDirectory();
        return Moved ? OpenStartOver : ueOpen;
    }

    const auto Fail = [this, HoldDamaged](int Code) {
        // Held for a restore: the lock stays, and with it the right to replace the file.
        if (HoldDamaged && (Code == ueBadFile || Code == ueDamaged) && FDir.IsPinned()) {
            FHeldDamaged = true;
            return Code;
        }
        (void)Handle.Close();
        FDir = TPinnedDirectory();
        return Code;
    };
    if (!ReadHeader(Handle, Header))
        return Fail(ueOpen);
    if (Header.Magic != UserFileMagic && !HoldDamaged)
        return Fail(ueBadFile);
    if (Writing) {
        if (const int Locked = LockPinAndReread(Where); Locked != ueOk)
            return Fail(Locked);
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
        (void)Handle.Close();
    else
        FSession.Remember(*this, Header.Seed);
    return ueOk;
}

int TUserManager::LoadRecords(int RecordCount) {
    const auto Records = static_cast<std::size_t>(RecordCount);
    const auto Chunk =
        std::make_unique_for_overwrite<uint8_t[]>(std::min(Records, ChunkRecords) * UserRecSize);
    // Room in the list first: from the block's creation to its release nothing may throw.
    SetCapacity(Count() + RecordCount);
    TUserArena* const Arena = TUserArena::Create(Records);
    // The area's stream runs from its seed through the whole loop: only reads, checks and the
    // making of users lie between its draws.
    const TRandomStream Stream(static_cast<uint32_t>(Header.Seed));
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
            Sum += XorWithChecksum(Stream, Group, GroupLen, TXorDirection::Unscramble);
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
