#include "runtime/InPlaceRewrite.h"
#include "runtime/Random.h"
#include "store/UserFileFormat.h"
#include "store/UserManager.h"

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

    const std::size_t AreaLen = std::size_t{Header.Count} * UserRecSize;
    auto Buffer = std::make_unique_for_overwrite<uint8_t[]>(AreaLen);
    const int64_t Got = Handle.ReadAt(UserFileHeaderSize, Buffer.get(), AreaLen);
    if (Got < 0)
        return Fail(ueOpen);
    if (Got != static_cast<int64_t>(AreaLen)) // cut short since the size was taken
        return Fail(ueDamaged);
    // Nothing becomes a user before the sum over the area as read has been found right.
    RandSeed = static_cast<uint32_t>(Header.Seed);
    const uint32_t Sum = XorWithChecksum(Buffer.get(), AreaLen, TXorDirection::Unscramble);
    if (Sum != Header.Checksum)
        return Fail(ueDamaged);

    LoadRecords(Buffer.get(), Header.Count);
    if (!Writing)
        Handle.Close();
    else
        Session.Remember(*this, Header.Seed);
    return ueOk;
}

void TUserManager::LoadRecords(const uint8_t* Buffer, int RecordCount) {
    SetCapacity(Count() + RecordCount);
    for (int I = 0; I < RecordCount; ++I) {
        TUserRec Rec;
        std::memcpy(&Rec, Buffer + static_cast<std::size_t>(I) * UserRecSize, sizeof Rec);
        auto User = std::make_unique<TUserC>(Rec);
        Add(User.get());
        User.release();
    }
}
