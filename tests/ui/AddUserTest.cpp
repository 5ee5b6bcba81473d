#include "ui/AddUser.h"
#include "GlobalUsers.h"
#include "GuiTest.h"
#include "PackedValue.h"
#include "TestUsers.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/RadioGroup.h"
#include "ui/ChngPass.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

bool SameRecord(const TUserRec& A, const TUserRec& B) {
    return std::memcmp(&A, &B, sizeof A) == 0;
}

// A list's items as (label, bit) pairs.
using TItems = std::vector<std::pair<QString, uint32_t>>;
TItems ItemsOf(const TListBox* List) {
    TItems Items;
    for (int I = 0; I < List->Count(); ++I)
        Items.emplace_back(List->item(I)->text(), List->ItemData(I));
    return Items;
}
std::vector<const QListWidgetItem*> ItemObjects(const TListBox* List) {
    std::vector<const QListWidgetItem*> Objects;
    for (int I = 0; I < List->Count(); ++I)
        Objects.push_back(List->item(I));
    return Objects;
}

// The groups as the editor must show them, label by label.
const TItems Parcels = {{"Modyfikacji", 0x100},
                        {"Importu", 0x200},
                        {"Eksportu", 0x400},
                        {QStringLiteral("Wydruków"), 0x800},
                        {"Specjalne", 0x1000}};
const TItems Layers = {{"Modyfikacji", 0x10000}, {"Importu", 0x20000}, {"Eksportu", 0x40000}};
const TItems Objects = {
    {"Modyfikacji", 0x1000000}, {"Importu", 0x2000000}, {"Eksportu", 0x4000000}};
const TItems Others = {{"Logowanie", 0x1},
                       {QStringLiteral("Robienie wyrysów"), 0x2},
                       {QStringLiteral("Używanie filtrów"), 0x4}};

} // namespace

class Editor : public testing::Test {
protected:
    TModalWatchdog Watchdog;
    TMessageBoxRecorder Boxes;
    TGlobalUsers Store{{MakeUser(100, "admin", "tajne", rtLogon | rtExtracts),
                        MakeUser(101, "jan", "j", rtLogon), MakeUser(102, "ewa", "", 0)},
                       102};
    TUserC& Admin = *Users->Items(0);
    TUserC& Jan = *Users->Items(1);
    TUserC& Ewa = *Users->Items(2);

    // Shows the editor for User with Steps run inside its loop; returns the modal result.
    static int Run(TUserC& User, const std::function<void(TAddUserWnd&)>& Steps) {
        TAddUserWnd Wnd(nullptr, User, *Users);
        WhenModal([&] { Steps(Wnd); });
        return Wnd.ShowModal();
    }

    static TListBox* UserRights(const TAddUserWnd& W) { return Part<TListBox>(&W, "UserRights"); }
    static TListBox* AllRights(const TAddUserWnd& W) { return Part<TListBox>(&W, "AllRights"); }
    static void Press(const TAddUserWnd& W, const char* Button) {
        QTest::mouseClick(Part<QPushButton>(&W, Button), Qt::LeftButton);
    }
    static void PickGroup(const TAddUserWnd& W, int Index) {
        QRadioButton* Radio = Part<TRadioGroup>(&W, "RightsKind")->Button(Index);
        QTest::mouseClick(Radio, Qt::LeftButton, {}, QPoint(8, Radio->height() / 2));
    }
    static void Select(TListBox* List, int Row) {
        QTest::mouseClick(List->viewport(), Qt::LeftButton, {},
                          List->visualItemRect(List->item(Row)).center());
    }
    static void Retype(const TAddUserWnd& W, const char* Field, const QString& Text) {
        auto* Edit = Part<QLineEdit>(&W, Field);
        Edit->setFocus();
        Edit->selectAll();
        if (Text.isEmpty())
            QTest::keyClick(Edit, Qt::Key_Delete);
        else
            TypeText(Edit, Text);
    }
};

