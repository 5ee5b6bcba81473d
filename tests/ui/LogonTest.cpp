#include "ui/Logon.h"
#include "GuiTest.h"
#include "TestUsers.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

TLogonWnd* OpenLogon() {
    return qobject_cast<TLogonWnd*>(QApplication::activeModalWidget());
}

} // namespace

class Logon : public testing::Test {
protected:
    TModalWatchdog Watchdog;
    TMessageBoxRecorder Boxes;
    TUserManager Store;

    void SetUp() override {
        Store.Add(MakeUser(100, "admin", "tajne", rtLogon | rtExtracts));
        Store.Add(MakeUser(101, "Łukasz", "zażółć", rtLogon));
        Store.Add(MakeUser(102, "bezprawa", "x", rtExtracts));
        Store.Add(MakeUser(103, "pusty", "", rtLogon));
    }

    // Types into the logon dialog's fields as a person would and presses Enter.
    static void Attempt(TLogonWnd* Wnd, const QString& Name, const QString& Password) {
        auto* UserName = Part<QLineEdit>(Wnd, "UserName");
        auto* Pass = Part<QLineEdit>(Wnd, "Password");
        UserName->setFocus();
        UserName->selectAll();
        TypeText(UserName, Name);
        Pass->setFocus();
        Pass->selectAll();
        TypeText(Pass, Password);
        QTest::keyClick(Pass, Qt::Key_Return);
    }

    // ShowLogon with Steps run, one after another, inside the dialog's loop.
    uint16_t RunLogon(std::function<void(TLogonWnd*)> Steps) {
        WhenModal([Steps] {
            TLogonWnd* Wnd = OpenLogon();
            ASSERT_NE(Wnd, nullptr);
            Steps(Wnd);
        });
        return ShowLogon(Store);
    }
};

