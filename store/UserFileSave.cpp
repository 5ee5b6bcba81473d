#include "runtime/FileRewrite.h"
#include "runtime/Path.h"
#include "runtime/Random.h"
#include "store/UserFileFormat.h"
#include "store/UserManager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

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
        const auto Users = static_cast<std::size_t>(Count());
        const auto Chunk =
            std::make_unique_for_overwrite<uint8_t[]>(std::min(Users, ChunkRecords) * UserRecSize);
        Header.Seed = FreshSeed();
        RandSeed = static_cast<uint32_t>(Header.Seed);
        uint32_t Sum = 0;
        // A chunk at a time, each group copied, scrambled and summed while it is in the cache; each
        // chunk goes to the disk while the next one is prepared, and its buffer is used again.
        for (std::size_t First = 0; First < Users; First += ChunkRecords) {
            const std::size_t Len = std::min(ChunkRecords, Users - First) * UserRecSize;
            for (std::size_t At = 0; At < Len; At += GroupRecords * UserRecSize) {
                const std::size_t GroupLen = std::min(GroupRecords * UserRecSize, Len - At);
                uint8_t* const Group = Chunk.get() + At;
                const std::size_t FirstInGroup = First + At / UserRecSize;
                for (std::size_t I = 0; I < GroupLen / UserRecSize; ++I) {
                    const TUserC* User = Items(static_cast<int>(FirstInGroup + I));
                    std::memcpy(Group + I * UserRecSize, &User->Rec, UserRecSize);
                }
                Sum += XorWithChecksum(Group, GroupLen, TXorDirection::Scramble);
            }
            Rewrite.WriteAhead(UserFileHeaderSize + First * UserRecSize, {Chunk.get(), Len});
        }
        Header.Checksum = Sum;
        Header.Count = static_cast<uint16_t>(Count());
        Header.LockByte = 0;
        uint8_t Front[UserFileHeaderSize];
        std::memcpy(Front, &Header, UserFileHeaderSize);
        Result = Rewrite.CommitAhead(Front, UserFileHeaderSize + Users * UserRecSize);
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
