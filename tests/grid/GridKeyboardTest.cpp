// Keyboard navigation of the string grid, through Qt key events.
#include "GridFixture.h"
#include "HeldKey.h"
#include "toolkit/KeyRepeat.h"

#include <QKeyEvent>
#include <QTest>
#include <vector>

namespace {

using GridKeys = TGridFixture<>;

TEST_F(GridKeys, UpAndDownMoveByOneAndStopAtTheFirstDataRowAndTheLastRow) {
    QTest::keyClick(&Grid, Qt::Key_Down);
    QTest::keyClick(&Grid, Qt::Key_Down);
    EXPECT_EQ(Grid.Row(), 3);
    QTest::keyClick(&Grid, Qt::Key_Up);
    EXPECT_EQ(Grid.Row(), 2);
    QTest::keyClick(&Grid, Qt::Key_Up);
    QTest::keyClick(&Grid, Qt::Key_Up);
    EXPECT_EQ(Grid.Row(), 1) << "never onto the header row";

    Grid.SetRow(99);
    QTest::keyClick(&Grid, Qt::Key_Down);
    EXPECT_EQ(Grid.Row(), 99);
}

TEST_F(GridKeys, MovingPastTheVisibleRowsScrollsTheDataButNotTheHeader) {
    for (int I = 0; I < 10; ++I)
        QTest::keyClick(&Grid, Qt::Key_Down);
    EXPECT_EQ(Grid.Row(), 11);
    EXPECT_EQ(Grid.TopRow(), 2) << "row 11 is the tenth whole row now";
    EXPECT_EQ(Grid.CellRect(0, 11).Bottom, 11 * kPitch - 1);
    EXPECT_EQ(Grid.CellRect(0, 0).Top, 0) << "the header stays on top";
    EXPECT_TRUE(Grid.CellRect(0, 1).IsEmpty()) << "row 1 scrolled away";

    for (int I = 0; I < 10; ++I)
        QTest::keyClick(&Grid, Qt::Key_Up);
    EXPECT_EQ(Grid.Row(), 1);
    EXPECT_EQ(Grid.TopRow(), 1);
}

TEST_F(GridKeys, PageDownAndPageUpMoveRowAndViewByTheTenVisibleRows) {
    QTest::keyClick(&Grid, Qt::Key_Down); // row 2
    QTest::keyClick(&Grid, Qt::Key_PageDown);
    EXPECT_EQ(Grid.Row(), 12);
    EXPECT_EQ(Grid.TopRow(), 11);
    QTest::keyClick(&Grid, Qt::Key_PageDown);
    EXPECT_EQ(Grid.Row(), 22);
    QTest::keyClick(&Grid, Qt::Key_PageUp);
    EXPECT_EQ(Grid.Row(), 12);
    EXPECT_EQ(Grid.TopRow(), 11);
    QTest::keyClick(&Grid, Qt::Key_PageUp);
    QTest::keyClick(&Grid, Qt::Key_PageUp);
    EXPECT_EQ(Grid.Row(), 1);
    EXPECT_EQ(Grid.TopRow(), 1);

    Grid.SetRow(95);
    QTest::keyClick(&Grid, Qt::Key_PageDown);
    EXPECT_EQ(Grid.Row(), 99);
    EXPECT_EQ(Grid.TopRow(), 90) << "the last page is a full page";
}

TEST_F(GridKeys, HomeAndEndWithOrWithoutCtrlGoToTheEndsOfTheRows) {
    QTest::keyClick(&Grid, Qt::Key_End);
    EXPECT_EQ(Grid.Row(), 99);
    EXPECT_EQ(Grid.TopRow(), 90);
    QTest::keyClick(&Grid, Qt::Key_Home);
    EXPECT_EQ(Grid.Row(), 1);
    EXPECT_EQ(Grid.TopRow(), 1);
    QTest::keyClick(&Grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Grid.Row(), 99);
    QTest::keyClick(&Grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(Grid.Row(), 1);
}

TEST_F(GridKeys, WithWholeRowsLeftAndRightActAsUpAndDown) {
    QTest::keyClick(&Grid, Qt::Key_Right);
    QTest::keyClick(&Grid, Qt::Key_Right);
    EXPECT_EQ(Grid.Row(), 3);
    QTest::keyClick(&Grid, Qt::Key_Left);
    EXPECT_EQ(Grid.Row(), 2);
}

TEST_F(GridKeys, WithCellsLeftRightHomeAndEndMoveAlongTheRowButNotOntoFixedColumns) {
    Grid.SetOptions({goVertLine, goHorzLine});
    Grid.SetFixedCols(1);
    EXPECT_EQ(Grid.Col(), 1);
    QTest::keyClick(&Grid, Qt::Key_Left);
    EXPECT_EQ(Grid.Col(), 1);
    QTest::keyClick(&Grid, Qt::Key_Right);
    EXPECT_EQ(Grid.Col(), 2);
    QTest::keyClick(&Grid, Qt::Key_Home);
    EXPECT_EQ(Grid.Col(), 1);
    QTest::keyClick(&Grid, Qt::Key_End);
    EXPECT_EQ(Grid.Col(), 2);
    EXPECT_EQ(Grid.Row(), 1);
    QTest::keyClick(&Grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Grid.Row(), 99);
    QTest::keyClick(&Grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(Grid.Col(), 1);
    EXPECT_EQ(Grid.Row(), 1);
}

TEST_F(GridKeys, ShiftExtendsTheSelectionOnlyWithRangeSelect) {
    QTest::keyClick(&Grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Grid.Selection().Top, 2);
    EXPECT_EQ(Grid.Selection().Bottom, 2);

    Grid.SetOptions(Grid.Options() + TGridOptions{goRangeSelect});
    QTest::keyClick(&Grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&Grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Grid.Selection(), (TGridRect{0, 2, 2, 4}));
    QTest::keyClick(&Grid, Qt::Key_Down);
    EXPECT_EQ(Grid.Selection(), (TGridRect{0, 5, 2, 5}));
}

struct TKeyRecord {
    bool Down;
    uint16_t Key;
    TShiftState Shift;
};

TEST_F(GridKeys, KeyEventsCarryVirtualKeyCodesAndShiftStates) {
    // The modifier keys go down and up by themselves as well: leave them out.
    const auto IsModifier = [](uint16_t Key) { return Key >= VK_SHIFT && Key <= VK_MENU; };
    std::vector<TKeyRecord> Seen;
    Grid.OnKeyDown = [&](QObject* Sender, uint16_t& Key, TShiftState Shift) {
        EXPECT_EQ(Sender, &Grid);
        if (!IsModifier(Key))
            Seen.push_back({true, Key, Shift});
    };
    Grid.OnKeyUp = [&](QObject*, uint16_t& Key, TShiftState Shift) {
        if (!IsModifier(Key))
            Seen.push_back({false, Key, Shift});
    };
    QTest::keyClick(&Grid, Qt::Key_PageUp, Qt::ControlModifier);
    QTest::keyClick(&Grid, Qt::Key_Insert, Qt::ShiftModifier | Qt::AltModifier);
    QTest::keyClick(&Grid, Qt::Key_Return);

    ASSERT_EQ(Seen.size(), 6u);
    EXPECT_TRUE(Seen[0].Down);
    EXPECT_EQ(Seen[0].Key, 33);
    EXPECT_EQ(Seen[0].Shift, TShiftState{ssCtrl});
    EXPECT_FALSE(Seen[1].Down);
    EXPECT_EQ(Seen[1].Key, 33);
    EXPECT_EQ(Seen[2].Key, 45);
    EXPECT_EQ(Seen[2].Shift, (TShiftState{ssShift, ssAlt}));
    EXPECT_EQ(Seen[4].Key, 13);
    EXPECT_TRUE(Seen[4].Shift.Empty());
}

TEST_F(GridKeys, AKeyZeroedByOnKeyDownIsNotActedOn) {
    Grid.OnKeyDown = [](QObject*, uint16_t& Key, TShiftState) {
        if (Key == 40)
            Key = 0;
    };
    QTest::keyClick(&Grid, Qt::Key_Down);
    EXPECT_EQ(Grid.Row(), 1);
    QTest::keyClick(&Grid, Qt::Key_PageDown);
    EXPECT_EQ(Grid.Row(), 11);
}

TEST_F(GridKeys, HeldEnterInsAndDelComeDownOnceWhileTheOtherKeysRepeat) {
    WatchKeyRepeats();
    std::vector<uint16_t> Down;
    Grid.OnKeyDown = [&](QObject*, uint16_t& Key, TShiftState) { Down.push_back(Key); };
    for (const Qt::Key Key : {Qt::Key_Return, Qt::Key_Insert, Qt::Key_Delete, Qt::Key_Down})
        THeldKey(Key).Hold(&Grid, 3);
    EXPECT_EQ(Down, (std::vector<uint16_t>{13, 45, 46, 40, 40, 40, 40}));
    EXPECT_EQ(Grid.Row(), 5);
}

// Records the keys that reach it after its child let them pass.
class TKeyParent : public QWidget {
public:
    std::vector<int> Keys;

protected:
    void keyPressEvent(QKeyEvent* Event) override { Keys.push_back(Event->key()); }
};

TEST(GridKeyPassing, KeysTheGridDoesNotUseReachTheWindowSoItsButtonsStillWork) {
    TKeyParent Window;
    auto* Grid = new TStringGrid(&Window);
    Grid->SetRowCount(10);
    Window.resize(300, 300);
    Grid->resize(300, 300);
    Window.show();
    int GridSaw = 0;
    Grid->OnKeyDown = [&](QObject*, uint16_t&, TShiftState) { ++GridSaw; };

    QTest::keyClick(Grid, Qt::Key_Escape);
    QTest::keyClick(Grid, Qt::Key_Return);
    QTest::keyClick(Grid, Qt::Key_Down);
    EXPECT_EQ(GridSaw, 3);
    EXPECT_EQ(Window.Keys, (std::vector<int>{Qt::Key_Escape, Qt::Key_Return}));
    EXPECT_EQ(Grid->Row(), 2);
}

} // namespace
