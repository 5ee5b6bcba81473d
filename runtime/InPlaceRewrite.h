#pragma once
// Rewriting the head of an open file in place, where it cannot be replaced by a new file, so that
// a kill or a power cut at any moment leaves a file that FinishInPlaceRewrite turns back into the
// complete old or the complete new contents. No second file is needed:
// 1. The file grows in one step by a journal: the new head, then a trailer at the very end with
//    the head's length, where the journal starts, and hashes over both. Flushed.
// 2. The head is written over the front. Flushed.
// 3. The journal is cut off again. Flushed.
// Up to step 2 the front holds the old contents; from step 2 on the journal can complete the new.
// The journal starts at or after both the old end and the new head's end, and takes a whole
// number of LengthStep bytes, so a file whose length must be Base + k × LengthStep, with a head
// of such a length, keeps a valid length at every moment, and readers see stale bytes after it.

#include <cstdint>
#include <span>

// True when the new head is in place and on the disk; the file is then max(old length, head
// length) long. False when the file could not grow (a full disk, a size limit; the file is then
// as it was) or when a write failed (past step 1 the journal then stays for FinishInPlaceRewrite).
bool WriteHeadInPlace(int Fd, std::span<const uint8_t> Head, uint64_t LengthStep);

enum class TJournalOutcome {
    None,      // the file ends in no journal of ours
    Completed, // a complete journal: its head is now written over the front and the journal cut
    Discarded, // a journal cut short before its flush: the front is the old one; journal cut
    Failed,    // a journal was found but could not be finished or cut
};

// For the holder of the file's lock, before it reads the file: finishes or removes the journal
// that an interrupted WriteHeadInPlace left at the file's end. A journal that claims a head longer
// than MaxHeadLen is none of ours.
TJournalOutcome FinishInPlaceRewrite(int Fd, uint64_t MaxHeadLen);
