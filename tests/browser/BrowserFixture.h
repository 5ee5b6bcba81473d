#pragma once
// A viewer grid shown offscreen with one header row, ten data rows (rows 1 to 10) and three
// columns, all on screen, and a memory browser on it that logs what it is asked.

#include "viewer/MemoryBrowser.h"
#include "viewer/Viewer.h"

#include <QString>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

constexpr int kDataRows = 10;

// Prefix followed by the number, e.g. Named("Rec ", 10) is "Rec 10".
std::string Named(const char* Prefix, int64_t Number);
constexpr int kLastGridRow = 10;

// N computed records: record p has key p and the texts "R<p>" and "<3p>", no colours.
class TNumberedTable : public TMemoryTable {
public:
    explicit TNumberedTable(int64_t N) : FCount(N) {}
    int64_t Count() const override { return FCount; }
    int64_t KeyAt(int64_t Position) const override { return Position; }
    TMemoryRecord At(int64_t Position) const override;
    int64_t LowerBound(int64_t Key) const override;

private:
    int64_t FCount;
};

// Records with the keys 10, 20, ... up to 10 * N and the texts "Rec <key>", "<key / 10>".
void FillByTens(TRecordVector& Table, int N);

// A memory browser that logs the calls the browser makes into its descendant.
class TProbeBrowser : public TMemoryBrowser {
public:
    using TMemoryBrowser::TMemoryBrowser;

    std::vector<int32_t> Offsets;        // each GetAtOffset, in order
    std::vector<std::string> Events;     // "begin", "end", "selected <key>" or "selected none"
    std::optional<int32_t> FailAtOffset; // GetAtOffset of this offset throws
    bool FailInBeginFill = false;
    void ClearLog() {
        Offsets.clear();
        Events.clear();
    }

protected:
    TRecord GetAtOffset(int32_t Offset) override;
    void BeginFill() override;
    void EndFill() override;
    void RowSelected(const TBookmark& Bookmark) override;
};

class BrowserTest : public ::testing::Test {
protected:
    BrowserTest();

    TProbeBrowser& Attach(TMemoryTable& Table, bool ReadOnly = false, bool CanDelete = true);

    void Key(Qt::Key Pressed, Qt::KeyboardModifiers Modifiers = Qt::NoModifier);
    void Click(int Row);
    void DoubleClick(int Row);

    std::string Text(int Col, int Row) const { return Grid.Cells(Col, Row).toStdString(); }
    // The first column of rows 1 to 10.
    std::vector<std::string> Page() const;
    // The first column of rows 1 to 10 expected for consecutive numbered records from Top,
    // the rows past the source's Count empty.
    static std::vector<std::string> NumberedPage(int64_t Top, int64_t Count);
    int SelectedRow() const { return Grid.Selection().Top; }

    TViewer Grid;
    std::unique_ptr<TProbeBrowser> Browser;
};

// Answers every message box with Answer while it lives, and records the boxes.
class TBoxAnswer {
public:
    struct TShown {
        QString Text;
        QString Caption;
        int Flags;
    };
    explicit TBoxAnswer(int Answer);
    ~TBoxAnswer(); // back to failing on any box
    TBoxAnswer(const TBoxAnswer&) = delete;
    TBoxAnswer& operator=(const TBoxAnswer&) = delete;
    std::vector<TShown> Shown;
};
