// The toolkit controls the user editor and the main window are built from: the radio group,
// the list boxes with columns and item data, and the speed button.
#include "GuiTest.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/SpeedButton.h"

#include <QApplication>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

const char* const TwoGlyphs[] = {
    "4 2 4 1", ". c #808000", "r c #FF0000", "g c #808080", "w c #FFFFFF", "r.g.", ".rwg",
};

} // namespace

TEST(RadioGroup, ItemsFillColumnsTopToBottomAndClicksReportTheNewIndex) {
    TRadioGroup Group;
    Group.resize(300, 80);
    Group.SetColumns(2);
    Group.SetItems({"a", "b", "c", "d", "e"});
    EXPECT_EQ(Group.ItemIndex(), -1);
    // Three rows: a b c in the first column, d e in the second.
    EXPECT_EQ(Group.Button(1)->x(), Group.Button(0)->x());
    EXPECT_GT(Group.Button(1)->y(), Group.Button(0)->y());
    EXPECT_GT(Group.Button(3)->x(), Group.Button(2)->x());
    EXPECT_EQ(Group.Button(3)->y(), Group.Button(0)->y());

    std::vector<int> Seen;
    Group.OnClick = [&](QObject* Sender) {
        EXPECT_EQ(Sender, &Group);
        Seen.push_back(Group.ItemIndex());
    };
    Group.show();
    QTest::mouseClick(Group.Button(3), Qt::LeftButton, {},
                      QPoint(8, Group.Button(3)->height() / 2));
    QTest::mouseClick(Group.Button(3), Qt::LeftButton, {},
                      QPoint(8, Group.Button(3)->height() / 2));
    Group.SetItemIndex(1);
    Group.SetItemIndex(-1);
    EXPECT_EQ(Seen, (std::vector<int>{3, 1, -1})) << "only changes are reported";
    for (int I = 0; I < 5; ++I)
        EXPECT_FALSE(Group.Button(I)->isChecked());
    EXPECT_EQ(Group.Button(7), nullptr);
}

TEST(RadioGroup, ArrowKeysMoveTheChoice) {
    TRadioGroup Group;
    Group.resize(400, 46);
    Group.SetColumns(4);
    Group.SetItems({"a", "b", "c", "d"});
    Group.SetItemIndex(0);
    Group.show();
    Group.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Group));
    Group.Button(0)->setFocus();
    QTest::keyClick(Group.Button(0), Qt::Key_Right);
    EXPECT_EQ(Group.ItemIndex(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(Group.ItemIndex(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(Group.ItemIndex(), 1);
}

TEST(ListBox, ItemsCarryTheirDataAndTheSelectionIsTheItemIndex) {
    TListBox List;
    EXPECT_EQ(List.AddItem("Importu", 0x200), 0);
    EXPECT_EQ(List.AddItem("Importu", 0x20000), 1); // the same text, told apart by its data
    EXPECT_EQ(List.ItemData(0), 0x200u);
    EXPECT_EQ(List.ItemData(1), 0x20000u);
    EXPECT_EQ(List.ItemData(2), 0u);
    EXPECT_EQ(List.ItemIndex(), -1);
    List.SetItemIndex(1);
    EXPECT_EQ(List.ItemIndex(), 1);
    List.SetItemIndex(5);
    EXPECT_EQ(List.ItemIndex(), -1);
    List.SetItemIndex(0);
    List.Clear();
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(List.ItemIndex(), -1);
}

TEST(ListBox, ColumnsFillTopToBottomWithTheFullHeightWhenAllItemsFit) {
    TCheckListBox List;
    List.resize(436, 91);
    List.SetItemHeight(16);
    List.SetColumns(8);
    for (int I = 1; I <= 32; ++I)
        List.AddItem(QString::number(I));
    List.show();
    QApplication::processEvents();
    const QRect First = List.visualItemRect(List.item(0));
    EXPECT_EQ(First.height(), 16);
    // Five rows of 16 pixels fit the height: 1-5 in the first column, 6 opens the second.
    EXPECT_EQ(List.visualItemRect(List.item(4)).x(), First.x());
    EXPECT_EQ(List.visualItemRect(List.item(4)).y(), First.y() + 4 * 16);
    EXPECT_GT(List.visualItemRect(List.item(5)).x(), First.x());
    EXPECT_EQ(List.visualItemRect(List.item(5)).y(), First.y());
    EXPECT_LE(List.visualItemRect(List.item(31)).right(), List.viewport()->width());
    EXPECT_FALSE(List.horizontalScrollBar()->isVisible());

    // Too many items for the columns: the list scrolls sideways to reach them.
    for (int I = 33; I <= 60; ++I)
        List.AddItem(QString::number(I));
    EXPECT_TRUE(QTest::qWaitFor([&] { return List.horizontalScrollBar()->isVisible(); }));
    List.scrollToItem(List.item(59));
    EXPECT_TRUE(List.viewport()->rect().intersects(List.visualItemRect(List.item(59))));
}

TEST(CheckListBox, SpaceAndTheCheckBoxToggleTheCurrentItem) {
    TCheckListBox List;
    List.SetItems({"1", "2", "3"});
    List.show();
    List.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&List));
    List.setCurrentRow(1);
    QTest::keyClick(&List, Qt::Key_Space);
    EXPECT_EQ(std::vector<bool>({List.Checked(0), List.Checked(1), List.Checked(2)}),
              (std::vector<bool>{false, true, false}));
    QTest::keyClick(&List, Qt::Key_Space);
    EXPECT_FALSE(List.Checked(1));
    List.SetChecked(2, true);
    EXPECT_TRUE(List.Checked(2));
    EXPECT_FALSE(List.Checked(9));
}

TEST(SpeedButton, NormalAndDisabledImagesComeFromTheTwoHalves) {
    TSpeedButton Button;
    Button.SetGlyph(QImage(TwoGlyphs), 2);
    EXPECT_EQ(Button.iconSize(), QSize(2, 2));
    EXPECT_TRUE(Button.autoRaise());
    EXPECT_EQ(Button.focusPolicy(), Qt::NoFocus);
    const QImage Normal = Button.icon().pixmap(QSize(2, 2), QIcon::Normal).toImage();
    const QImage Disabled = Button.icon().pixmap(QSize(2, 2), QIcon::Disabled).toImage();
    // The olive of the bottom-left pixel is transparent.
    EXPECT_EQ(Normal.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(Normal.pixel(1, 0)), 0);
    EXPECT_EQ(qAlpha(Normal.pixel(0, 1)), 0);
    EXPECT_EQ(Normal.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(Disabled.pixel(0, 0), qRgb(128, 128, 128));
    EXPECT_EQ(Disabled.pixel(1, 1), qRgb(128, 128, 128));
    EXPECT_EQ(qAlpha(Disabled.pixel(1, 0)), 0);
    EXPECT_EQ(Disabled.pixel(0, 1), qRgb(255, 255, 255));
}
