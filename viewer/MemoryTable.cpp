#include "viewer/MemoryTable.h"

#include <algorithm>

namespace {

bool KeyBelow(const TMemoryRecord& Record, int64_t Key) {
    return Record.Key < Key;
}

} // namespace

int64_t TRecordVector::KeyAt(int64_t Position) const {
    return FRecords.at(static_cast<size_t>(Position)).Key;
}

TMemoryRecord TRecordVector::At(int64_t Position) const {
    return FRecords.at(static_cast<size_t>(Position));
}

int64_t TRecordVector::LowerBound(int64_t Key) const {
    return std::lower_bound(FRecords.begin(), FRecords.end(), Key, KeyBelow) - FRecords.begin();
}

bool TRecordVector::Insert(TMemoryRecord Record) {
    const auto Place = std::lower_bound(FRecords.begin(), FRecords.end(), Record.Key, KeyBelow);
    if (Place != FRecords.end() && Place->Key == Record.Key)
        return false;
    FRecords.insert(Place, std::move(Record));
    return true;
}

bool TRecordVector::Erase(int64_t Key) {
    const int64_t Position = Find(Key);
    if (Position < 0)
        return false;
    FRecords.erase(FRecords.begin() + Position);
    return true;
}

TMemoryRecord* TRecordVector::Lookup(int64_t Key) {
    const int64_t Position = Find(Key);
    return Position < 0 ? nullptr : &FRecords[static_cast<size_t>(Position)];
}