TEST_F(Editor, FormDescription) {
    TAddUserWnd Wnd(nullptr, Jan, *Users);
    EXPECT_EQ(Wnd.objectName(), QStringLiteral("AddUserWnd"));
    EXPECT_EQ(Wnd.windowTitle(), QStringLiteral("Dodaj nowego użykownika"));
    EXPECT_EQ(Wnd.HelpContext(), 2);
    EXPECT_EQ(Wnd.size(), QSize(470, 525));
    EXPECT_EQ(Wnd.minimumSize(), Wnd.maximumSize());
    const struct {
        const char* Name;
        QString Text;
    } Captions[] = {
        {"Label1", QStringLiteral("Użytkownik:")},
        {"Label2", QStringLiteral("Nazwa użytkownika w Zortan:")},
        {"Label3", QStringLiteral("Nazwa użytkownika sieciowego:")},
        {"Label4", QStringLiteral("Prawa użytkownika:")},
        {"Label5", QStringLiteral("Prawa użytkownika dla obiektów:")},
        {"Label6", QStringLiteral("Wszystkie prawa:")},
    };
    for (const auto& C : Captions)
        EXPECT_EQ(Part<QLabel>(&Wnd, C.Name)->text(), C.Text) << C.Name;
    const struct {
        const char* Name;
        QString Text;
    } Buttons[] = {
        {"ZortanPassword", QStringLiteral("Hasło")},
        {"NetPassword", QStringLiteral("Hasło")},
        {"ToUser", "<"},
        {"ToAll", ">"},
        {"AllToUser", "<<"},
        {"AllToAll", ">>"},
        {"BitBtn1", "OK"},
        {"BitBtn2", "Anuluj"},
        {"BitBtn3", "Pomoc"},
    };
    for (const auto& B : Buttons)
        EXPECT_EQ(Part<QPushButton>(&Wnd, B.Name)->text(), B.Text) << B.Name;
    EXPECT_TRUE(Part<QPushButton>(&Wnd, "BitBtn1")->isDefault());
    EXPECT_EQ(Part<QCheckBox>(&Wnd, "Signature")->text(),
              QStringLiteral("Dodawanie podpisu na wyrysach"));
    EXPECT_EQ(Part<QLineEdit>(&Wnd, "Name")->maxLength(), 50);
    EXPECT_EQ(Part<QLineEdit>(&Wnd, "UserName")->maxLength(), 15);
    EXPECT_EQ(Part<QLineEdit>(&Wnd, "NetUserName")->maxLength(), 15);

    auto* Kind = Part<TRadioGroup>(&Wnd, "RightsKind");
    EXPECT_EQ(Kind->title(), QStringLiteral("Lista praw dla"));
    EXPECT_EQ(Kind->Items(), QStringList({QStringLiteral("działek"), QStringLiteral("warstw"),
                                          QStringLiteral("obiektów"), QStringLiteral("inne")}));
    EXPECT_EQ(Kind->Columns(), 4);
    EXPECT_EQ(Kind->ItemIndex(), 0);
    // Four columns side by side in one row.
    for (int I = 1; I < 4; ++I) {
        EXPECT_GT(Kind->Button(I)->x(), Kind->Button(I - 1)->x());
        EXPECT_EQ(Kind->Button(I)->y(), Kind->Button(0)->y());
    }

    auto* ObjectList = Part<TCheckListBox>(&Wnd, "ObjectRights");
    ASSERT_EQ(ObjectList->Count(), 32);
    for (int I = 0; I < 32; ++I)
        EXPECT_EQ(ObjectList->item(I)->text(), QString::number(I + 1));
    EXPECT_EQ(ObjectList->Columns(), 8);
    EXPECT_EQ(ObjectList->ItemHeight(), 16);
    EXPECT_EQ(UserRights(Wnd)->ItemHeight(), 16);
    EXPECT_EQ(AllRights(Wnd)->ItemHeight(), 16);

    // Tab goes round in the order of the description; the radio group is one stop.
    Wnd.show();
    Wnd.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Wnd));
    Part<QWidget>(&Wnd, "Name")->setFocus();
    for (const char* Next :
         {"UserName", "NetUserName", "ZortanPassword", "NetPassword", "RightsKind", "UserRights",
          "AllRights", "ToUser", "ToAll", "AllToUser", "AllToAll", "ObjectRights", "BitBtn1",
          "BitBtn2", "BitBtn3", "Signature", "Name"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* Focus = QApplication::focusWidget();
        ASSERT_NE(Focus, nullptr);
        const QString Name = qobject_cast<QRadioButton*>(Focus)
                                 ? Focus->parentWidget()->objectName()
                                 : Focus->objectName();
        EXPECT_EQ(Name.toStdString(), Next);
    }
}

