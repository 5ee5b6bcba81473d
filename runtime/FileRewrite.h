#pragma once
// Durable rewrite of the head of a file that is open and locked, relative to the pinned directory
// that holds it. Two ways, chosen when the rewrite starts:
// - Replace (the usual one): the new bytes go to a temporary file in the same directory, which
//   then replaces the original by rename, so a crash, a kill or a full disk at any moment leaves
//   either the old file or the new one, never a mixture. The file as it was may stay under a
//   second name (its previous version).
// - In place (InPlaceRewrite.h), where the file cannot be replaced: the directory does not let
//   this process create a file, the owner or an attribute cannot be carried over, the file has
//   further hard links, or the rename itself is refused (a bind-mounted file, a file that a
//   network share holds open elsewhere).

#include "runtime/File.h"
#include "runtime/PinnedDirectory.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

enum class TRewriteResult {
    Replaced,           // the temporary file now stands in the original's place
    ReplacedNotFlushed, // replaced, but the directory could not be flushed (tried twice): a power
                        // cut may still bring back the old directory entry
    WrittenInPlace,     // the file could not be replaced: the original was overwritten in place
    Refused,            // nothing written: the file as it was could not be kept (MustKeep)
    Failed,             // the original's contents are as they were
};

struct TRewritePlan {
    uint64_t HeadLen = 0;    // the new head is bytes 0 to HeadLen
    uint64_t LengthStep = 1; // in place, the file grows only by whole steps
    // A second name under which the file as it was stays when it is replaced (no copy: the same
    // file, owner, group and mode), or empty for none. An older file of that name is replaced
    // when ReplaceKept (the previous version); else the name must be new.
    std::string KeepAs;
    bool ReplaceKept = true;
    // Write nothing, rather than change the file without keeping it as it was (where it would be
    // written in place, or the second name cannot be made).
    bool MustKeep = false;
    // The new file is the head alone: the original's bytes after it (those of a damaged file)
    // are not carried over. A file with further hard links is then replaced all the same.
    bool HeadOnly = false;
};

// The new file is the head from offset 0 followed, unless HeadOnly, by the original's bytes from
// HeadLen to its end (so the file never gets shorter). Dir is the pinned directory of the file
// Original has open (Dir.FileName()). The new file gets the original's owner, group, permission
// bits and extended attributes (access control lists) and reaches the disk, and the directory
// entry with it, before Commit returns Replaced. Where only root or the owner may give the new
// file the original's owner, the process becomes its owner instead if OwnerMayBeHandedOver
// (OwnerHandover.h) allows, and the file is written in place if not. Original stays open either
// way. The caller must hold the file's lock, so that no other rewrite is under way.
class TFileRewrite {
public:
    TFileRewrite(const TFile& Original, const TPinnedDirectory& Dir, TRewritePlan Plan);
    ~TFileRewrite(); // removes the temporary file unless Commit renamed it into place
    TFileRewrite(const TFileRewrite&) = delete;
    TFileRewrite& operator=(const TFileRewrite&) = delete;

    // Hands over a piece of the head, at Offset, as soon as it is ready (replacing, it travels to
    // the disk while the rest is being prepared; in place, it is kept until the commit, so that
    // the front is then written in one go). The caller may use its buffer again at once. The
    // pieces must not overlap; a failed write makes Commit fail.
    void Write(uint64_t Offset, std::span<const uint8_t> Piece);
    // Puts the new head in place once its pieces cover it. Call once.
    [[nodiscard]] TRewriteResult Commit();
    // After Commit: true when the file as it was now stands under KeepAs.
    bool Kept() const;

    class TWay;

private:
    std::unique_ptr<TWay> FWay;
};

// For the holder of the file's lock, right after taking it: removes the temporary files that
// rewrites killed before their end left in the directory (they hold every password), and gives
// the previous version its name where a kill came between the rename of the new file and that
// of the previous version.
void ClearLeftovers(const TFile& Locked, const TPinnedDirectory& Dir);

// Creates a new temporary file for FileName in Dir, mode 0600, named as the rewrites name theirs,
// so that ClearLeftovers of FileName clears it away should its maker be killed. Returns its name,
// or an empty string (errno set) when it cannot be made.
[[nodiscard]] std::string CreateTemporaryFile(const TPinnedDirectory& Dir,
                                              const std::string& FileName, TFile& File);

// The name of a file's previous version in its directory: "UsrPass.dat-" beside "UsrPass.dat",
// as /etc/passwd- beside /etc/passwd.
std::string PreviousVersionName(const std::string& FileName);
