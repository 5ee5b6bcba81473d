#pragma once
// Durable rewrite of the head of a file that is open and locked: the new bytes go to a temporary
// file in the same directory, which then replaces the original by rename, so a crash, a kill or
// a full disk at any moment leaves either the old file or the new one, never a mixture.

#include "runtime/File.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

enum class TRewriteResult {
    Replaced,       // the temporary file now stands in the original's place
    WrittenInPlace, // the directory refused the temporary file: the original was overwritten
    Failed,         // the original is exactly as it was (except when only the final flush of
                    // the directory failed: the new file is then in place but maybe not durable)
};

// The new file is Head from offset 0 followed by the original's bytes from offset Head.size() to
// its end (so the file never gets shorter). Path names the file Original has open; a symbolic
// link is followed and the file it points to is replaced. The new file gets the original's
// owner, group, permission bits and extended attributes (access control lists) and reaches the
// disk, and the directory entry with it, before Commit returns Replaced. Where the directory does
// not let the process create a file (or the owner or an attribute cannot be carried over, or the
// file has further hard links), Commit writes the head over the original in place, every write
// checked and flushed. Original stays open either way. Temporary files that earlier rewrites,
// killed before their rename, left in the directory are removed: the caller must hold the file's
// lock, so no other rewrite is under way.
class TFileRewrite {
public:
    TFileRewrite(const TFile& Original, const std::string& Path);
    ~TFileRewrite(); // removes the temporary file unless Commit renamed it into place
    TFileRewrite(const TFileRewrite&) = delete;
    TFileRewrite& operator=(const TFileRewrite&) = delete;

    // Hands over a finished piece of the head early, so that it travels to the disk while the
    // rest is being prepared. Pieces must follow one another; Commit writes what they left out.
    void WriteAhead(uint64_t Offset, std::span<const uint8_t> Piece);
    // Head must hold the pieces given to WriteAhead at their offsets. Call once.
    TRewriteResult Commit(std::span<const uint8_t> Head);

private:
    struct TState;
    std::unique_ptr<TState> F;
};

// The rewrite in one call.
TRewriteResult RewriteFileHead(const TFile& Original, const std::string& Path,
                               std::span<const uint8_t> Head);
