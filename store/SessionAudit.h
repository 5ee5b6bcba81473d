#pragma once
// What a writer's session changed, told when it saves. The users as Open loaded them are kept as
// fingerprints only (Id and a hash of the record); when a fingerprint no longer matches, the old
// records of the changed and deleted users are read back from the file, which the writer has
// held locked and unchanged since, to describe the change in the audit trail (runtime/Audit.h).

#include "runtime/FileRewrite.h"

#include <cstdint>
#include <string>
#include <vector>

class TFile;
class TUserManager;

class TSessionAudit {
public:
    // After a writer's Open: Users as loaded from an area scrambled under Seed.
    void Remember(const TUserManager& Users, int32_t Seed);
    // For a new file: the users it was made with count as none, so every user is added.
    void ForgetLoaded();
    // Before the save writes anything: true when Users differ from those loaded (a user added or
    // deleted, or a byte of a record changed). Then, when auditing, writes one line per user added,
    // deleted or changed. File: the file Open loaded, unchanged since. Draws from the generator.
    bool AuditChanges(const TUserManager& Users, const TFile& File) const;

private:
    std::vector<uint16_t> FLoadedIds;
    std::vector<uint64_t> FLoadedHashes;
    int32_t FLoadedSeed = 0;
};

// The audit line of a save of the file at Path: its outcome and whether the file as it was stands
// as the previous version (PreviousVersionName).
void AuditSave(const std::string& Path, TRewriteResult Result, bool PreviousKept);
// The audit line of a restore of the file at Path from the file Source: its outcome, and where a
// damaged file was kept aside (AsidePath; empty when the file loaded).
void AuditRestore(const std::string& Path, const std::string& Source, TRewriteResult Result,
                  const std::string& AsidePath, bool Kept);
