// Ending the run from outside (what the program does on SIGTERM): open dialogs close as
// Cancel, later ones do not open, and message boxes are no longer shown.
#include "GuiTest.h"
#include "TestWnd.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(Terminate, ClosesNestedDialogsAsCancelAndKeepsLaterOnesShut) {
    TModalWatchdog Watchdog;
    TTestWnd Outer;
    TTestWnd Inner(&Outer);
    int InnerResult = -1;
    std::vector<int> OuterCloses;
    Outer.OnClose = [&](int Result, TCloseAction& Action) {
        OuterCloses.push_back(Result);
        if (Result == mrOk)
            Action = caNone; // refusals must not keep the program alive
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
