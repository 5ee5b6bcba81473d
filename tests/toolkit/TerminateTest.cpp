// Ending the run from outside (what the program does on SIGTERM): open dialogs close as
// Cancel, later ones do not open, and message boxes are no longer shown.
#include "GuiTest.h"
#include "TestWnd.h"
#include "toolkit/TerminationSignals.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <csignal>

// Termination is for good and the main form is for the whole run, so every test starts with a fresh
// application object.
class FreshApplication : public testing::Test {
protected:
    void SetUp() override {
        static char Name[] = "pelorin_toolkit_terminate_tests";
        static char* Argv[] = {Name, nullptr};
        static int Argc = 1;
        Application.Finalize();
        Application.Initialize(Argc, Argv);
        ASSERT_FALSE(Application.Terminated());
    }
};

TEST_F(FreshApplication, TerminateClosesNestedDialogsAsCancelAndKeepsLaterOnesShut) {
    TModalWatchdog Watchdog;
    TTestWnd Outer;
    TTestWnd Inner(&Outer);
    int InnerResult = -1;
    std::vector<int> OuterCloses;
    Outer.OnClose = [&](int Result, TCloseAction& Action) {
        OuterCloses.push_back(Result);
        if (Result == mrOk)
            Action = caNone;
    };
    WhenModal([&] {
        WhenModal([&] { Application.Terminate(); });
        InnerResult = Inner.ShowModal();
    });
    EXPECT_EQ(Outer.ShowModal(), mrCancel);
    EXPECT_EQ(InnerResult, mrCancel);
    EXPECT_EQ(OuterCloses, std::vector<int>{mrCancel});
    EXPECT_TRUE(Application.Terminated());

    // After the end was asked for, nothing modal opens any more (the watchdog would fail a
    // box that waited for an answer).
    EXPECT_EQ(Inner.ShowModal(), mrCancel);
    EXPECT_FALSE(Inner.isVisible());
    EXPECT_EQ(Application.MessageBox(QStringLiteral("Zapis nieudany"), QString(), 16), 1);
    EXPECT_EQ(Application.MessageBox(QStringLiteral("?"), QString(), 35), 2);
}

TEST_F(FreshApplication, TerminateHidesAFormThatRefusesToClose) {
    TModalWatchdog Watchdog;
    TTestWnd Stubborn;
    Stubborn.OnClose = [](int, TCloseAction& Action) { Action = caNone; };
    WhenModal([] { Application.Terminate(); });
    Stubborn.ShowModal();
    EXPECT_FALSE(Stubborn.isVisible());
}

TEST_F(FreshApplication, TerminateClosesTheMainFormAndRunReturns) {
    TTestWnd* Main = nullptr;
    Application.CreateForm(Main);
    ASSERT_EQ(Application.MainForm(), Main);
    TModalWatchdog Watchdog;
    WhenModal([] { Application.Terminate(); });
    Application.Run();
    EXPECT_EQ(Main->CloseCalls, 1);
    EXPECT_FALSE(Main->isVisible());
}

TEST_F(FreshApplication, SigtermWhileADialogIsOpenClosesItAsCancel) {
    TModalWatchdog Watchdog;
    TTerminationSignals Signals;
    ASSERT_TRUE(Signals.Active());
    TTestWnd Wnd;
    WhenModal([] { std::raise(SIGTERM); });
    EXPECT_EQ(Wnd.ShowModal(), mrCancel);
    EXPECT_EQ(Wnd.CloseCalls, 1);
    EXPECT_TRUE(Application.Terminated());
}

TEST_F(FreshApplication, RunEndsWhenTheMainFormCloses) {
    TTestWnd* Main = nullptr;
    Application.CreateForm(Main);
    TTestWnd* Second = nullptr;
    Application.CreateForm(Second);
    ASSERT_EQ(Application.MainForm(), Main) << "the first form created is the main form";
    TModalWatchdog Watchdog;
    bool Shown = false;
    WhenModal([&] {
        Shown = Main->isVisible();
        Main->close(); // its close box
    });
    Application.Run();
    EXPECT_TRUE(Shown);
    EXPECT_EQ(Main->CloseCalls, 1);
}