TEST_F(Editor, OpensWithTheRecordsNamesObjectsAndSignature) {
    Ewa.Rec.Name.Assign("Ewa \xA3\xB9\x6B\x61"); // "Ewa Łąka" in code page 1250
    Ewa.Rec.NetUserName.Assign("ewa.net");
    Ewa.Rec.Objects = 0x80000005;
    Ewa.AddRights(rtSignature);
    TAddUserWnd Wnd(nullptr, Ewa, *Users);
    EXPECT_EQ(Part<QLineEdit>(&Wnd, "Name")->text(), QStringLiteral("Ewa Łąka"));
    EXPECT_EQ(Part<QLineEdit>(&Wnd, "UserName")->text(), QStringLiteral("ewa"));
    EXPECT_EQ(Part<QLineEdit>(&Wnd, "NetUserName")->text(), QStringLiteral("ewa.net"));
    auto* ObjectList = Part<TCheckListBox>(&Wnd, "ObjectRights");
    for (int I = 0; I < 32; ++I)
        EXPECT_EQ(ObjectList->Checked(I), I == 0 || I == 2 || I == 31) << "item " << I + 1;
    EXPECT_TRUE(Part<QCheckBox>(&Wnd, "Signature")->isChecked());
    const TAddUserWnd Plain(nullptr, Jan, *Users);
    EXPECT_FALSE(Part<QCheckBox>(&Plain, "Signature")->isChecked());
}

TEST_F(Editor, EachGroupListsItsRightsInTableOrderSplitByWhatTheUserHolds) {
    const TItems* Groups[] = {&Parcels, &Layers, &Objects, &Others};
    // Nothing held: everything on the right. Everything held: everything on the left.
    for (const uint32_t Rights : {0u, 0x07071F07u}) {
        Ewa.Rec.Rights = Rights;
        Run(Ewa, [&](TAddUserWnd& W) {
            for (int G = 0; G < 4; ++G) {
                PickGroup(W, G);
                EXPECT_EQ(Part<TRadioGroup>(&W, "RightsKind")->ItemIndex(), G);
                const TItems Empty;
                EXPECT_EQ(ItemsOf(UserRights(W)), Rights ? *Groups[G] : Empty) << G;
                EXPECT_EQ(ItemsOf(AllRights(W)), Rights ? Empty : *Groups[G]) << G;
            }
            Press(W, "BitBtn2");
        });
    }
    // A mixed set keeps the table order on both sides.
    Ewa.Rec.Rights = rtParcelImport | rtParcelPrint;
    Run(Ewa, [&](TAddUserWnd& W) {
        EXPECT_EQ(ItemsOf(UserRights(W)), (TItems{Parcels[1], Parcels[3]}));
        EXPECT_EQ(ItemsOf(AllRights(W)), (TItems{Parcels[0], Parcels[2], Parcels[4]}));
        Press(W, "BitBtn2");
    });
}

TEST_F(Editor, SingleMovesChangeRightsAtOnceAndLeaveNothingSelected) {
    Ewa.Rec.Rights = 0x80000000; // a bit without meaning, which no move may touch
    Run(Ewa, [&](TAddUserWnd& W) {
        PickGroup(W, 1);
        Select(AllRights(W), 1); // "Importu" of the layers
        Press(W, "ToUser");
        EXPECT_EQ(Val(Ewa.Rec.Rights), 0x80000000 | rtLayerImport);
        EXPECT_EQ(ItemsOf(UserRights(W)), TItems{Layers[1]});
        EXPECT_EQ(ItemsOf(AllRights(W)), (TItems{Layers[0], Layers[2]}));
        EXPECT_EQ(UserRights(W)->ItemIndex(), -1);
        EXPECT_EQ(AllRights(W)->ItemIndex(), -1);

        Select(AllRights(W), 1); // now "Eksportu"
        Press(W, "ToUser");
        Select(UserRights(W), 0); // "Importu"
        Press(W, "ToAll");
        EXPECT_EQ(Val(Ewa.Rec.Rights), 0x80000000 | rtLayerExport);
        EXPECT_EQ(ItemsOf(UserRights(W)), TItems{Layers[2]});
        EXPECT_TRUE(UserRights(W)->selectedItems().isEmpty());
        EXPECT_TRUE(AllRights(W)->selectedItems().isEmpty());
        Press(W, "BitBtn2");
    });
}

