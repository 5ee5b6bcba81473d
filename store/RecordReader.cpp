#include "store/RecordReader.h"

#include "runtime/Random.h"

#include <cstring>
#include <vector>

namespace {

// A run takes in records between the wanted ones when the gap is small, and stays small itself.
constexpr std::size_t MaxGapRecords = 16;
constexpr std::size_t MaxRunRecords = 1280;

} // namespace

void ReadRecords(const TFile& File, int32_t Seed, std::span<const std::size_t> SortedIndexes,
                 const std::function<void(std::size_t Index, const TUserRec* Rec)>& Each) {
    std::vector<uint8_t> Run;
    for (std::size_t At = 0; At < SortedIndexes.size();) {
        const std::size_t First = SortedIndexes[At];
        std::size_t End = At + 1; // the run serves SortedIndexes[At, End)
        while (End < SortedIndexes.size() &&
               SortedIndexes[End] - SortedIndexes[End - 1] <= MaxGapRecords &&
               SortedIndexes[End] - First < MaxRunRecords)
            ++End;
        const std::size_t Records = SortedIndexes[End - 1] - First + 1;
        Run.resize(Records * UserRecSize);
        const bool Read =
            File.ReadAt(static_cast<int64_t>(UserFileHeaderSize + First * UserRecSize), Run.data(),
                        Run.size()) == static_cast<int64_t>(Run.size());
        if (Read) {
            const TRandomStream Stream(static_cast<uint32_t>(Seed));
            Stream.Skip(uint64_t{First} * UserRecSize);
            Stream.Xor(Run.data(), Run.size());
        }
        for (; At < End; ++At) {
            TUserRec Rec;
            std::memcpy(&Rec, Run.data() + (SortedIndexes[At] - First) * UserRecSize, sizeof Rec);
            Each(SortedIndexes[At], Read ? &Rec : nullptr);
        }
    }
}