TEST_F(Logon, CorrectNameAndPasswordCloseAtOnceWithTheUsersId) {
    bool OpenAfterOk = true;
    TLogonWnd* Seen = nullptr;
    EXPECT_EQ(RunLogon([&](TLogonWnd* Wnd) {
                  Seen = Wnd;
                  Attempt(Wnd, QStringLiteral("admin"), QStringLiteral("tajne"));
                  OpenAfterOk = Wnd->isVisible();
                  if (OpenAfterOk)
                      Wnd->Close();
              }),
              100);
    EXPECT_FALSE(OpenAfterOk);
    EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(Logon, PolishLettersReachTheStoreInCodePage1250) {
    EXPECT_EQ(RunLogon([](TLogonWnd* Wnd) {
                  Attempt(Wnd, QStringLiteral("Łukasz"), QStringLiteral("zażółć"));
                  Wnd->Close();
              }),
              101);
}

TEST_F(Logon, AnEmptyPasswordPassesOnlyWhereTheStoredOneIsEmpty) {
    EXPECT_EQ(RunLogon([](TLogonWnd* Wnd) {
                  Attempt(Wnd, QStringLiteral("pusty"), QString());
                  Wnd->Close();
              }),
              103);
    EXPECT_TRUE(Boxes.Shown.empty());
    EXPECT_EQ(RunLogon([](TLogonWnd* Wnd) {
                  Attempt(Wnd, QStringLiteral("admin"), QString());
                  Wnd->Close();
              }),
              0);
    EXPECT_EQ(Boxes.Shown.size(), 1u);
}

TEST_F(Logon, EveryKindOfRefusalShowsTheSameMessageAndKeepsTheDialogOpen) {
    const struct {
        const char* Why;
        QString Name;
        QString Password;
    } Refusals[] = {
        {"wrong password", QStringLiteral("admin"), QStringLiteral("Tajne")},
        {"unknown name", QStringLiteral("nikt"), QStringLiteral("tajne")},
        {"no logon right", QStringLiteral("bezprawa"), QStringLiteral("x")},
        {"letter case", QStringLiteral("Admin"), QStringLiteral("tajne")},
        {"added blank", QStringLiteral("admin "), QStringLiteral("tajne")},
        {"leading blank", QStringLiteral(" admin"), QStringLiteral("tajne")},
        {"password with a blank", QStringLiteral("admin"), QStringLiteral("tajne ")},
        {"over 15 characters", QStringLiteral("adminadminadmin1"), QStringLiteral("tajne")},
    };
    for (const auto& R : Refusals) {
        Boxes.Shown.clear();
        bool OpenAfterRefusal = false;
        EXPECT_EQ(RunLogon([&](TLogonWnd* Wnd) {
                      Attempt(Wnd, R.Name, R.Password);
                      OpenAfterRefusal = Wnd->isVisible();
                      Part<QPushButton>(Wnd, "BitBtn2")->click();
                  }),
                  0)
            << R.Why;
        EXPECT_TRUE(OpenAfterRefusal) << R.Why;
        ASSERT_EQ(Boxes.Shown.size(), 1u) << R.Why;
        EXPECT_EQ(Boxes.Shown[0].Text, QStringLiteral("Brak dostępu"));
        EXPECT_EQ(Boxes.Shown[0].Caption, QString());
        EXPECT_EQ(Boxes.Shown[0].Flags, 16);
    }
}

TEST_F(Logon, AfterARefusalTheWholeNameIsSelectedAndFocusedThePasswordStays) {
    QString FocusAtBox;
    Boxes.OnShow = [&](const TShownBox&) {
        if (QWidget* F = OpenLogon() ? OpenLogon()->focusWidget() : nullptr)
            FocusAtBox = F->objectName();
    };
    QString Selected, PasswordKept, NameAfterTyping;
    int ResultAfterRefusal = -1;
    EXPECT_EQ(RunLogon([&](TLogonWnd* Wnd) {
                  auto* UserName = Part<QLineEdit>(Wnd, "UserName");
                  Attempt(Wnd, QStringLiteral("adm1n"), QStringLiteral("tajne"));
                  ResultAfterRefusal = Wnd->ModalResult();
                  EXPECT_EQ(Wnd->focusWidget(), UserName);
                  Selected = UserName->selectedText();
                  PasswordKept = Part<QLineEdit>(Wnd, "Password")->text();
                  TypeText(UserName, QStringLiteral("admin")); // replaces the selection
                  NameAfterTyping = UserName->text();
                  QTest::keyClick(UserName, Qt::Key_Return);
              }),
              100);
    EXPECT_EQ(FocusAtBox, QStringLiteral("UserName")) << "focus is set before the message";
    EXPECT_EQ(ResultAfterRefusal, mrNone);
    EXPECT_EQ(Selected, QStringLiteral("adm1n"));
    EXPECT_EQ(PasswordKept, QStringLiteral("tajne"));
    EXPECT_EQ(NameAfterTyping, QStringLiteral("admin"));
}

TEST_F(Logon, CancelAfterRefusalsReturnsZero) {
    for (const bool ByEsc : {true, false}) {
        EXPECT_EQ(RunLogon([&](TLogonWnd* Wnd) {
                      Attempt(Wnd, QStringLiteral("admin"), QStringLiteral("1"));
                      Attempt(Wnd, QStringLiteral("admin"), QStringLiteral("2"));
                      if (ByEsc)
                          QTest::keyClick(Part<QLineEdit>(Wnd, "Password"), Qt::Key_Escape);
                      else
                          Wnd->close(); // the close box
                  }),
                  0);
    }
    EXPECT_EQ(Boxes.Shown.size(), 4u);
}

TEST_F(Logon, CancellingWithCorrectInputStillReturnsZeroWithoutAskingTheStore) {
    EXPECT_EQ(RunLogon([](TLogonWnd* Wnd) {
                  Part<QLineEdit>(Wnd, "UserName")->setText(QStringLiteral("admin"));
                  Part<QLineEdit>(Wnd, "Password")->setText(QStringLiteral("tajne"));
                  Part<QPushButton>(Wnd, "BitBtn2")->click();
              }),
              0);
    EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(Logon, EachAttemptWritesItsIdToTheCallersVariable) {
    uint16_t Id = 999;
    TLogonWnd Wnd(nullptr, Store, &Id);
    uint16_t AfterRefusal = 1;
    WhenModal([&] {
        Attempt(&Wnd, QStringLiteral("admin"), QStringLiteral("zle"));
        AfterRefusal = Id;
        Attempt(&Wnd, QStringLiteral("Łukasz"), QStringLiteral("zażółć"));
    });
    EXPECT_EQ(Wnd.ShowModal(), mrOk);
    EXPECT_EQ(AfterRefusal, 0);
    EXPECT_EQ(Id, 101);
}

TEST_F(Logon, FormDescription) {
    uint16_t Id = 0;
    TLogonWnd Wnd(nullptr, Store, &Id);
    EXPECT_EQ(Wnd.objectName(), QStringLiteral("LogonWnd"));
    EXPECT_EQ(Wnd.windowTitle(), QStringLiteral("Logowanie"));
    EXPECT_EQ(Wnd.HelpContext(), 14);
    EXPECT_EQ(Wnd.size(), QSize(335, 136));
    EXPECT_EQ(Wnd.minimumSize(), Wnd.maximumSize()) << "dialog border: fixed size";
    EXPECT_EQ(Wnd.font().pixelSize(), 13);

    EXPECT_EQ(Part<QLabel>(&Wnd, "Label1")->text(), QStringLiteral("Nazwa użytkownika:"));
    EXPECT_EQ(Part<QLabel>(&Wnd, "Label2")->text(), QStringLiteral("Hasło:"));
    EXPECT_EQ(Part<QPushButton>(&Wnd, "BitBtn1")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(Part<QPushButton>(&Wnd, "BitBtn1")->isDefault());
    EXPECT_EQ(Part<QPushButton>(&Wnd, "BitBtn2")->text(), QStringLiteral("Anuluj"));
    auto* UserName = Part<QLineEdit>(&Wnd, "UserName");
    auto* Password = Part<QLineEdit>(&Wnd, "Password");
    EXPECT_EQ(UserName->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(Password->echoMode(), QLineEdit::Password);
    EXPECT_GE(UserName->maxLength(), 255) << "no length limit";
    EXPECT_GE(Password->maxLength(), 255) << "no length limit";
    EXPECT_TRUE(UserName->text().isEmpty());
    EXPECT_TRUE(Password->text().isEmpty());

    // Tab order: UserName, Password, OK, Cancel, and round again.
    QWidget* W = UserName;
    for (const char* Next : {"Password", "BitBtn1", "BitBtn2", "UserName"}) {
        W = W->nextInFocusChain();
        while (W->focusPolicy() == Qt::NoFocus)
            W = W->nextInFocusChain();
        EXPECT_EQ(W->objectName().toStdString(), Next);
    }
}

TEST_F(Logon, OpensWithTheFocusInTheEmptyUserName) {
    QString FocusName;
    RunLogon([&](TLogonWnd* Wnd) {
        if (QWidget* F = Wnd->focusWidget())
            FocusName = F->objectName();
        Wnd->Close();
    });
    EXPECT_EQ(FocusName, QStringLiteral("UserName"));
}

TEST_F(Logon, LongNamesCanBeTypedInFull) {
    QString Typed;
    RunLogon([&](TLogonWnd* Wnd) {
        auto* UserName = Part<QLineEdit>(Wnd, "UserName");
        TypeText(UserName, QStringLiteral("dwadzieścia znaków!!"));
        Typed = UserName->text();
        Wnd->Close();
    });
    EXPECT_EQ(Typed, QStringLiteral("dwadzieścia znaków!!"));
}
