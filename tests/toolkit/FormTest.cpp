#include "GuiTest.h"
#include "TestWnd.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

QLineEdit* Field(TForm& Form) {
    return Form.findChild<QLineEdit*>(QStringLiteral("Field"));
}
QPushButton* Button(TForm& Form, const char* Name) {
    return Form.findChild<QPushButton*>(QString::fromLatin1(Name));
}

} // namespace

class FormModalResult : public testing::Test {
protected:
    TModalWatchdog Watchdog;
    TTestWnd Wnd;
    std::vector<int> ResultsSeenByFormClose;

    void SetUp() override {
        Wnd.OnClose = [this](int Result, TCloseAction&) {
            ResultsSeenByFormClose.push_back(Result);
        };
    }
    int RunWith(std::function<void()> Step) {
        WhenModal(std::move(Step));
        return Wnd.ShowModal();
    }
};

TEST_F(FormModalResult, OkButtonClosesWithOneAfterFormClose) {
    EXPECT_EQ(RunWith([this] { Button(Wnd, "OkBtn")->click(); }), mrOk);
    EXPECT_EQ(ResultsSeenByFormClose, std::vector<int>{mrOk});
    EXPECT_EQ(Wnd.ModalResult(), mrOk);
    EXPECT_FALSE(Wnd.isVisible());
}

TEST_F(FormModalResult, EveryOtherWayOutIsCancel) {
    const std::vector<std::function<void()>> WaysOut = {
        [this] { Button(Wnd, "CancelBtn")->click(); },
        [this] { QTest::keyClick(Field(Wnd), Qt::Key_Escape); },
        [this] { Wnd.close(); }, // the window's close box
        [this] { Wnd.Close(); },
    };
    for (const auto& WayOut : WaysOut) {
        ResultsSeenByFormClose.clear();
        EXPECT_EQ(RunWith(WayOut), mrCancel);
        EXPECT_EQ(ResultsSeenByFormClose, std::vector<int>{mrCancel});
    }
}

TEST_F(FormModalResult, EnterInAnEditPressesTheOkButton) {
    EXPECT_EQ(RunWith([this] {
                  Field(Wnd)->setFocus();
                  QTest::keyClick(Field(Wnd), Qt::Key_Return);
              }),
              mrOk);
    EXPECT_EQ(ResultsSeenByFormClose, std::vector<int>{mrOk});
}

TEST_F(FormModalResult, SetModalResultClosesThroughFormClose) {
    EXPECT_EQ(RunWith([this] { Wnd.SetModalResult(mrYes); }), mrYes);
    EXPECT_EQ(ResultsSeenByFormClose, std::vector<int>{mrYes});
}

TEST_F(FormModalResult, CaNoneKeepsTheFormOpenWithItsInput) {
    Wnd.OnClose = [this](int Result, TCloseAction& Action) {
        ResultsSeenByFormClose.push_back(Result);
        if (Result == mrOk)
            Action = caNone;
    };
    bool StillOpen = false;
    int ResultAfterRefusal = -1;
    QString TextAfterRefusal;
    const int Result = RunWith([&] {
        QTest::keyClicks(Field(Wnd), QStringLiteral("abc"));
        Button(Wnd, "OkBtn")->click();
        StillOpen = Wnd.isVisible();
        ResultAfterRefusal = Wnd.ModalResult();
        TextAfterRefusal = Field(Wnd)->text();
        Wnd.close(); // the close box, after the refusal
    });
    EXPECT_TRUE(StillOpen);
    EXPECT_EQ(ResultAfterRefusal, mrNone);
    EXPECT_EQ(TextAfterRefusal, QStringLiteral("abc"));
    EXPECT_EQ(Result, mrCancel);
    EXPECT_EQ(ResultsSeenByFormClose, (std::vector<int>{mrOk, mrCancel}));
}

TEST_F(FormModalResult, CaNoneOnCancelKeepsTheCloseBoxFromClosing) {
    int Refusals = 0;
    Wnd.OnClose = [&](int, TCloseAction& Action) {
        if (Refusals++ == 0)
            Action = caNone;
    };
    bool OpenAfterCloseBox = false;
    EXPECT_EQ(RunWith([&] {
                  Wnd.close();
                  OpenAfterCloseBox = Wnd.isVisible();
                  Button(Wnd, "OkBtn")->click();
              }),
              mrOk);
    EXPECT_TRUE(OpenAfterCloseBox);
}

TEST_F(FormModalResult, ShowModalStartsFromNoResult) {
    EXPECT_EQ(RunWith([this] { Button(Wnd, "OkBtn")->click(); }), mrOk);
    int ResultWhileOpen = -1;
    EXPECT_EQ(RunWith([&] {
                  ResultWhileOpen = Wnd.ModalResult();
                  Button(Wnd, "CancelBtn")->click();
              }),
              mrCancel);
    EXPECT_EQ(ResultWhileOpen, mrNone);
}

TEST(FormDescription, KindsCaptionsBorderAndFont) {
    TTestWnd Wnd;
    EXPECT_EQ(Button(Wnd, "OkBtn")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(Button(Wnd, "OkBtn")->isDefault());
    EXPECT_FALSE(Button(Wnd, "OkBtn")->icon().isNull());
    EXPECT_EQ(Button(Wnd, "CancelBtn")->text(), QStringLiteral("Anuluj"));
    EXPECT_FALSE(Button(Wnd, "CancelBtn")->isDefault());
    EXPECT_EQ(Button(Wnd, "HelpBtn")->text(), QStringLiteral("Pomoc"));
    EXPECT_EQ(Wnd.HelpContext(), 7);
    // A dialog border: the client size of the description, fixed, without min/max boxes.
    EXPECT_EQ(Wnd.minimumSize(), QSize(300, 120));
    EXPECT_EQ(Wnd.maximumSize(), QSize(300, 120));
    EXPECT_FALSE(Wnd.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(Wnd.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(Wnd.font().pixelSize(), 13);
    EXPECT_EQ(Field(Wnd)->font().pixelSize(), 13);
    EXPECT_EQ(Wnd.windowTitle(), QStringLiteral("Próba"));
}

TEST(FormKeys, EscWithoutACancelButtonDoesNotClose) {
    TModalWatchdog Watchdog;
    TForm Bare;
    bool OpenAfterEsc = false;
    WhenModal([&] {
        QTest::keyClick(&Bare, Qt::Key_Escape);
        OpenAfterEsc = Bare.isVisible();
        Bare.Close();
    });
    EXPECT_EQ(Bare.ShowModal(), mrCancel);
    EXPECT_TRUE(OpenAfterEsc);
}

TEST(FormPosition, AFormWithAnOwnerOpensCentredOnTheScreenNotOverItsOwner) {
    QWidget Owner;
    Owner.setGeometry(0, 0, 120, 80);
    Owner.show();
    TTestWnd Wnd(&Owner);
    Wnd.show();
    const QRect Screen = Wnd.screen()->availableGeometry();
    const QPoint Offset = Wnd.geometry().center() - Screen.center();
    EXPECT_LE(std::abs(Offset.x()), 1);
    EXPECT_LE(std::abs(Offset.y()), 1);
}
