#pragma once
// Rewriting the head of an open file in place, where it cannot be replaced by a new file. The
// file keeps, past its end, a copy of the old bytes that the new head covers (an undo journal),
// so that a kill or a power cut at any moment leaves a file that the next writer's
// RecoverInPlaceRewrite turns back into the complete old contents, unless the new ones were
// complete and on the disk; and a rewrite that reports failure leaves the file as it was.
// 1. The room is reserved past the end; the file is lengthened to the journal's end in one step
//    (a change of length reaches the disk whole, where the lengths written data implies may not),
//    and the journal's trailer, which says where the journal starts and how long the file was,
//    goes at its very end. Flushed.
// 2. The old bytes under the new head are copied into the journal, and a seal with their hash
//    is written before the trailer. Flushed.
// 3. The new head is written over the front, in one write. Flushed.
// 4. The journal is cut off. Flushed.
// Until step 2 is on the disk the front holds the old contents and the journal is dropped; from
// then until step 4 reaches the disk the journal takes the front back to them. The journal starts
// at or after both the old end and the new head's end and takes whole LengthSteps, so a file
// whose length must be Base + k * LengthStep, with a head of such a length, keeps a valid length
// at every moment, and readers see stale bytes after it. Readers that take no lock may see a
// front that is half old and half new while step 3 runs (or a recovery writes the old bytes back).

#include <cstdint>
#include <span>

enum class TInPlaceResult {
    Written,    // the new head is in place and on the disk
    NotWritten, // the file is as it was (the room could not be had, a write failed and the old
                // front was put back, ...)
    Pending,    // a write failed and the old front could not be put back: the journal stays,
                // and the next writer's RecoverInPlaceRewrite takes the file back to the old
                // contents
};

// The file is max(old length, Head.size()) long after Written.
[[nodiscard]] TInPlaceResult WriteHeadInPlace(int Fd, std::span<const uint8_t> Head,
                                              uint64_t LengthStep);

enum class TJournalOutcome {
    None,       // the file ends in no journal of ours
    RolledBack, // a complete journal: the old bytes are back over the front, the journal cut
    Discarded,  // a journal never completed: the front is the old one; the journal cut
    Failed,     // a journal was found but could not be acted on
};

// For the holder of the file's lock, before it reads the file: undoes or removes the journal
// that an interrupted WriteHeadInPlace left at the file's end. A journal that claims to hold
// more than MaxCopyLen bytes is none of ours.
[[nodiscard]] TJournalOutcome RecoverInPlaceRewrite(int Fd, uint64_t MaxCopyLen);

// Also for the holder of the lock, once it knows that the file's contents end at Used: cuts off
// whole LengthSteps of zeros at the file's end past Used, which a rewrite killed right after
// lengthening the file, before its trailer was written, leaves. False when that failed.
[[nodiscard]] bool CutZeroTail(int Fd, uint64_t Used, uint64_t LengthStep);
