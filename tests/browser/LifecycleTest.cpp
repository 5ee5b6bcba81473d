// Attaching, detaching and following the grid's size.
#include "BrowserFixture.h"

#include "toolkit/MessageBox.h"

#include <QTest>

#include <stdexcept>
#include <type_traits>

namespace {

// Only TBrowser::Create makes a browser: a descendant cannot be built and then used unstarted.
static_assert(!std::is_constructible_v<TMemoryBrowser, TViewer&, TMemoryTable&, int, bool, bool>);

// Uses itself in its constructor, before Create has started it.
class TEagerBrowser : public TMemoryBrowser {
public:
    TEagerBrowser(TStartKey Key, TViewer& AGrid, TMemoryTable& ATable)
        : TMemoryBrowser(Key, AGrid, ATable, 1, false, true) {
        FillPage();
    }
};

using Lifecycle = BrowserTest;

TEST_F(Lifecycle, CreateAttachesAndDestructionDetachesOnlyItself) {
    TNumberedTable Table(30);
    Attach(Table);
    EXPECT_EQ(Grid.Browser, Browser.get());
    Browser.reset();
    EXPECT_EQ(Grid.Browser, nullptr);
    Key(Qt::Key_Down); // a detached grid goes on working alone

    auto First = TBrowser::Create<TProbeBrowser>(Grid, Table, 1, false, true);
    auto Second = TBrowser::Create<TProbeBrowser>(Grid, Table, 1, false, true);
    EXPECT_EQ(Grid.Browser, Second.get());
    First.reset();
    EXPECT_EQ(Grid.Browser, Second.get()) << "the replaced browser leaves its successor alone";
}

TEST_F(Lifecycle, ABrowserUsedBeforeItWasStartedFailsClearly) {
    TNumberedTable Table(30);
    EXPECT_THROW(TBrowser::Create<TEagerBrowser>(Grid, Table), std::logic_error);
    EXPECT_EQ(Grid.Browser, nullptr);
}

TEST_F(Lifecycle, ABrowserMayOutliveItsGrid) {
    TNumberedTable Table(30);
    auto Own = std::make_unique<TViewer>();
    Own->SetRowCount(6);
    auto B = TBrowser::Create<TProbeBrowser>(*Own, Table, 1, false, true);
    EXPECT_EQ(Own->Cells(0, 5).toStdString(), "R4");
    Own.reset();
    B.reset();
}

TEST_F(Lifecycle, MoreRowsAreSizedAtOnceAndFilledAtTheNextKeyOrClick) {
    TNumberedTable Table(30);
    TProbeBrowser& B = Attach(Table);
    Grid.resize(200, 400);
    Grid.SetRowCount(16);
    EXPECT_EQ(B.CellColor(15, 2), -1) << "painting the new rows is safe";
    Click(2);
    EXPECT_EQ(B.Colors.size(), 48u);
    EXPECT_EQ(B.RowBookmarks.size(), 16u);
    EXPECT_EQ(Text(0, 15), "R14");
    EXPECT_EQ(B.LastRow, 15);

    Click(15);
    Key(Qt::Key_Down);
    EXPECT_EQ(Text(0, 1), "R1") << "the new last row scrolls";
}

TEST_F(Lifecycle, FewerRowsMoveTheBottomSoThatScrollingStaysRight) {
    TNumberedTable Table(30);
    TProbeBrowser& B = Attach(Table);
    Grid.SetRowCount(6);
    Grid.SetRow(5);
    Key(Qt::Key_Down);
    EXPECT_EQ(B.RowBookmarks.size(), 6u);
    EXPECT_EQ(B.LastRow, 5);
    EXPECT_EQ(Text(0, 1), "R1") << "scrolled once from R0";
    EXPECT_EQ(Text(0, 5), "R5");

    for (int I = 0; I < 30; ++I)
        Key(Qt::Key_Down);
    EXPECT_EQ(Text(0, 5), "R29");
    EXPECT_EQ(Text(0, 1), "R25") << "stops at the last record";
}

TEST_F(Lifecycle, AColumnAddedKeepsEachCellsColourInPlace) {
    TRecordVector Table;
    Table.Insert({1, {"One", "x", "y"}, {11, 12, 13}});
    Table.Insert({2, {"Two", "x", "y"}, {21, 22, 23}});
    TProbeBrowser& B = Attach(Table);
    Grid.SetColCount(4);
    EXPECT_EQ(B.CellColor(2, 1), 22);
    EXPECT_EQ(B.CellColor(2, 3), -1);
    EXPECT_EQ(B.CellColor(1, 2), 13);
    Grid.SetColCount(2);
    EXPECT_EQ(B.CellColor(2, 1), 22);
    EXPECT_EQ(B.Colors.size(), 22u);
}

TEST_F(Lifecycle, ASizeChangeRefillsThePageAtOnceAndShowsAFailingSource) {
    TNumberedTable Table(30);
    TProbeBrowser& B = Attach(Table);
    Grid.SetRowCount(13);
    EXPECT_EQ(Text(0, 12), "R11");
    EXPECT_EQ(B.LastRow, 12);

    B.FailAtOffset = 12;
    TBoxAnswer Box(IDOK);
    Grid.SetRowCount(14);
    ASSERT_EQ(Box.Shown.size(), 1u);
    EXPECT_EQ(Box.Shown[0].Text, QStringLiteral("source failed"));
    EXPECT_EQ(B.LastRow, 12);
    EXPECT_EQ(B.RowBookmarks.size(), 14u);
}

} // namespace
