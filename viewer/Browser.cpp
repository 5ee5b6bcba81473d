#include "viewer/Browser.h"

#include "toolkit/Application.h"
#include "toolkit/MessageBox.h"
#include "viewer/Guarded.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

TBrowser::TBrowser(TStartKey, TViewer& AGrid, int32_t AFirstRow, bool AReadOnly, bool ACanDelete)
    : Grid(AGrid), ReadOnly(AReadOnly), CanDelete(ACanDelete), FirstRow(std::max(AFirstRow, 0)),
      LastRow(FirstRow - 1), FGridAlive(&AGrid) {}

TBrowser::~TBrowser() {
    QObject::disconnect(FSizeWatch);
    if (FGridAlive && Grid.Browser == this)
        Grid.Browser = nullptr;
}

void TBrowser::Start() {
    TopBookmark = NewBookmark();
    BottomBookmark = NewBookmark();
    SizeToGrid();
    FSizeWatch =
        QObject::connect(&Grid, &TStringGrid::GridSizeChanged, [this] { GridSizeChanged(); });
    Grid.Browser = this;
    FStarted = true;
    FillPage();
}

void TBrowser::RequireStarted() const {
    // Without its bookmarks the browser would crash on the first record it touched.
    if (!FStarted)
        throw std::logic_error("TBrowser: used before TBrowser::Create started it");
}

std::unique_ptr<TBookmark> TBrowser::NewBookmark() {
    return std::make_unique<TBookmark>();
}

std::span<const int32_t> TBrowser::GetRowColors(TRecord) {
    return {};
}

// --- keeping up with the grid's size ---

void TBrowser::SizeToGrid() {
    const int32_t Cols = Grid.ColCount();
    const int32_t Rows = Grid.RowCount();
    // Cells that stay in the grid keep their colour; new ones have none.
    std::vector<int32_t> Resized(static_cast<size_t>(Cols) * static_cast<size_t>(Rows), -1);
    const int32_t KeptCols = std::min(Cols, FSizedCols);
    const int32_t KeptRows = std::min(Rows, FSizedRows);
    for (int32_t R = 0; R < KeptRows; ++R)
        std::copy_n(Colors.begin() + R * FSizedCols, KeptCols, Resized.begin() + R * Cols);
    Colors.swap(Resized);

    RowBookmarks.resize(static_cast<size_t>(Rows));
    for (auto& Bookmark : RowBookmarks)
        if (!Bookmark)
            Bookmark = NewBookmark();
    LastRow = std::min(LastRow, Rows - 1);
    FSizedCols = Cols;
    FSizedRows = Rows;
}

void TBrowser::GridSizeChanged() {
    SizeToGrid();
    // New rows are empty and the bottom bookmark may mark a row that is gone. The grid's
    // caller is told nothing of a failing source, so the failure is shown here.
    RunGuarded([this] { FillPage(); });
}

TBookmark& TBrowser::RowBookmark(int32_t Row) {
    return *RowBookmarks.at(static_cast<size_t>(Row));
}

// --- what the grid calls ---

int32_t TBrowser::CellColor(int32_t Row, int32_t Col) {
    if (Row < 0 || Row >= FSizedRows || Col < 0 || Col >= FSizedCols)
        return -1;
    return Colors[static_cast<size_t>(Row) * static_cast<size_t>(FSizedCols) +
                  static_cast<size_t>(Col)];
}