TEST_F(Editor, SingleMovesWithoutASelectionDoNothingNotEvenARefill) {
    Ewa.Rec.Rights = rtParcelExport;
    Run(Ewa, [&](TAddUserWnd& W) {
        const auto LeftBefore = ItemObjects(UserRights(W));
        const auto RightBefore = ItemObjects(AllRights(W));
        // The left list's selection does not serve "<", nor the right one's ">".
        Select(UserRights(W), 0);
        Press(W, "ToUser");
        UserRights(W)->clearSelection();
        Select(AllRights(W), 0);
        Press(W, "ToAll");
        AllRights(W)->clearSelection();
        EXPECT_EQ(Val(Ewa.Rec.Rights), rtParcelExport);
        EXPECT_EQ(ItemObjects(UserRights(W)), LeftBefore);
        EXPECT_EQ(ItemObjects(AllRights(W)), RightBefore);
        Press(W, "BitBtn2");
    });
}

TEST_F(Editor, GroupMovesGrantAndRevokeExactlyTheSelectedGroup) {
    Ewa.Rec.Rights = rtParcelModify | 0x00800000;
    Run(Ewa, [&](TAddUserWnd& W) {
        PickGroup(W, 3);
        Press(W, "AllToUser");
        EXPECT_EQ(Val(Ewa.Rec.Rights),
                  rtParcelModify | 0x00800000 | rtLogon | rtExtracts | rtFilters);
        EXPECT_FALSE(Ewa.HasRight(rtSignature)) << "the signature follows its check box only";
        EXPECT_EQ(ItemsOf(UserRights(W)), Others);
        EXPECT_TRUE(ItemsOf(AllRights(W)).empty());
        PickGroup(W, 0);
        Press(W, "AllToAll");
        EXPECT_EQ(Val(Ewa.Rec.Rights), 0x00800000 | rtLogon | rtExtracts | rtFilters);
        EXPECT_EQ(ItemsOf(AllRights(W)), Parcels);
        PickGroup(W, 3);
        Select(UserRights(W), 1);
        Press(W, "AllToAll"); // the whole group, whatever is selected
        EXPECT_EQ(Val(Ewa.Rec.Rights), 0x00800000u);
        EXPECT_EQ(UserRights(W)->ItemIndex(), -1);
        EXPECT_EQ(AllRights(W)->ItemIndex(), -1);
        Press(W, "BitBtn2");
    });
}

