#include "runtime/FileRewrite.h"
#include "runtime/Path.h"
#include "runtime/Random.h"
#include "store/UserFileFormat.h"
#include "store/UserManager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Records are copied, scrambled and summed a cache-sized group at a time (a multiple of 4 bytes
// long, as the checksum of consecutive parts needs), and go to the disk a batch of groups at a
// time while the next ones are prepared.
constexpr int GroupRecords = 80; // 16,400 bytes
constexpr int BatchGroups = 64;  // about 1 MB

} // namespace

bool TUserManager::Save() {
    if (!ForWriting)
        return true;
    // A save happens once per opened file: afterwards the store holds no file, whatever the
    // outcome, so a failure is reported once.
    ForWriting = false;
    // Before the new stream is drawn: telling what changed reads old records under their seed.
    const bool Changed = Session.AuditChanges(*this, Handle);
    const bool KeepPrevious = Changed && !NewFile;
    const std::string Path = RealFilePath(FFileName);

    TRewriteResult Result = TRewriteResult::Failed;
    bool PreviousKept = false;
    // A file without users, or with more than the header can count, would never open again.
    if (Count() >= 1 && Count() <= 0xFFFF) {
        // In place the file grows only by whole records, so that its length stays valid throughout.
        TFileRewrite Rewrite(Handle, FFileName, UserRecSize);
        // Only a change makes a new previous version: running the program twice without one
        // keeps the way back.
        if (KeepPrevious)
            Rewrite.KeepPrevious();
        const std::size_t AreaLen = static_cast<std::size_t>(Count()) * UserRecSize;
        const std::size_t ImageLen = UserFileHeaderSize + AreaLen;
        const auto Image = std::make_unique_for_overwrite<uint8_t[]>(ImageLen);
        uint8_t* Area = Image.get() + UserFileHeaderSize;

        Header.Seed = FreshSeed();
        RandSeed = static_cast<uint32_t>(Header.Seed);
        uint32_t Sum = 0;
        std::size_t Written = 0; // bytes of the area handed to WriteAhead
        for (int First = 0, Group = 1; First < Count(); First += GroupRecords, ++Group) {
            const int Last = std::min(First + GroupRecords, Count());
            uint8_t* const Start = Area + static_cast<std::size_t>(First) * UserRecSize;
            for (int I = First; I < Last; ++I)
                std::memcpy(Area + static_cast<std::size_t>(I) * UserRecSize, &Items(I)->Rec,
                            UserRecSize);
            Sum += XorWithChecksum(Start, static_cast<std::size_t>(Last - First) * UserRecSize,
                                   TXorDirection::Scramble);
            const std::size_t Done = static_cast<std::size_t>(Last) * UserRecSize;
            if (Group % BatchGroups == 0 || Last == Count()) {
                Rewrite.WriteAhead(UserFileHeaderSize + Written, {Area + Written, Done - Written});
                Written = Done;
            }
        }
        Header.Checksum = Sum;
        Header.Count = static_cast<uint16_t>(Count());
        Header.LockByte = 0;
        std::memcpy(Image.get(), &Header, UserFileHeaderSize);

        Result = Rewrite.Commit({Image.get(), ImageLen});
        PreviousKept = Rewrite.PreviousKept();
    }
    // Only now, with the new file in place, is the lock given up.
    Handle.Close();
    if (KeepPrevious)
        AuditSave(Path, Result, PreviousKept);
    if (Result == TRewriteResult::Failed) {
        StoreMessageBox(SaveFailedText, "", mbError);
        return false;
    }
    // The file holds the new contents: the save succeeded, and only a power cut could undo it.
    if (Result == TRewriteResult::ReplacedNotFlushed)
        std::fprintf(stderr, "%s\n", SaveNotDurableText);
    return true;
}
