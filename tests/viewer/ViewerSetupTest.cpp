// The viewer as constructed, its published properties, and the first-focus scaling.
#include "viewer/BViewer.h"

#include "toolkit/Screen.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

TEST(ViewerSetup, ConstructionGivesTheViewersDefaults) {
    TViewer Viewer;
    EXPECT_EQ(Viewer.Options().Bits(), 0x1007u);
    EXPECT_EQ(Viewer.FixedCols(), 0);
    EXPECT_EQ(Viewer.FixedRows(), 1);
    EXPECT_EQ(Viewer.PixelsPerInch, 120);
    EXPECT_EQ(Viewer.RightText, 0);
    EXPECT_EQ(Viewer.CenterText, 0);
    EXPECT_TRUE(Viewer.ScalePending);
    EXPECT_FALSE(Viewer.OnCommand);
    EXPECT_EQ(Viewer.Browser, nullptr);
    EXPECT_TRUE(Viewer.DefaultDrawing());
}

TEST(ViewerSetup, PublishedPropertiesReadAndWriteTheFieldsAsAFormDescriptionDoes) {
    TViewer Viewer;
    ASSERT_TRUE(Viewer.setProperty("PixelsPerInch", 96));
    ASSERT_TRUE(Viewer.setProperty("RightText", 4));
    ASSERT_TRUE(Viewer.setProperty("CenterText", -2));
    EXPECT_EQ(Viewer.PixelsPerInch, 96);
    EXPECT_EQ(Viewer.RightText, 4);
    EXPECT_EQ(Viewer.CenterText, -2);
    Viewer.RightText = 0;
    EXPECT_EQ(Viewer.property("RightText").toInt(), 0) << "stored zeros are read back too";
    ASSERT_TRUE(Viewer.setProperty("Options", 0x1007u));
    ASSERT_TRUE(Viewer.setProperty("ColCount", 3));
    EXPECT_EQ(Viewer.ColCount(), 3);
}

// A window with an edit and a viewer laid out at 120 pixels per inch, as the main window's,
// shown with the focus in the edit.
class ViewerScaling : public ::testing::Test {
protected:
    void SetUp() override {
        auto* Layout = new QVBoxLayout(&Window);
        Layout->addWidget(Edit = new QLineEdit);
        Layout->addWidget(Viewer = new TViewer);
        Viewer->SetColCount(3);
        Viewer->SetColWidths(0, 31);
        Viewer->SetColWidths(1, 167);
        Viewer->SetColWidths(2, 277);
        Viewer->SetDefaultRowHeight(24);
        Window.show();
        Window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
        Edit->setFocus();
    }
    void TearDown() override { Screen.SetPixelsPerInch(0); }

    std::vector<int> Sizes() const {
        return {Viewer->ColWidths(0), Viewer->ColWidths(1), Viewer->ColWidths(2),
                Viewer->DefaultRowHeight()};
    }
    void FocusViewer() {
        QTest::keyClick(Edit, Qt::Key_Tab);
        ASSERT_TRUE(Viewer->hasFocus());
    }

    QWidget Window;
    QLineEdit* Edit = nullptr;
    TViewer* Viewer = nullptr;
};

TEST_F(ViewerScaling, TheFirstFocusScalesWidthsAndRowHeightFrom120To96Dpi) {
    Screen.SetPixelsPerInch(96);
    EXPECT_TRUE(Viewer->ScalePending) << "showing the window does not scale";
    EXPECT_EQ(Sizes(), (std::vector<int>{31, 167, 277, 24}));
    FocusViewer();
    EXPECT_FALSE(Viewer->ScalePending);
    EXPECT_EQ(Sizes(), (std::vector<int>{25, 134, 222, 19}));
}

TEST_F(ViewerScaling, On144DpiTheSizesGrowAndRoundHalvesAway) {
    Screen.SetPixelsPerInch(144);
    FocusViewer();
    EXPECT_EQ(Sizes(), (std::vector<int>{37, 200, 332, 29}));
}

TEST_F(ViewerScaling, OnlyTheFirstFocusScalesWhateverChangesAfterwards) {
    Screen.SetPixelsPerInch(96);
    int Entered = 0;
    Viewer->OnEnter = [&](QObject*) { ++Entered; };
    FocusViewer();
    Screen.SetPixelsPerInch(144);
    Viewer->PixelsPerInch = 60;
    Edit->setFocus();
    FocusViewer();
    EXPECT_EQ(Entered, 2) << "the enter event fires on every focus";
    EXPECT_EQ(Sizes(), (std::vector<int>{25, 134, 222, 19}));
}

TEST_F(ViewerScaling, AtTheLayoutsOwnResolutionNothingChanges) {
    Screen.SetPixelsPerInch(120);
    FocusViewer();
    EXPECT_FALSE(Viewer->ScalePending);
    EXPECT_EQ(Sizes(), (std::vector<int>{31, 167, 277, 24}));
}

TEST_F(ViewerScaling, AResolutionOfZeroOrLessLeavesTheSizesAsLaidOut) {
    Screen.SetPixelsPerInch(96);
    Viewer->PixelsPerInch = 0;
    FocusViewer();
    EXPECT_FALSE(Viewer->ScalePending);
    EXPECT_EQ(Sizes(), (std::vector<int>{31, 167, 277, 24}));
}

TEST(ViewerScalingAlone, AWindowWhoseOnlyControlIsTheViewerScalesWhenItOpens) {
    Screen.SetPixelsPerInch(96);
    const std::unique_ptr<TScreen, void (*)(TScreen*)> Restore(
        &Screen, [](TScreen* S) { S->SetPixelsPerInch(0); });
    QWidget Window;
    auto* Viewer = new TViewer(&Window);
    Viewer->SetColWidths(0, 31);
    Window.show();
    Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    EXPECT_TRUE(Viewer->hasFocus());
    EXPECT_EQ(Viewer->ColWidths(0), 25);
}

} // namespace
