#pragma once
// Durable rewrite of the head of a file that is open and locked: the new bytes go to a temporary
// file in the same directory, which then replaces the original by rename, so a crash, a kill or
// a full disk at any moment leaves either the old file or the new one, never a mixture. Where
// the file cannot be replaced, the head is written in place through a journal (InPlaceRewrite.h),
// which the next writer's FinishInPlaceRewrite completes after an interruption.

#include "runtime/File.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

enum class TRewriteResult {
    Replaced,           // the temporary file now stands in the original's place
    ReplacedNotFlushed, // replaced, but the directory could not be flushed (tried twice): a power
                        // cut may still bring back the old directory entry
    WrittenInPlace,     // the file could not be replaced: the original was overwritten in place
    Failed,             // the original's contents are as they were (or, when the in-place write
                        // failed past its journal, as the next writer's open completes them)
};

// The new file is Head from offset 0 followed by the original's bytes from offset Head.size() to
// its end (so the file never gets shorter). Path names the file Original has open; a symbolic
// link is followed and the file it points to is replaced. The new file gets the original's
// owner, group, permission bits and extended attributes (access control lists) and reaches the
// disk, and the directory entry with it, before Commit returns Replaced. Where the directory does
// not let the process create a file (or the owner or an attribute cannot be carried over, or the
// file has further hard links), or the rename itself is refused (a bind-mounted file, a file
// that a network share holds open elsewhere), Commit writes the head over the original in place
// (WriteHeadInPlace, growing the file by whole LengthStep bytes). Original stays open either way.
// Temporary files that earlier rewrites, killed before their rename, left in the directory are
// removed: the caller must hold the file's lock, so no other rewrite is under way.
// Where only root or the owner may give the new file the original's owner, the process becomes
// its owner instead if OwnerMayBeHandedOver (OwnerHandover.h) allows, and writes in place if not.
// A second name of the file that is its own previous version (PreviousVersionPath, left by a
// rewrite killed between its link and its rename) does not count as a further hard link.
class TFileRewrite {
public:
    TFileRewrite(const TFile& Original, const std::string& Path, uint64_t LengthStep = 1);
    ~TFileRewrite(); // removes the temporary file unless Commit renamed it into place
    TFileRewrite(const TFileRewrite&) = delete;
    TFileRewrite& operator=(const TFileRewrite&) = delete;

    // Hands over a finished piece of the head early, so that it travels to the disk while the
    // rest is being prepared; the caller may use its buffer again at once. Pieces must follow
    // one another; Commit writes what they left out. (Where the head is to be written in place,
    // the pieces are kept in memory until the commit instead.)
    void WriteAhead(uint64_t Offset, std::span<const uint8_t> Piece);
    // Head must hold the pieces given to WriteAhead at their offsets. Call once.
    TRewriteResult Commit(std::span<const uint8_t> Head);
    // Commit for a caller that has not kept the pieces: they cover the head of HeadLen bytes
    // from Front.size() on, and Front is the rest, from offset 0 (else Failed, and nothing
    // changes). Call once, instead of Commit.
    TRewriteResult CommitAhead(std::span<const uint8_t> Front, uint64_t HeadLen);

    // Asks Commit to keep the original, where it replaces it, as its previous version: the file
    // itself (no copy: same inode, owner, group and mode) gets the name PreviousVersionPath
    // before the new file takes its place, replacing an older previous version. A kill at any
    // moment leaves the older previous version or this one. Where the file is written in place,
    // or the name cannot be made (no hard links on the file system, a directory under that
    // name), none is kept and the rewrite goes on.
    void KeepPrevious();
    // After Commit: true when the original now stands under PreviousVersionPath.
    bool PreviousKept() const;

private:
    struct TState;
    std::unique_ptr<TState> F;
};

// Where a rewrite keeps the previous version of the file Path names: the real file's path (symbolic
// links followed) with "-" appended, as /etc/passwd- beside /etc/passwd; Path with "-" appended
// when it cannot be resolved.
std::string PreviousVersionPath(const std::string& Path);

// The rewrite in one call.
TRewriteResult RewriteFileHead(const TFile& Original, const std::string& Path,
                               std::span<const uint8_t> Head, uint64_t LengthStep = 1);
