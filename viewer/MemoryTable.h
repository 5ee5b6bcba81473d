#pragma once
// The records a TMemoryBrowser pages: a table in ascending order of a unique key, read by
// position. TRecordVector keeps its records in a vector; a table may as well compute them.

#include <cstdint>
#include <string>
#include <vector>

struct TMemoryRecord {
    int64_t Key = 0;
    std::vector<std::string> Texts; // one per column from column 0, UTF-8
    std::vector<int32_t> Colors;    // one per column (0x00BBGGRR, -1 none), or empty for none
};

class TMemoryTable {
public:
    TMemoryTable() = default;
    virtual ~TMemoryTable() = default;
    TMemoryTable(const TMemoryTable&) = delete;
    TMemoryTable& operator=(const TMemoryTable&) = delete;

    virtual int64_t Count() const = 0;
    // Position is 0..Count-1.
    virtual int64_t KeyAt(int64_t Position) const = 0;
    virtual TMemoryRecord At(int64_t Position) const = 0;
    // The position of the first record whose key is not less than Key (Count if none).
    virtual int64_t LowerBound(int64_t Key) const = 0;

    // The position of the record with this key, or -1.
    int64_t Find(int64_t Key) const {
        const int64_t Position = LowerBound(Key);
        return Position < Count() && KeyAt(Position) == Key ? Position : -1;
    }
};

class TRecordVector : public TMemoryTable {
public:
    int64_t Count() const override { return static_cast<int64_t>(FRecords.size()); }
    int64_t KeyAt(int64_t Position) const override;
    TMemoryRecord At(int64_t Position) const override;
    int64_t LowerBound(int64_t Key) const override;

    // Adds the record in key order; false (and nothing added) when its key is taken.
    bool Insert(TMemoryRecord Record);
    // Removes the record with this key; false when there is none.
    bool Erase(int64_t Key);
    // The record with this key to change in place (its key must stay), or null.
    TMemoryRecord* Lookup(int64_t Key);
    // A key above every key in the table.
    int64_t NextKey() const { return FRecords.empty() ? 1 : FRecords.back().Key + 1; }

private:
    std::vector<TMemoryRecord> FRecords;
};
