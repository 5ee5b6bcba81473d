#pragma once
// TBrowser pages the records of a data source of any size through a TViewer grid. The grid only
// ever holds one page: its data rows from FirstRow to the last row. The browser fetches those
// records by their offset from the top record, remembers each shown record by a bookmark, keeps
// a background colour per cell, and turns the grid's keys, mouse-ups and double-clicks into
// scrolling, opening, inserting, deleting and editing records.
//
// A descendant reaches the data through the virtual operations below. Its constructors take a
// TStartKey first and hand it on, so that only TBrowser::Create can make one; Create then
// attaches it to the grid and fills the first page:
//
//   TMyBrowser(TStartKey Key, TViewer& Grid, TMySource& Source)
//       : TBrowser(Key, Grid, /*FirstRow*/ 1, /*ReadOnly*/ false, /*CanDelete*/ true) {}
//   auto Browser = TBrowser::Create<TMyBrowser>(Grid, Source);
//
// The browser must outlive the grid's events; destroying it detaches it from the grid. When the
// grid's ColCount or RowCount change, the bookmarks and colours follow at once and the page is
// refilled.

#include "store/ExCls.h"
#include "toolkit/GridTypes.h"
#include "viewer/Bookmark.h"
#include "viewer/GridBrowser.h"
#include "viewer/RecordHandle.h"
#include "viewer/Viewer.h"

#include <QMetaObject>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

class TBrowser : public TGridBrowser {
public:
    // What every browser constructor takes first; only Create can make one.
    class TStartKey {
        friend class TBrowser;
        TStartKey() = default;
    };

    // Makes a T (its constructor takes a TStartKey, then Args), then does what no constructor
    // can, because it calls the descendant's operations: makes the bookmarks and colours for the
    // grid's size, attaches the browser to the grid and fills the first page.
    template <class T, class... TArgs> static std::unique_ptr<T> Create(TArgs&&... Args) {
        auto Browser = std::make_unique<T>(TStartKey(), std::forward<TArgs>(Args)...);
        static_cast<TBrowser&>(*Browser).Start();
        return Browser;
    }

    ~TBrowser() override; // detaches from the grid if still attached
    TBrowser(const TBrowser&) = delete;
    TBrowser& operator=(const TBrowser&) = delete;

    // The grid that the browser fills; not owned.
    TViewer& Grid;
    // When true, Enter, Insert and Delete do nothing.
    bool ReadOnly;
    // Delete works only when this is true (and ReadOnly false).
    bool CanDelete;
    // The grid row that shows the top record; the rows above it are header rows.
    int32_t FirstRow;
    // Marks the record shown in FirstRow.
    std::unique_ptr<TBookmark> TopBookmark;
    // Marks the record shown in the grid's last row; updated only when that row is filled.
    std::unique_ptr<TBookmark> BottomBookmark;
    // Not used by the browser; free for a descendant.
    int32_t Reserved1 = 0;
    // The last grid row that shows a record; FirstRow - 1 when the page is empty.
    int32_t LastRow;
    // One bookmark per grid row, header rows included, indexed by the row number.
    std::vector<std::unique_ptr<TBookmark>> RowBookmarks;
    // One colour per cell in row order (Row * ColCount + Col), header rows included; -1 is none.
    std::vector<int32_t> Colors;
    // Not used by the browser; free for a descendant.
    uint8_t Reserved2 = 0;
    // Set by InsertRecord to be asked for one more insertion; cleared once, before the first.
    bool InsertAgain = false;

    // --- what the grid calls ---
    int32_t CellColor(int32_t Row, int32_t Col) override;
    bool ActsOnKey(uint16_t Key, TShiftState Shift) const override;
    void HandleKey(uint16_t Key, TShiftState Shift) override;
    void SyncSelection() override;
    void OpenSelected() override;

    // --- paging ---
    // Shows the record at the row's offset from the top; false when there is none.
    bool FillRow(int32_t Row);
    // Refetches the whole page from the top record; the selection stays where it is. A failure
    // of the descendant still ends the fill (EndFill, RowSelected) and is then passed on.
    void FillPage();
    void SelectRow(int32_t Row);
    int32_t SelectedRow() const;
    void SetTop(TRecord Record);

    void LineDown();
    void LineUp();
    void PageUp();
    void PageDown();
    void FirstPage();
    void LastPage();

    // --- the selected record ---
    // The selected row's record, or none (asking whether to refill when it has vanished).
    TRecord LocateSelected();
    void InsertNew();
    void DeleteSelected();
    void EditSelected();

protected:
    // Sets the fields only (a negative FirstRow counts as 0); Create does the rest. Until then
    // the operations throw std::logic_error.
    TBrowser(TStartKey, TViewer& AGrid, int32_t AFirstRow, bool AReadOnly, bool ACanDelete);

    // The virtual operations, in slot order.

    // Declared to keep the slots in order; nothing in the browser calls it.
    virtual void ReservedSlot0() {}
    // The colours of the record's row, one per column, or an empty span for none (the row then
    // keeps its colours). Valid until the next call into the descendant.
    virtual std::span<const int32_t> GetRowColors(TRecord Record);
    // Around every page fill; EndFill also when the fill failed.
    virtual void BeginFill() {}
    virtual void EndFill() {}
    // Adds the record's cell texts to the empty list, one per column from column 0.
    virtual void GetCellTexts(TRecord Record, TStrList& Texts) = 0;
    // The first record, none for an empty source.
    virtual TRecord GetFirst() = 0;
    // The record to put at the top when the end of the data is to be shown, or none.
    virtual TRecord GetLast() = 0;
    // The record Offset places after the top record (before it when negative), or none.
    virtual TRecord GetAtOffset(int32_t Offset) = 0;
    // The marked record, or none when it cannot be found any more.
    virtual TRecord FindBookmark(const TBookmark& Bookmark) = 0;
    virtual bool HasNext(const TBookmark& Bookmark) = 0;
    virtual bool HasPrior(const TBookmark& Bookmark) = 0;
    // Declared to keep the slots in order; nothing in the browser calls it.
    virtual void ReservedSlot11() {}
    virtual void OpenRecord(TRecord) {}
    // The newly inserted record, or none; may set InsertAgain.
    virtual TRecord InsertRecord() { return {}; }
    virtual void DeleteRecord(TRecord) {}
    // True when the record was changed.
    virtual bool EditRecord(TRecord) { return false; }
    // Makes the bookmark mark the record (none: empty it).
    virtual void SaveBookmark(TRecord Record, TBookmark& Bookmark) = 0;
    // The selection is on the row of this bookmark (an emptied one for a row without record).
    virtual void RowSelected(const TBookmark&) {}

    // Makes every bookmark of the browser; a descendant returns its own extended kind.
    virtual std::unique_ptr<TBookmark> NewBookmark();

private:
    void Start();
    void RequireStarted() const;
    // Gives the bookmarks and colours the grid's size; cells that stay keep their colour.
    void SizeToGrid();
    // The grid's size changed: sized at once, and the page refilled for its new rows.
    void GridSizeChanged();
    TBookmark& RowBookmark(int32_t Row);
    void EmptyRowsFrom(int32_t Row);

    QPointer<TViewer> FGridAlive; // the grid may go first
    QMetaObject::Connection FSizeWatch;
    int32_t FSizedCols = 0;
    int32_t FSizedRows = 0;
    bool FStarted = false;
};
