#include "ui/ChngPass.h"
#include "GuiTest.h"
#include "TestUsers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

namespace {

bool SameRecord(const TUserRec& A, const TUserRec& B) {
    return std::memcmp(&A, &B, sizeof A) == 0;
}

} // namespace

class ChangePass : public testing::Test {
protected:
    TModalWatchdog Watchdog;
    TMessageBoxRecorder Boxes;
    std::unique_ptr<TUserC> User{MakeUser(7, "Łukasz", "stare", rtLogon, "lukasz.net")};

    // Shows the dialog for User with Steps run inside its loop; returns the modal result.
    int Run(bool ZortanPass, std::function<void(TChangePassWnd&)> Steps) {
        TChangePassWnd Wnd(nullptr, *User, ZortanPass);
        WhenModal([&] { Steps(Wnd); });
        return Wnd.ShowModal();
    }
    static void Enter(TChangePassWnd& Wnd, const QString& First, const QString& Second) {
        TypeText(Part<QLineEdit>(&Wnd, "FirstPass"), First);
        TypeText(Part<QLineEdit>(&Wnd, "SecondPass"), Second);
    }
};

TEST_F(ChangePass, MatchingEntriesSetTheZortanPassword) {
    const TUserRec Before = User->Rec;
    EXPECT_EQ(Run(true,
                  [](TChangePassWnd& Wnd) {
                      Enter(Wnd, QStringLiteral("nowe"), QStringLiteral("nowe"));
                      Part<QPushButton>(&Wnd, "BitBtn1")->click();
                  }),
              mrOk);
    EXPECT_EQ(User->GetPass(), "nowe");
    EXPECT_EQ(NetPassOf(*User), "");
    EXPECT_EQ(std::memcmp(User->Rec.NetPass, Before.NetPass, sizeof Before.NetPass), 0);
    EXPECT_EQ(int32_t{User->Rec.NetPassSeed}, int32_t{Before.NetPassSeed}); // copies: packed fields
    EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(ChangePass, TheNetworkFlagSetsTheNetworkPasswordOnly) {
    EXPECT_EQ(Run(false,
                  [](TChangePassWnd& Wnd) {
                      Enter(Wnd, QStringLiteral("sieć"), QStringLiteral("sieć"));
                      QTest::keyClick(Part<QLineEdit>(&Wnd, "SecondPass"), Qt::Key_Return);
                  }),
              mrOk);
    EXPECT_EQ(NetPassOf(*User), "sie\xE6"); // ć in code page 1250
    EXPECT_EQ(User->GetPass(), "stare");
}

TEST_F(ChangePass, BothFieldsEmptyGiveTheEmptyPassword) {
    EXPECT_EQ(Run(true, [](TChangePassWnd& Wnd) { Part<QPushButton>(&Wnd, "BitBtn1")->click(); }),
              mrOk);
    EXPECT_EQ(User->GetPass(), "");
}

TEST_F(ChangePass, DifferentEntriesAreRefusedAndNothingChanges) {
    const TUserRec Before = User->Rec;
    const struct {
        QString First, Second;
    } Mismatches[] = {
        {QStringLiteral("Hasło"), QStringLiteral("hasło")}, // letter case
        {QStringLiteral("abc"), QStringLiteral("abc ")},    // length
        {QStringLiteral("abc"), QString()},
    };
    for (const auto& M : Mismatches) {
        Boxes.Shown.clear();
        bool Open = false;
        int ResultAfterRefusal = -1;
        QString FirstKept, SecondKept;
        EXPECT_EQ(Run(true,
                      [&](TChangePassWnd& Wnd) {
                          Enter(Wnd, M.First, M.Second);
                          Part<QPushButton>(&Wnd, "BitBtn1")->click();
                          Open = Wnd.isVisible();
                          ResultAfterRefusal = Wnd.ModalResult();
                          FirstKept = Part<QLineEdit>(&Wnd, "FirstPass")->text();
                          SecondKept = Part<QLineEdit>(&Wnd, "SecondPass")->text();
                          Part<QPushButton>(&Wnd, "BitBtn2")->click();
                      }),
                  mrCancel);
        EXPECT_TRUE(Open);
        EXPECT_EQ(ResultAfterRefusal, mrNone);
        EXPECT_EQ(FirstKept, M.First);
        EXPECT_EQ(SecondKept, M.Second);
        ASSERT_EQ(Boxes.Shown.size(), 1u);
        EXPECT_EQ(Boxes.Shown[0].Text, QStringLiteral("Hasło zostało wprowadzone błędnie"));
        EXPECT_EQ(Boxes.Shown[0].Caption, QString());
        EXPECT_EQ(Boxes.Shown[0].Flags, 16);
    }
    EXPECT_TRUE(SameRecord(User->Rec, Before));
}

TEST_F(ChangePass, ARetypeAfterTheRefusalIsAccepted) {
    EXPECT_EQ(Run(true,
                  [](TChangePassWnd& Wnd) {
                      Enter(Wnd, QStringLiteral("jeden"), QStringLiteral("dwa"));
                      Part<QPushButton>(&Wnd, "BitBtn1")->click();
                      auto* Second = Part<QLineEdit>(&Wnd, "SecondPass");
                      Second->selectAll();
                      TypeText(Second, QStringLiteral("jeden"));
                      Part<QPushButton>(&Wnd, "BitBtn1")->click();
                  }),
              mrOk);
    EXPECT_EQ(User->GetPass(), "jeden");
    EXPECT_EQ(Boxes.Shown.size(), 1u);
}

TEST_F(ChangePass, CancelEscAndTheCloseBoxChangeNothingEvenWhenTheEntriesMatch) {
    const TUserRec Before = User->Rec;
    const std::function<void(TChangePassWnd&)> WaysOut[] = {
        [](TChangePassWnd& Wnd) { Part<QPushButton>(&Wnd, "BitBtn2")->click(); },
        [](TChangePassWnd& Wnd) {
            QTest::keyClick(Part<QLineEdit>(&Wnd, "SecondPass"), Qt::Key_Escape);
        },
        [](TChangePassWnd& Wnd) { Wnd.close(); },
    };
    for (const auto& WayOut : WaysOut)
        EXPECT_EQ(Run(true,
                      [&](TChangePassWnd& Wnd) {
                          Enter(Wnd, QStringLiteral("nowe"), QStringLiteral("nowe"));
                          WayOut(Wnd);
                      }),
                  mrCancel);
    EXPECT_TRUE(SameRecord(User->Rec, Before));
    EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(ChangePass, EachFieldTakesFifteenCharactersShownAsStars) {
    QString First, Shown;
    EXPECT_EQ(Run(true,
                  [&](TChangePassWnd& Wnd) {
                      auto* Field = Part<QLineEdit>(&Wnd, "FirstPass");
                      TypeText(Field, QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚ")); // 17
                      First = Field->text();
                      Shown = Field->displayText();
                      TypeText(Part<QLineEdit>(&Wnd, "SecondPass"), First);
                      Part<QPushButton>(&Wnd, "BitBtn1")->click();
                  }),
              mrOk);
    EXPECT_EQ(First, QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓ"));
    EXPECT_EQ(Shown, QString(15, QLatin1Char('*')));
    EXPECT_EQ(User->GetPass(), "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3");
}

TEST_F(ChangePass, CaptionNamesTheUserOfThePasswordKind) {
    EXPECT_EQ(TChangePassWnd(nullptr, *User, true).windowTitle(),
              QStringLiteral("Zmień hasło użytkownika: Łukasz"));
    EXPECT_EQ(TChangePassWnd(nullptr, *User, false).windowTitle(),
              QStringLiteral("Zmień hasło użytkownika: lukasz.net"));
    std::unique_ptr<TUserC> NoNetName{MakeUser(8, "ewa", "", rtLogon)};
    EXPECT_EQ(TChangePassWnd(nullptr, *NoNetName, false).windowTitle(),
              QStringLiteral("Zmień hasło użytkownika: "));
    std::unique_ptr<TUserC> LongName{MakeUser(9, "piętnaścieznaków", "", rtLogon)};
    EXPECT_EQ(TChangePassWnd(nullptr, *LongName, true).windowTitle(),
              QStringLiteral("Zmień hasło użytkownika: piętnaścieznakó"))
        << "the record holds at most 15 characters";
}

TEST_F(ChangePass, FormDescription) {
    TChangePassWnd Wnd(nullptr, *User, true);
    EXPECT_EQ(Wnd.objectName(), QStringLiteral("ChangePassWnd"));
    EXPECT_EQ(Wnd.HelpContext(), 0);
    EXPECT_EQ(Wnd.size(), QSize(310, 135));
    EXPECT_EQ(Wnd.minimumSize(), Wnd.maximumSize());
    EXPECT_EQ(Part<QLabel>(&Wnd, "Label1")->text(), QStringLiteral("Wprowadź nowe hasło:"));
    EXPECT_EQ(Part<QLabel>(&Wnd, "Label2")->text(), QStringLiteral("Powtórz nowe hasło:"));
    for (const char* Name : {"FirstPass", "SecondPass"}) {
        EXPECT_EQ(Part<QLineEdit>(&Wnd, Name)->maxLength(), 15) << Name;
        EXPECT_EQ(Part<QLineEdit>(&Wnd, Name)->echoMode(), QLineEdit::Password) << Name;
    }
    EXPECT_EQ(Part<QPushButton>(&Wnd, "BitBtn1")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(Part<QPushButton>(&Wnd, "BitBtn1")->isDefault());
    EXPECT_EQ(Part<QPushButton>(&Wnd, "BitBtn2")->text(), QStringLiteral("Anuluj"));

    QWidget* W = Part<QWidget>(&Wnd, "FirstPass");
    for (const char* Next : {"SecondPass", "BitBtn1", "BitBtn2", "FirstPass"}) {
        W = W->nextInFocusChain();
        while (W->focusPolicy() == Qt::NoFocus)
            W = W->nextInFocusChain();
        EXPECT_EQ(W->objectName().toStdString(), Next);
    }
}
