#include "store/SessionAudit.h"

#include "runtime/Audit.h"
#include "runtime/Cp1250.h"
#include "store/RecordReader.h"
#include "store/UserDiff.h"
#include "store/UserManager.h"

#include <algorithm>
#include <utility>

namespace {

std::string Quoted(std::string_view Cp1250) {
    return AuditQuoted(Cp1250ToUtf8(Cp1250));
}

std::string Head(const char* What, uint16_t Id, std::string_view UserName) {
    return std::string("user ") + What + ": id " + std::to_string(Id) + ", name " +
           Quoted(UserName);
}

std::string AddedLine(const TUserRec& Rec) {
    return Head("added", Rec.Id, Rec.UserName.View()) + ", full name " + Quoted(Rec.Name.View()) +
           ", network name " + Quoted(Rec.NetUserName.View()) + ", rights " +
           AuditQuoted(RightsCodes(Rec.Rights)) + ", objects " +
           AuditQuoted(ObjectsText(Rec.Objects)) +
           (DecodedPassword(Rec, false).empty() ? ", no password" : ", password set") +
           (DecodedPassword(Rec, true).empty() ? ", no network password"
                                               : ", network password set");
}

std::string DeletedLine(uint16_t Id, const TUserRec* Old) {
    if (Old == nullptr)
        return "user deleted: id " + std::to_string(Id) + " (its record could not be read back)";
    return Head("deleted", Id, Old->UserName.View());
}

const TChangeWording AuditWording{{"full name", "logon name", "network name", "rights", "objects",
                                   "password changed", "network password changed",
                                   "other bytes changed"},
                                  "->",
                                  Quoted,
                                  AuditQuoted};

// Every setting of a password counts: the administrator did set it, even to the same password.
std::string ChangedLine(const TUserRec* Old, const TUserRec& New) {
    std::string Line = Head("changed", New.Id, New.UserName.View()) + ":";
    if (Old == nullptr)
        return Line + " (its old record could not be read back)";
    const char* Separator = " ";
    for (const TFieldChange& Change : CompareUsers(*Old, New, TPasswordCompare::ByBlock)) {
        Line += Separator + ChangeText(Change, AuditWording);
        Separator = ", ";
    }
    return Line;
}

} // namespace

void TSessionAudit::Remember(const TUserManager& Users, int32_t Seed) {
    const auto Count = static_cast<std::size_t>(Users.Count());
    FLoadedIds.resize(Count);
    FLoadedHashes.resize(Count);
    for (std::size_t I = 0; I < Count; ++I) {
        const TUserRec& Rec = Users.Items(static_cast<int>(I))->Rec;
        FLoadedIds[I] = Rec.Id;
        FLoadedHashes[I] = RecordHash(Rec);
    }
    FLoadedSeed = Seed;
}

void TSessionAudit::ForgetLoaded() {
    FLoadedIds.clear();
    FLoadedHashes.clear();
}

bool TSessionAudit::AuditChanges(const TUserManager& Users, const TFile& File) const {
    const auto Count = static_cast<std::size_t>(Users.Count());
    const auto RecAt = [&Users](std::size_t I) -> const TUserRec& {
        return Users.Items(static_cast<int>(I))->Rec;
    };
    std::vector<std::pair<std::size_t, std::size_t>> Changed; // old, new index
    TUserMatching Match;
    bool SameIds = Count == FLoadedIds.size();
    for (std::size_t I = 0; SameIds && I < Count; ++I)
        SameIds = RecAt(I).Id == FLoadedIds[I];
    if (SameIds) {
        // The usual session: nobody added or deleted, so the users pair up in place.
        for (std::size_t I = 0; I < Count; ++I) {
            if (FLoadedHashes[I] != RecordHash(RecAt(I)))
                Changed.emplace_back(I, I);
        }
    } else {
        std::vector<uint16_t> Ids(Count);
        for (std::size_t I = 0; I < Count; ++I)
            Ids[I] = RecAt(I).Id;
        Match = MatchUsers(FLoadedIds, Ids);
        for (const auto& [Old, New] : Match.Pairs) {
            if (FLoadedHashes[Old] != RecordHash(RecAt(New)))
                Changed.emplace_back(Old, New);
        }
    }
    const bool Any = !Changed.empty() || !Match.Deleted.empty() || !Match.Added.empty();
    if (!Any || !AuditEnabled())
        return Any;

    // The old records of the changed and the deleted users, in file order; Nobody marks a deletion.
    constexpr std::size_t Nobody = static_cast<std::size_t>(-1);
    std::vector<std::pair<std::size_t, std::size_t>> Wanted = Changed;
    for (std::size_t Old : Match.Deleted)
        Wanted.emplace_back(Old, Nobody);
    std::sort(Wanted.begin(), Wanted.end());
    std::vector<std::size_t> OldIndexes;
    for (const auto& Pair : Wanted)
        OldIndexes.push_back(Pair.first);
    std::size_t Next = 0;
    ReadRecords(File, FLoadedSeed, OldIndexes, [&](std::size_t Old, const TUserRec* Rec) {
        const std::size_t New = Wanted[Next++].second;
        // Only the record that was loaded is described: the file may have been changed by a
        // program that ignores the lock.
        const TUserRec* Loaded =
            Rec != nullptr && RecordHash(*Rec) == FLoadedHashes[Old] ? Rec : nullptr;
        if (New == Nobody)
            Audit(DeletedLine(FLoadedIds[Old], Loaded));
        else
            Audit(ChangedLine(Loaded, RecAt(New)));
    });
    for (std::size_t New : Match.Added)
        Audit(AddedLine(RecAt(New)));
    return true;
}

void AuditSave(const std::string& Path, TRewriteResult Result, bool PreviousKept) {
    const std::string File = AuditQuoted(Path);
    switch (Result) {
    case TRewriteResult::Failed:
    case TRewriteResult::Refused:
        Audit("failed to save " + File);
        return;
    case TRewriteResult::WrittenInPlace:
        Audit("saved " + File + " in place, no previous version kept");
        return;
    case TRewriteResult::Replaced:
    case TRewriteResult::ReplacedNotFlushed:
        Audit("saved " + File +
              (PreviousKept ? ", previous version kept as " + AuditQuoted(Path + "-")
                            : std::string(", no previous version kept")) +
              (Result == TRewriteResult::ReplacedNotFlushed ? ", not yet flushed to disk" : ""));
        return;
    }
}

void AuditRestore(const std::string& Path, const std::string& Source, TRewriteResult Result,
                  const std::string& AsidePath, bool Kept) {
    const std::string What = AuditQuoted(Path) + " from " + AuditQuoted(Source);
    switch (Result) {
    case TRewriteResult::Failed:
    case TRewriteResult::Refused:
        Audit("failed to restore " + What);
        return;
    case TRewriteResult::WrittenInPlace:
    case TRewriteResult::Replaced:
    case TRewriteResult::ReplacedNotFlushed:
        Audit("restored " + What +
              (!AsidePath.empty() ? ", the damaged file kept as " + AuditQuoted(AsidePath)
               : Kept             ? ", the file as it was kept as " + AuditQuoted(Path + "-")
                                  : std::string()) +
              (Result == TRewriteResult::ReplacedNotFlushed ? ", not yet flushed to disk" : ""));
        return;
    }
}
