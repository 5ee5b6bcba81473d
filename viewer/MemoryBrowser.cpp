#include "viewer/MemoryBrowser.h"

#include <algorithm>

namespace {

const TMemoryBookmark& Marked(const TBookmark& Bookmark) {
    return static_cast<const TMemoryBookmark&>(Bookmark);
}

} // namespace

TMemoryBrowser::TMemoryBrowser(TStartKey Key, TViewer& AGrid, TMemoryTable& ATable,
                               int32_t AFirstRow, bool AReadOnly, bool ACanDelete)
    : TBrowser(Key, AGrid, AFirstRow, AReadOnly, ACanDelete), FTable(ATable) {}

std::unique_ptr<TBookmark> TMemoryBrowser::NewBookmark() {
    return std::make_unique<TMemoryBookmark>();
}

void TMemoryBrowser::SaveBookmark(TRecord Record, TBookmark& Bookmark) {
    auto& Memory = static_cast<TMemoryBookmark&>(Bookmark);
    Memory.Mark = Record ? 1 : 0;
    Memory.Key = Record.AsKey();
}

TRecord TMemoryBrowser::RecordAt(int64_t Position) const {
    if (Position < 0 || Position >= FTable.Count())
        return {};
    return TRecord::Key(FTable.KeyAt(Position));
}

int64_t TMemoryBrowser::TopPosition() const {
    return TopBookmark->Empty() ? 0 : FTable.LowerBound(Marked(*TopBookmark).Key);
}

// --- reading ---

const TMemoryRecord& TMemoryBrowser::Fetch(TRecord Record) {
    if (!FHaveFetched || FFetched.Key != Record.AsKey()) {
        const int64_t Position = FTable.Find(Record.AsKey());
        FFetched = Position < 0 ? TMemoryRecord{Record.AsKey(), {}, {}} : FTable.At(Position);
        FHaveFetched = true;
    }
    return FFetched;
}

void TMemoryBrowser::GetCellTexts(TRecord Record, TStrList& Texts) {
    // Read afresh: the record may have been edited since it was last shown.
    FHaveFetched = false;
    for (const std::string& Text : Fetch(Record).Texts)
        Texts.AddStr(Text);
}

std::span<const int32_t> TMemoryBrowser::GetRowColors(TRecord Record) {
    return Fetch(Record).Colors;
}

TRecord TMemoryBrowser::GetFirst() {
    return RecordAt(0);
}

TRecord TMemoryBrowser::GetLast() {
    // The top of a full last page.
    const int64_t DataRows = std::max(Grid.RowCount() - FirstRow, 1);
    return RecordAt(std::max<int64_t>(FTable.Count() - DataRows, 0));
}

TRecord TMemoryBrowser::GetAtOffset(int32_t Offset) {
    return RecordAt(TopPosition() + Offset);
}

TRecord TMemoryBrowser::FindBookmark(const TBookmark& Bookmark) {
    if (Bookmark.Empty())
        return {};
    const int64_t Key = Marked(Bookmark).Key;
    return FTable.Find(Key) < 0 ? TRecord() : TRecord::Key(Key);
}

bool TMemoryBrowser::HasNext(const TBookmark& Bookmark) {
    if (Bookmark.Empty())
        return false;
    const int64_t Key = Marked(Bookmark).Key;
    int64_t Next = FTable.LowerBound(Key);
    if (Next < FTable.Count() && FTable.KeyAt(Next) == Key)
        ++Next;
    return Next < FTable.Count();
}

bool TMemoryBrowser::HasPrior(const TBookmark& Bookmark) {
    return !Bookmark.Empty() && FTable.LowerBound(Marked(Bookmark).Key) > 0;
}

// --- acting on records ---

void TMemoryBrowser::OpenRecord(TRecord Record) {
    if (OnOpen)
        OnOpen(Record.AsKey());
}

TRecord TMemoryBrowser::InsertRecord() {
    bool Again = false;
    const std::optional<int64_t> Key = OnInsert ? OnInsert(Again) : std::nullopt;
    InsertAgain = Again;
    return Key ? TRecord::Key(*Key) : TRecord();
}

bool TMemoryBrowser::EditRecord(TRecord Record) {
    return OnEdit && OnEdit(Record.AsKey());
}

void TMemoryBrowser::DeleteRecord(TRecord Record) {
    if (!OnDelete)
        return;
    OnDelete(Record.AsKey());
    // The next record takes a deleted top record's place; when none follows, the one before
    // does, so that the page does not go blank while records remain.
    if (TopPosition() >= FTable.Count())
        SetTop(RecordAt(FTable.Count() - 1));
}

void TMemoryBrowser::RowSelected(const TBookmark& Bookmark) {
    if (OnSelect)
        OnSelect(Bookmark.Empty() ? std::nullopt : std::optional(Marked(Bookmark).Key));
}
