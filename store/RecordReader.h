#pragma once
// Records read back from the scrambled area of a user file, for the few users whose old state a
// save describes: only the runs of records that hold them are read, each unscrambled from its
// place in the area's stream.

#include "runtime/File.h"
#include "store/UserRec.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

// Calls Each(Index, Rec) for every index of SortedIndexes (ascending), with record Index of the
// area unscrambled under Seed, the header's seed; Rec is null when it could not be read. Draws
// from the random generator.
void ReadRecords(const TFile& File, int32_t Seed, std::span<const std::size_t> SortedIndexes,
                 const std::function<void(std::size_t Index, const TUserRec* Rec)>& Each);
