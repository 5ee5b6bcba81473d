// The order of the attached browser's calls and the grid's own handling, for keys, mouse-up
// and double-click, driven by Qt events; and OnCommand after the grid's WM_COMMAND handling.
#include "GridFixture.h"
#include "RecordingBrowser.h"

#include <QTest>
#include <memory>

namespace {

class ViewerForwarding : public TGridFixture<TViewer> {
protected:
    void SetUp() override {
        TGridFixture<TViewer>::SetUp();
        LogViewerEvents(Grid, Log);
        Grid.Browser = &Browser;
    }
    TCallLog Log;
    TRecordingBrowser Browser{Log, Grid};
};

TEST_F(ViewerForwarding, KeyDownAsksTheBrowserFirstAndKeyUpSyncsItBeforeTheEvent) {
    QTest::keyClick(&Grid, Qt::Key_Down);
    EXPECT_EQ(Log, (TCallLog{"HandleKey 40 row 1", "OnKeyDown 40 row 1", "SyncSelection row 2",
                             "OnKeyUp 40 row 2"}));
}

TEST_F(ViewerForwarding, TheBrowserGetsTheShiftStateAndCannotSwallowTheKey) {
    QTest::keyClick(&Grid, Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_FALSE(Browser.Shifts.empty());
    EXPECT_EQ(Browser.Shifts.back(), (TShiftState{ssShift, ssCtrl}));
    EXPECT_EQ(Grid.Row(), 11) << "the grid still pages after the browser saw the key";
}

TEST_F(ViewerForwarding, AKeyZeroedByOnKeyDownHasStillReachedTheBrowser) {
    Grid.OnKeyDown = [](QObject*, uint16_t& Key, TShiftState) { Key = 0; };
    QTest::keyPress(&Grid, Qt::Key_Return);
    EXPECT_EQ(Log, (TCallLog{"HandleKey 13 row 1"}));
    QTest::keyPress(&Grid, Qt::Key_Down);
    EXPECT_EQ(Grid.Row(), 1);
}

TEST_F(ViewerForwarding, MouseUpIsHandledByTheGridBeforeTheBrowserSyncs) {
    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, InRow(4, 1));
    EXPECT_EQ(Log, (TCallLog{"OnMouseUp row 4", "SyncSelection row 4"}));
}

TEST_F(ViewerForwarding, DoubleClickOpensTheSelectedRecordAfterTheGridsEvent) {
    const QPoint At = InRow(5, 1);
    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, At);
    QTest::mouseDClick(Grid.viewport(), Qt::LeftButton, {}, At);
    QTest::mouseRelease(Grid.viewport(), Qt::LeftButton, {}, At);
    EXPECT_EQ(Log, (TCallLog{"OnMouseUp row 5", "SyncSelection row 5", "OnDblClick row 5",
                             "OpenSelected row 5", "OnMouseUp row 5", "SyncSelection row 5"}));
}

TEST_F(ViewerForwarding, WithoutABrowserOnlyTheGridsOwnHandlingRuns) {
    Grid.Browser = nullptr;
    QTest::keyClick(&Grid, Qt::Key_Down);
    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, {}, InRow(7, 1));
    QTest::mouseDClick(Grid.viewport(), Qt::LeftButton, {}, InRow(7, 1));
    QTest::mouseRelease(Grid.viewport(), Qt::LeftButton, {}, InRow(7, 1));
    Render();
    EXPECT_EQ(Log, (TCallLog{"OnKeyDown 40 row 1", "OnKeyUp 40 row 2", "OnMouseUp row 7",
                             "OnDblClick row 7", "OnMouseUp row 7"}));
    EXPECT_TRUE(Browser.ColorAsked.empty());
}

TEST(ViewerLifetime, DestroyingTheViewerLeavesItsBrowserAlone) {
    TCallLog Log;
    TStringGrid RowSource; // the stand-in logs rows from a grid that outlives the viewer
    TRecordingBrowser Browser(Log, RowSource);
    auto Viewer = std::make_unique<TViewer>();
    Viewer->Browser = &Browser;
    Viewer.reset();
    Browser.SyncSelection(); // still whole; the sanitizer build would catch a freed one
    EXPECT_EQ(Log.size(), 1u);
}

TEST(ViewerCommand, OnCommandSeesEveryCommandAfterTheGridsOwnHandlingAndMaySetTheResult) {
    TViewer Viewer;
    std::vector<TMessage> Seen;
    Viewer.OnCommand = [&](TMessage& Message) {
        Seen.push_back(Message);
        Message.Result = 5;
    };
    TMessage Command{WM_COMMAND, 0x03000009, 4321, 77};
    Viewer.Perform(Command);
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].Result, 0) << "the grid's own handling had already set the result";
    EXPECT_EQ(Seen[0].WParam, 0x03000009);
    EXPECT_EQ(Seen[0].LParam, 4321);
    EXPECT_EQ(Command.Result, 5);

    EXPECT_EQ(Viewer.Perform(WM_COMMAND, 0, 0), 5);
    EXPECT_EQ(Viewer.Perform(0x0100, 0, 0), 0) << "other messages do not reach OnCommand";
    EXPECT_EQ(Seen.size(), 2u);

    Viewer.OnCommand = nullptr;
    EXPECT_EQ(Viewer.Perform(WM_COMMAND, 1, 2), 0);
}

} // namespace
