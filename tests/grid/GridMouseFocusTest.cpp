// Mouse selection, the mouse and double-click events, and entering the grid by the focus.
#include "GridFixture.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <string>
#include <vector>

namespace {

// The grid's mouse hooks as they fire, in order.
class TMouseLog {
public:
    explicit TMouseLog(TStringGrid& Grid) {
        Grid.OnMouseDown = [this](QObject*, TMouseButton Button, TShiftState Shift, int, int) {
            Add("down", Button, Shift);
        };
        Grid.OnMouseUp = [this](QObject*, TMouseButton Button, TShiftState Shift, int, int) {
            Add("up", Button, Shift);
        };
        Grid.OnDblClick = [this](QObject*) { Events.push_back("dblclick"); };
    }
    std::vector<std::string> Events;
    std::vector<TShiftState> Shifts;

private:
    void Add(const char* What, TMouseButton Button, TShiftState Shift) {
        Events.push_back(std::string(What) + (Button == TMouseButton::mbLeft ? "-left" : "-other"));
        Shifts.push_back(Shift);
    }
};

using GridMouse = TGridFixture<>;

TEST_F(GridMouse, AClickOnADataRowSelectsItButNotOnTheHeaderOrBelowTheRows) {
    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, InRow(4, 1));
    EXPECT_EQ(Grid.Row(), 4);
    EXPECT_EQ(Grid.Selection(), (TGridRect{0, 4, 2, 4}));

    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, QPoint(30, 5));
    EXPECT_EQ(Grid.Row(), 4) << "the header is not selectable";

    Grid.SetRowCount(5); // rows end at y = 5 * 21
    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, QPoint(30, 150));
    EXPECT_EQ(Grid.Row(), 4);
    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, QPoint(190, InRow(2, 1).y()));
    EXPECT_EQ(Grid.Row(), 4) << "right of the last column";
}

TEST_F(GridMouse, AClickOnAScrolledGridSelectsTheRowUnderThePointer) {
    Grid.SetTopRow(40);
    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, InRow(43, 40));
    EXPECT_EQ(Grid.Row(), 43);
}

TEST_F(GridMouse, TheRightButtonDoesNotSelectButItsReleaseIsReported) {
    TMouseLog Log(Grid);
    QTest::mouseClick(Grid.viewport(), Qt::RightButton, Qt::ControlModifier, InRow(6, 1));
    EXPECT_EQ(Grid.Row(), 1);
    EXPECT_EQ(Log.Events, (std::vector<std::string>{"down-other", "up-other"}));
    EXPECT_EQ(Log.Shifts[0], (TShiftState{ssCtrl, ssRight}));
    EXPECT_EQ(Log.Shifts[1], TShiftState{ssCtrl}) << "the released button is no longer held";
}

// A real double-click: press, release, the double-click press, release. QTest's mouseDClick
// sends only the third, so the others are sent around it.
void DoubleClick(QWidget* Widget, QPoint At) {
    QTest::mouseClick(Widget, Qt::LeftButton, {}, At);
    QTest::mouseDClick(Widget, Qt::LeftButton, {}, At);
    QTest::mouseRelease(Widget, Qt::LeftButton, {}, At);
}

TEST_F(GridMouse, ADoubleClickSelectsItsRowAndFiresDblClickBeforeTheSecondPress) {
    TMouseLog Log(Grid);
    DoubleClick(Grid.viewport(), InRow(3, 1));
    EXPECT_EQ(Grid.Row(), 3);
    EXPECT_EQ(Log.Events, (std::vector<std::string>{"down-left", "up-left", "dblclick", "down-left",
                                                    "up-left"}));
    EXPECT_FALSE(Log.Shifts[0].Contains(ssDouble));
    EXPECT_EQ(Log.Shifts[2], (TShiftState{ssLeft, ssDouble}));
}

TEST_F(GridMouse, DraggingWithTheButtonHeldMovesTheSelectedRow) {
    QTest::mousePress(Grid.viewport(), Qt::LeftButton, {}, InRow(2, 1));
    QMouseEvent Move(QEvent::MouseMove, QPointF(InRow(6, 1)),
                     Grid.viewport()->mapToGlobal(InRow(6, 1)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(Grid.viewport(), &Move);
    QTest::mouseRelease(Grid.viewport(), Qt::LeftButton, {}, InRow(6, 1));
    EXPECT_EQ(Grid.Row(), 6);
    EXPECT_EQ(Grid.Selection().Top, 6);
}

// A window holding the grid and an edit, to move the focus between them.
class GridFocus : public ::testing::Test {
protected:
    void SetUp() override {
        auto* Layout = new QVBoxLayout(&Window);
        Layout->addWidget(Edit = new QLineEdit);
        Layout->addWidget(Grid = new TStringGrid);
        Grid->OnEnter = [this](QObject* Sender) {
            EXPECT_EQ(Sender, Grid);
            ++Entered;
        };
        Window.show();
        Window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
        Edit->setFocus();
    }
    QWidget Window;
    QLineEdit* Edit = nullptr;
    TStringGrid* Grid = nullptr;
    int Entered = 0;
};

TEST_F(GridFocus, TakingTheFocusFromAnotherControlEntersTheGridEachTime) {
    EXPECT_EQ(Entered, 0);
    QTest::keyClick(Edit, Qt::Key_Tab);
    ASSERT_TRUE(Grid->hasFocus());
    EXPECT_EQ(Entered, 1);
    Edit->setFocus(Qt::MouseFocusReason);
    Grid->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(Entered, 2);
}

TEST_F(GridFocus, TheWindowComingBackToTheFrontDoesNotEnterTheGridAgain) {
    Grid->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(Entered, 1);
    QWidget Other;
    Other.show();
    Other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Other));
    Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    EXPECT_TRUE(Grid->hasFocus());
    EXPECT_EQ(Entered, 1);
}

} // namespace