TEST_F(Editor, OkWritesNamesObjectsAndSignatureIntoTheRecord) {
    const TUserRec Before = Ewa.Rec;
    EXPECT_EQ(Run(Ewa,
                  [&](TAddUserWnd& W) {
                      Retype(W, "Name", QStringLiteral("Żaneta Źdźbło"));
                      Retype(W, "UserName", QStringLiteral("zaneta"));
                      Retype(W, "NetUserName", QStringLiteral("zaneta.ź"));
                      auto* ObjectList = Part<TCheckListBox>(&W, "ObjectRights");
                      for (const int Row : {0, 31}) {
                          Select(ObjectList, Row);
                          QTest::keyClick(ObjectList, Qt::Key_Space);
                      }
                      QTest::mouseClick(Part<QCheckBox>(&W, "Signature"), Qt::LeftButton);
                      // Nothing reaches the record before OK.
                      EXPECT_TRUE(SameRecord(Ewa.Rec, Before));
                      Press(W, "BitBtn1");
                  }),
              mrOk);
    EXPECT_EQ(Ewa.Rec.Name.Str(), "\xAF"
                                  "aneta "
                                  "\x8F"
                                  "d"
                                  "\x9F"
                                  "b"
                                  "\xB3"
                                  "o");
    EXPECT_EQ(Ewa.Rec.UserName.Str(), "zaneta");
    EXPECT_EQ(Ewa.Rec.NetUserName.Str(), "zaneta.\x9F");
    EXPECT_EQ(Val(Ewa.Rec.Objects), 0x80000001u);
    EXPECT_EQ(Val(Ewa.Rec.Rights), rtSignature);
    EXPECT_EQ(Val(Ewa.Rec.Id), Val(Before.Id));
    EXPECT_EQ(std::memcmp(Ewa.Rec.Pass, Before.Pass, sizeof Before.Pass), 0);
    EXPECT_TRUE(Boxes.Shown.empty());

    // And back: every object cleared, the signature taken away; Enter in a field means OK.
    EXPECT_EQ(Run(Ewa,
                  [&](TAddUserWnd& W) {
                      auto* ObjectList = Part<TCheckListBox>(&W, "ObjectRights");
                      for (const int Row : {0, 31}) {
                          Select(ObjectList, Row);
                          QTest::keyClick(ObjectList, Qt::Key_Space);
                      }
                      QTest::mouseClick(Part<QCheckBox>(&W, "Signature"), Qt::LeftButton);
                      QTest::keyClick(Part<QLineEdit>(&W, "Name"), Qt::Key_Return);
                  }),
              mrOk);
    EXPECT_EQ(Val(Ewa.Rec.Objects), 0u);
    EXPECT_EQ(Val(Ewa.Rec.Rights), 0u);
}

