// Scrolling by line and by page through the grid's keys, on 25 numbered records (R0..R24).
#include "BrowserFixture.h"

#include <QTest>

namespace {

class Navigation : public BrowserTest {
protected:
    Navigation() { Attach(Table); }
    TNumberedTable Table{25};
};

TEST_F(Navigation, ArrowsMoveTheSelectionWithinThePageAndScrollOnlyAtItsEdges) {
    for (int I = 0; I < 9; ++I)
        Key(Qt::Key_Down);
    EXPECT_EQ(SelectedRow(), 10);
    EXPECT_EQ(Text(0, 1), "R0") << "no scrolling inside the page";
    EXPECT_TRUE(Browser->Offsets.empty());

    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(SelectedRow(), 10);
    EXPECT_EQ(Text(0, 1), "R2") << "Down and Right each scroll one record at the last row";
    EXPECT_EQ(Text(0, 10), "R11");

    for (int I = 0; I < 9; ++I)
        Key(Qt::Key_Up);
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(Text(0, 1), "R2");
    Key(Qt::Key_Up);
    Key(Qt::Key_Left);
    EXPECT_EQ(Text(0, 1), "R0") << "Up and Left each scroll back one record at the first row";
    Key(Qt::Key_Up);
    EXPECT_EQ(Text(0, 1), "R0") << "nothing before the first record";
    EXPECT_EQ(SelectedRow(), 1);
}

TEST_F(Navigation, PagingFallsBackToTheLastAndTheFirstPage) {
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Page(), NumberedPage(10, 25));
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Page(), NumberedPage(20, 25)) << "R20 lies a page ahead: it becomes the top";
    EXPECT_EQ(Browser->LastRow, 5);
    EXPECT_EQ(SelectedRow(), 5) << "key-up brought the selection back onto the records";

    Key(Qt::Key_PageDown);
    EXPECT_EQ(Page(), NumberedPage(15, 25)) << "nothing a page ahead: the full last page";
    EXPECT_EQ(Browser->LastRow, 10);

    Key(Qt::Key_PageUp);
    EXPECT_EQ(Page(), NumberedPage(5, 25));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Page(), NumberedPage(0, 25)) << "nothing a page back: the first page";
}

TEST_F(Navigation, OnlyCtrlAloneJumpsToTheFirstOrLastPage) {
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(Text(0, 1), "R15");
    Key(Qt::Key_PageUp, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Text(0, 1), "R5") << "Ctrl+Shift+PageUp is a plain PageUp";
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(Text(0, 1), "R0");
    Key(Qt::Key_PageDown, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(Text(0, 1), "R10") << "Ctrl+Alt+PageDown is a plain PageDown";
    Key(Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(Text(0, 1), "R20");
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(Text(0, 1), "R0");
}

TEST_F(Navigation, CtrlWithAMouseButtonHeldIsNoCtrlAlone) {
    // Through the window, as a real press arrives, so that the application knows it is held.
    QWindow* Window = Grid.window()->windowHandle();
    const QPoint At = Grid.viewport()->mapTo(Grid.window(), QPoint(30, 3 * 21 + 10));
    QTest::mousePress(Window, Qt::LeftButton, {}, At);
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    QTest::mouseRelease(Window, Qt::LeftButton, {}, At);
    EXPECT_EQ(Text(0, 1), "R10") << "a plain PageDown, not the last page";
}

TEST_F(Navigation, OtherKeysLeaveThePageAlone) {
    for (Qt::Key Other : {Qt::Key_Home, Qt::Key_End, Qt::Key_A, Qt::Key_Tab, Qt::Key_F2})
        Key(Other);
    EXPECT_TRUE(Browser->Offsets.empty());
    EXPECT_EQ(Text(0, 1), "R0");
}

} // namespace
