#include "runtime/FileRewrite.h"
#include "runtime/Random.h"
#include "store/SessionAudit.h"
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
    const bool Changed = FSession.AuditChanges(*this, Handle);
    // Only a change makes a new previous version: running the program twice without one keeps
    // the way back.
    const bool KeepPrevious = Changed && !FNewFile;
    TRewritePlan Plan;
    if (KeepPrevious)
        Plan.KeepAs = PreviousVersionName(FDir.FileName());
    const std::string Path = FDir.FilePath();
    bool Kept = false;
    const TRewriteResult Result = WriteBack(Plan, Kept);
    if (KeepPrevious)
        AuditSave(Path, Result, Kept);
    if (Result == TRewriteResult::Failed || Result == TRewriteResult::Refused) {
        StoreMessageBox(SaveFailedText, "", mbError);
        return false;
    }
    // The file holds the new contents: the save succeeded, and only a power cut could undo it.
    if (Result == TRewriteResult::ReplacedNotFlushed)
        std::fprintf(stderr, "%s\n", SaveNotDurableText);
    return true;
}

TRewriteResult TUserManager::RestoreFrom(const TUserManager& Source, const std::string& SourceName,
                                         const std::string& AsideName) {
    const bool Damaged = FHeldDamaged;
    if (!ForWriting && !Damaged)
        return TRewriteResult::Failed;
    ForWriting = false;
    FHeldDamaged = false;
    Clear();
    SetCapacity(Source.Count());
    for (int I = 0; I < Source.Count(); ++I) {
        auto User = std::make_unique<TUserC>(Source.Items(I)->Rec);
        Add(User.get());
        User.release();
    }
    Header.Magic = UserFileMagic; // a file that was none is one now
    // Identifiers are handed out once: those of users that the restore takes away stay used.
    Header.LastId =
        Damaged || FNewFile ? Source.Header.LastId : std::max(Header.LastId, Source.Header.LastId);

    // A loaded file's users are audited one by one, as any save's; a damaged or a new file has
    // none to compare with, and its restore is one line.
    const bool Changed = Damaged || FNewFile || FSession.AuditChanges(*this, Handle);
    TRewritePlan Plan;
    Plan.MustKeep = Changed && !FNewFile;
    Plan.HeadOnly = Damaged;
    Plan.ReplaceKept = !Damaged;
    if (Plan.MustKeep)
        Plan.KeepAs = Damaged ? AsideName : PreviousVersionName(FDir.FileName());
    const std::string Path = FDir.FilePath();
    bool Kept = false;
    const TRewriteResult Result = WriteBack(Plan, Kept);
    AuditRestore(Path, SourceName, Result, Damaged ? FDir.PathOf(AsideName) : std::string(), Kept);
    return Result;
}

TRewriteResult TUserManager::WriteBack(TRewritePlan Plan, bool& Kept) {
    Kept = false;
    TRewriteResult Result = TRewriteResult::Failed;
    // A file without users, or with more than the header can count, would never open again.
    if (Count() >= 1 && Count() <= 0xFFFF) {
        const auto Users = static_cast<std::size_t>(Count());
        Plan.HeadLen = UserFileHeaderSize + Users * UserRecSize;
        // In place the file grows only by whole records, so that its length stays valid throughout.
        Plan.LengthStep = UserRecSize;
        TFileRewrite Rewrite(Handle, FDir, Plan);
        const auto Chunk =
            std::make_unique_for_overwrite<uint8_t[]>(std::min(Users, ChunkRecords) * UserRecSize);
        Header.Seed = FreshSeed();
        // The area's stream runs from its seed through the whole loop: only copies of records and
        // writes to the file lie between its draws.
        const TRandomStream Stream(static_cast<uint32_t>(Header.Seed));
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
                Sum += XorWithChecksum(Stream, Group, GroupLen, TXorDirection::Scramble);
            }
            Rewrite.Write(UserFileHeaderSize + First * UserRecSize, {Chunk.get(), Len});
        }
        Header.Checksum = Sum;
        Header.Count = static_cast<uint16_t>(Count());
        Header.LockByte = 0;
        uint8_t Front[UserFileHeaderSize];
        std::memcpy(Front, &Header, UserFileHeaderSize);
        Rewrite.Write(0, Front);
        Result = Rewrite.Commit();
        Kept = Rewrite.Kept();
    }
    // Only now, with the new file in place, is the lock given up.
    (void)Handle.Close();
    FDir = TPinnedDirectory();
    return Result;
}