TEST_F(Editor, FieldsHoldNoMoreThanTheRecordStores) {
    EXPECT_EQ(Run(Ewa,
                  [&](TAddUserWnd& W) {
                      Retype(W, "Name", QString(60, QChar(u'ą')));
                      Retype(W, "UserName", QStringLiteral("abcdefghijklmnopqrst"));
                      Retype(W, "NetUserName", QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
                      Press(W, "BitBtn1");
                  }),
              mrOk);
    EXPECT_EQ(Ewa.Rec.Name.Str(), std::string(50, '\xB9'));
    EXPECT_EQ(Ewa.Rec.UserName.Str(), "abcdefghijklmno");
    EXPECT_EQ(Ewa.Rec.NetUserName.Str(), "ABCDEFGHIJKLMNO");
}

TEST_F(Editor, AnUntouchedNameKeepsBytesAFieldCannotShow) {
    Ewa.Rec.Name.Assign(std::string_view("a\x98"
                                         "b\x01",
                                         4)); // undefined in 1250; control
    Run(Ewa, [&](TAddUserWnd& W) { Press(W, "BitBtn1"); });
    EXPECT_EQ(Ewa.Rec.Name.Str(), std::string("a\x98"
                                              "b\x01",
                                              4));
}

TEST_F(Editor, ThreeRefusalsInOrderKeepTheDialogOpenAndWriteNothing) {
    const QString NoName = QStringLiteral("Nie podano nazwy użytkownika w Zortan");
    const QString NeedsLogon = QStringLiteral("Ten użytkownik musi posiadać prawo logowania");
    const QString NameTaken =
        QStringLiteral("Użytkownik o tej nazwie z prawem logowania już istnieje");
    struct TCase {
        TUserC* User;
        uint32_t Rights;
        QString Name;
        QString Expected;
    };
    const TCase Cases[] = {
        {&Ewa, 0, QString(), NoName},   // even without the logon right
        {&Admin, 0, QString(), NoName}, // the empty name is checked first
        {&Admin, rtExtracts, "admin", NeedsLogon},
        {&Ewa, rtLogon, "jan", NameTaken}, // another user with the logon right
        {&Admin, rtLogon, "jan", NameTaken},
    };
    for (const TCase& C : Cases) {
        Boxes.Shown.clear();
        C.User->Rec.Rights = C.Rights;
        const TUserRec Before = C.User->Rec;
        bool Open = false;
        int ResultAfterRefusal = -1;
        EXPECT_EQ(Run(*C.User,
                      [&](TAddUserWnd& W) {
                          Retype(W, "Name", QStringLiteral("Nowe nazwisko"));
                          Retype(W, "UserName", C.Name);
                          Select(Part<TCheckListBox>(&W, "ObjectRights"), 4);
                          QTest::keyClick(Part<TCheckListBox>(&W, "ObjectRights"), Qt::Key_Space);
                          QTest::mouseClick(Part<QCheckBox>(&W, "Signature"), Qt::LeftButton);
                          Press(W, "BitBtn1");
                          Open = W.isVisible();
                          ResultAfterRefusal = W.ModalResult();
                          EXPECT_TRUE(SameRecord(C.User->Rec, Before)) << "nothing written";
                          EXPECT_EQ(Part<QLineEdit>(&W, "Name")->text(), "Nowe nazwisko");
                          Press(W, "BitBtn2");
                      }),
                  mrCancel)
            << C.Expected.toStdString();
        EXPECT_TRUE(Open);
        EXPECT_EQ(ResultAfterRefusal, mrNone);
        ASSERT_EQ(Boxes.Shown.size(), 1u);
        EXPECT_EQ(Boxes.Shown[0].Text, C.Expected);
        EXPECT_EQ(Boxes.Shown[0].Caption, QString());
        EXPECT_EQ(Boxes.Shown[0].Flags, 16);
    }
}

TEST_F(Editor, ARefusedOkCanBeFixedAndConfirmed) {
    Ewa.Rec.Rights = rtLogon;
    EXPECT_EQ(Run(Ewa,
                  [&](TAddUserWnd& W) {
                      Retype(W, "UserName", QStringLiteral("jan"));
                      Press(W, "BitBtn1");
                      // Take the logon right away: now the name may be shared.
                      PickGroup(W, 3);
                      Select(UserRights(W), 0);
                      Press(W, "ToAll");
                      Press(W, "BitBtn1");
                  }),
              mrOk);
    EXPECT_EQ(Boxes.Shown.size(), 1u);
    EXPECT_EQ(Ewa.Rec.UserName.Str(), "jan");
    EXPECT_EQ(Val(Ewa.Rec.Rights), 0u);
}

TEST_F(Editor, ALogonNameIsSharedOnlyWhenAtMostOneHoldsTheLogonRight) {
    const struct {
        TUserC* User;
        uint32_t Rights;
        QString Name;
        bool Accepted;
    } Cases[] = {
        {&Ewa, rtLogon, "jan", false}, // Jan holds it with the logon right
        {&Ewa, 0, "jan", true},        // she cannot log on
        {&Ewa, rtLogon, "Jan", true},  // letter case counts
        {&Ewa, rtLogon, "jan ", true}, // so does a blank
        {&Jan, rtLogon, "jan", true},  // his own name again
        {&Ewa, rtLogon, "ewa", true},
    };
    for (const auto& C : Cases) {
        Boxes.Shown.clear();
        C.User->Rec.Rights = C.Rights;
        const int Result = Run(*C.User, [&](TAddUserWnd& W) {
            Retype(W, "UserName", C.Name);
            Press(W, "BitBtn1");
            if (W.isVisible())
                Press(W, "BitBtn2");
        });
        EXPECT_EQ(Result, C.Accepted ? mrOk : mrCancel) << C.Name.toStdString();
        EXPECT_EQ(Boxes.Shown.empty(), C.Accepted) << C.Name.toStdString();
    }
    // Once Ewa holds both the name and the logon right, Jan cannot keep his.
    EXPECT_EQ(Ewa.Rec.UserName.Str(), "ewa");
    Ewa.Rec.UserName.Assign("jan");
    Ewa.Rec.Rights = rtLogon;
    EXPECT_EQ(Run(Jan,
                  [&](TAddUserWnd& W) {
                      Press(W, "BitBtn1");
                      Press(W, "BitBtn2");
                  }),
              mrCancel);
}

TEST_F(Editor, EveryOtherCloseRestoresTheWholeRecordAndTheOldPasswordsStay) {
    Jan.Rec.Reserved[5] = 0x5A; // carried through like every other byte
    const TUserRec Before = Jan.Rec;
    const std::function<void(TAddUserWnd&)> WaysOut[] = {
        [](TAddUserWnd& W) { Press(W, "BitBtn2"); },
        [](TAddUserWnd& W) { QTest::keyClick(Part<QLineEdit>(&W, "Name"), Qt::Key_Escape); },
        [](TAddUserWnd& W) { W.close(); },
    };
    for (const auto& WayOut : WaysOut) {
        EXPECT_EQ(
            Run(Jan,
                [&](TAddUserWnd& W) {
                    for (const bool Zortan : {true, false}) {
                        WhenModal([] {
                            auto* P =
                                qobject_cast<TChangePassWnd*>(QApplication::activeModalWidget());
                            ASSERT_NE(P, nullptr);
                            TypeText(Part<QLineEdit>(P, "FirstPass"), "nowe");
                            TypeText(Part<QLineEdit>(P, "SecondPass"), "nowe");
                            QTest::mouseClick(Part<QPushButton>(P, "BitBtn1"), Qt::LeftButton);
                        });
                        Press(W, Zortan ? "ZortanPassword" : "NetPassword");
                    }
                    // The password dialog changes the user at once.
                    EXPECT_EQ(Jan.GetPass(), "nowe");
                    EXPECT_EQ(NetPassOf(Jan), "nowe");
                    PickGroup(W, 2);
                    Press(W, "AllToUser");
                    PickGroup(W, 3);
                    Select(UserRights(W), 0);
                    Press(W, "ToAll");
                    EXPECT_EQ(Val(Jan.Rec.Rights), rtObjectGroup);
                    Retype(W, "UserName", QStringLiteral("inny"));
                    WayOut(W);
                }),
            mrCancel);
        EXPECT_TRUE(SameRecord(Jan.Rec, Before));
        EXPECT_EQ(Jan.GetPass(), "j");
        EXPECT_EQ(Users->Logon("jan", "j"), 101);
        EXPECT_EQ(Users->Logon("jan", "nowe"), 0);
    }
    EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(Editor, PasswordButtonsOpenTheDialogForTheirPassword) {
    Jan.Rec.NetUserName.Assign("jan.net");
    std::vector<QString> Captions;
    EXPECT_EQ(Run(Jan,
                  [&](TAddUserWnd& W) {
                      for (const char* Button : {"ZortanPassword", "NetPassword"}) {
                          WhenModal([&] {
                              QWidget* P = QApplication::activeModalWidget();
                              ASSERT_NE(qobject_cast<TChangePassWnd*>(P), nullptr);
                              EXPECT_EQ(P->parentWidget(), &W) << "owned by the editor";
                              Captions.push_back(P->windowTitle());
                              TypeText(Part<QLineEdit>(P, "FirstPass"), Button);
                              TypeText(Part<QLineEdit>(P, "SecondPass"), Button);
                              QTest::keyClick(Part<QLineEdit>(P, "SecondPass"), Qt::Key_Return);
                          });
                          Press(W, Button);
                      }
                      Press(W, "BitBtn1");
                  }),
              mrOk);
    EXPECT_EQ(Captions, (std::vector<QString>{QStringLiteral("Zmień hasło użytkownika: jan"),
                                              QStringLiteral("Zmień hasło użytkownika: jan.net")}));
    EXPECT_EQ(Jan.GetPass(), "ZortanPassword");
    EXPECT_EQ(NetPassOf(Jan), "NetPassword");
}

TEST_F(Editor, HelpOpensContextTwo) {
    // A help file without that topic names the topic asked for.
    const TTopic7HelpFile Help;
    Run(Ewa, [&](TAddUserWnd& W) {
        Press(W, "BitBtn3");
        QTest::keyClick(Part<QLineEdit>(&W, "Name"), Qt::Key_F1);
        Press(W, "BitBtn2");
    });
    ASSERT_EQ(Boxes.Shown.size(), 2u);
    for (const TShownBox& Box : Boxes.Shown)
        EXPECT_TRUE(Box.Text.endsWith(QStringLiteral(" nr 2."))) << Box.Text.toStdString();
}