bool TBrowser::ActsOnKey(uint16_t Key, TShiftState /*Shift*/) const {
    switch (Key) {
    case VK_RETURN:
    case VK_INSERT:
        return !ReadOnly;
    case VK_DELETE:
        return !ReadOnly && CanDelete;
    case VK_SPACE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

void TBrowser::HandleKey(uint16_t Key, TShiftState Shift) {
    RequireStarted();
    // Ctrl with any other modifier or a mouse button is no jump to the first or last page.
    const bool CtrlAlone = Shift == TShiftState{ssCtrl};
    switch (Key) {
    case VK_RETURN:
        if (!ReadOnly)
            EditSelected();
        break;
    case VK_SPACE:
        OpenSelected();
        break;
    case VK_PRIOR:
        CtrlAlone ? FirstPage() : PageUp();
        break;
    case VK_NEXT:
        CtrlAlone ? LastPage() : PageDown();
        break;
    case VK_LEFT:
    case VK_UP:
        LineUp();
        break;
    case VK_RIGHT:
    case VK_DOWN:
        LineDown();
        break;
    case VK_INSERT:
        if (!ReadOnly)
            InsertNew();
        break;
    case VK_DELETE:
        if (!ReadOnly && CanDelete)
            DeleteSelected();
        break;
    default:
        break;
    }
}

void TBrowser::SyncSelection() {
    RequireStarted();
    if (SelectedRow() > LastRow) {
        SelectRow(LastRow);
        RowSelected(RowBookmark(SelectedRow()));
    }
}

void TBrowser::OpenSelected() {
    RequireStarted();
    if (const TRecord Record = LocateSelected())
        OpenRecord(Record);
}

// --- paging ---

bool TBrowser::FillRow(int32_t Row) {
    RequireStarted();
    const TRecord Record = GetAtOffset(Row - FirstRow);
    if (!Record)
        return false;
    if (Row == Grid.RowCount() - 1)
        SaveBookmark(Record, *BottomBookmark);

    TStrList Texts;
    GetCellTexts(Record, Texts);
    const std::span<const int32_t> RowColors = GetRowColors(Record);
    // A descendant that gives fewer colours than columns leaves the rest as they were.
    const size_t ColorCount = std::min(RowColors.size(), static_cast<size_t>(FSizedCols));
    std::copy_n(RowColors.begin(), ColorCount,
                Colors.begin() + static_cast<ptrdiff_t>(Row) * FSizedCols);
    const int32_t TextCount = std::min(Texts.Count(), FSizedCols);
    for (int32_t Col = 0; Col < TextCount; ++Col)
        Grid.SetCells(Col, Row, QString::fromStdString(Texts.Strings(Col)));

    SaveBookmark(Record, RowBookmark(Row));
    return true;
}

void TBrowser::FillPage() {
    RequireStarted();
    BeginFill();
    std::exception_ptr Failure;
    int32_t Row = FirstRow;
    try {
        while (Row <= Grid.RowCount() - 1 && FillRow(Row))
            ++Row;
    } catch (...) {
        Failure = std::current_exception();
    }
    try {
        // After a failure the rows from the failed one on are emptied as well, so that the
        // page never shows records that do not follow the top record.
        EmptyRowsFrom(Row);
        LastRow = Row - 1;
        Grid.Refresh();
    } catch (...) {
        if (!Failure)
            Failure = std::current_exception();
    }
    EndFill();
    RowSelected(RowBookmark(SelectedRow()));
    if (Failure)
        std::rethrow_exception(Failure);
}

void TBrowser::EmptyRowsFrom(int32_t Row) {
    const int32_t From = std::max(Row, 0);
    std::fill(Colors.begin() + std::min<ptrdiff_t>(static_cast<ptrdiff_t>(From) * FSizedCols,
                                                   static_cast<ptrdiff_t>(Colors.size())),
              Colors.end(), -1);
    static const QString Empty;
    for (int32_t R = From; R < FSizedRows; ++R) {
        for (int32_t Col = 0; Col < FSizedCols; ++Col)
            Grid.SetCells(Col, R, Empty);
        RowBookmarks[static_cast<size_t>(R)]->Clear();
    }
}

int32_t TBrowser::SelectedRow() const {
    return Grid.Selection().Top;
}

void TBrowser::SelectRow(int32_t Row) {
    Row = std::max(Row, FirstRow);
    Grid.SetSelection({0, Row, Grid.ColCount() - 1, Row});
}

void TBrowser::SetTop(TRecord Record) {
    RequireStarted();
    SaveBookmark(Record, *TopBookmark);
}

// --- navigation ---
// None of these moves the selection unless it has left the page: the grid's own key handling,
// which runs afterwards, moves it as usual.

void TBrowser::LineDown() {
    RequireStarted();
    if (SelectedRow() > LastRow)
        SelectRow(LastRow);
    if (SelectedRow() == Grid.RowCount() - 1 && HasNext(*BottomBookmark)) {
        // A source that promises a next record but cannot give it keeps its page.
        if (const TRecord Next = GetAtOffset(1)) {
            SetTop(Next);
            FillPage();
        }
    }
}

void TBrowser::LineUp() {
    RequireStarted();
    if (SelectedRow() == FirstRow && HasPrior(*TopBookmark)) {
        if (const TRecord Prior = GetAtOffset(-1)) {
            SetTop(Prior);
            FillPage();
        }
    }
}

void TBrowser::PageUp() {
    RequireStarted();
    if (const TRecord Record = GetAtOffset(FirstRow - Grid.RowCount())) {
        SetTop(Record);
        FillPage();
    } else {
        FirstPage();
    }
}

void TBrowser::PageDown() {
    RequireStarted();
    if (const TRecord Record = GetAtOffset(Grid.RowCount() - FirstRow)) {
        SetTop(Record);
        FillPage();
    } else {
        LastPage();
    }
}

void TBrowser::FirstPage() {
    RequireStarted();
    SetTop(GetFirst());
    FillPage();
}

void TBrowser::LastPage() {
    RequireStarted();
    if (const TRecord Record = GetLast()) {
        SetTop(Record);
        FillPage();
    }
}

// --- the selected record ---

TRecord TBrowser::LocateSelected() {
    RequireStarted();
    const int32_t Row = SelectedRow();
    // A header row (the grid may let the selection onto one) shows no record either.
    if (Row > LastRow || Row < FirstRow)
        return {};
    const TRecord Record = FindBookmark(RowBookmark(Row));
    if (!Record) {
        const int Answer =
            Application.MessageBox(QString::fromUtf8("Elementu nie znaleziono. Uaktualnić listę ?"),
                                   QString(), MB_YESNOCANCEL | MB_ICONQUESTION);
        if (Answer == IDYES)
            FillPage();
    }
    return Record;
}

void TBrowser::InsertNew() {
    RequireStarted();
    InsertAgain = false;
    do {
        if (const TRecord Record = InsertRecord()) {
            SetTop(Record);
            SelectRow(FirstRow);
        }
        FillPage();
    } while (InsertAgain);
}

void TBrowser::DeleteSelected() {
    RequireStarted();
    if (const TRecord Record = LocateSelected())
        DeleteRecord(Record);
    FillPage();
    SyncSelection();
}

void TBrowser::EditSelected() {
    RequireStarted();
    if (const TRecord Record = LocateSelected(); Record && EditRecord(Record)) {
        SetTop(Record);
        SelectRow(FirstRow);
    }
    FillPage();
}
