#pragma once
// TMemoryBrowser: a record browser for an in-memory table (TMemoryTable), and the example of
// how to page any data source through a grid. A record handle and a bookmark both hold the
// record's key, so a bookmark survives records coming and going around it. The owner supplies
// what opening, inserting, editing and deleting mean through the On... handlers.
//
//   TRecordVector People;
//   People.Insert({1, {"Anna Nowak", "Kraków"}, {}});
//   auto Browser = TBrowser::Create<TMemoryBrowser>(Grid, People, 1, false, true);
//   Browser->OnDelete = [&People](int64_t Key) { People.Erase(Key); };

#include "viewer/Browser.h"
#include "viewer/MemoryTable.h"

#include <functional>
#include <optional>

class TMemoryBookmark : public TBookmark {
public:
    int64_t Key = 0; // the marked record's key, while Mark is not 0
};

class TMemoryBrowser : public TBrowser {
public:
    // The table is not owned and must outlive the browser.
    TMemoryBrowser(TStartKey Key, TViewer& AGrid, TMemoryTable& ATable, int32_t AFirstRow,
                   bool AReadOnly, bool ACanDelete);

    // Each optional: without a handler the action does nothing.
    std::function<void(int64_t Key)> OnOpen;
    // Adds a record to the table and gives its key, or none; sets Again to be asked once more.
    std::function<std::optional<int64_t>(bool& Again)> OnInsert;
    // Changes the record in place (the key stays); true when it changed.
    std::function<bool(int64_t Key)> OnEdit;
    // Removes the record from the table.
    std::function<void(int64_t Key)> OnDelete;
    // The selection moved: the selected record's key, or none for a row without record.
    std::function<void(std::optional<int64_t> Key)> OnSelect;

protected:
    std::span<const int32_t> GetRowColors(TRecord Record) override;
    void GetCellTexts(TRecord Record, TStrList& Texts) override;
    TRecord GetFirst() override;
    TRecord GetLast() override;
    TRecord GetAtOffset(int32_t Offset) override;
    TRecord FindBookmark(const TBookmark& Bookmark) override;
    bool HasNext(const TBookmark& Bookmark) override;
    bool HasPrior(const TBookmark& Bookmark) override;
    void OpenRecord(TRecord Record) override;
    TRecord InsertRecord() override;
    void DeleteRecord(TRecord Record) override;
    bool EditRecord(TRecord Record) override;
    void SaveBookmark(TRecord Record, TBookmark& Bookmark) override;
    void RowSelected(const TBookmark& Bookmark) override;
    std::unique_ptr<TBookmark> NewBookmark() override;

private:
    // Where the page starts: the top record's position, or the next record's when the top one
    // is gone; the start of the table while nothing is marked.
    int64_t TopPosition() const;
    TRecord RecordAt(int64_t Position) const;
    const TMemoryRecord& Fetch(TRecord Record);

    TMemoryTable& FTable;
    TMemoryRecord FFetched; // the record last read, whose colours GetRowColors hands out
    bool FHaveFetched = false;
};
