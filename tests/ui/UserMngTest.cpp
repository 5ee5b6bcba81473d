#include "ui/UserMng.h"
#include "AuditCapture.h"
#include "FileBytes.h"
#include "GlobalUsers.h"
#include "GuiTest.h"
#include "HeldKey.h"
#include "PackedValue.h"
#include "RefFile.h"
#include "TempDir.h"
#include "TestUsers.h"
#include "toolkit/Screen.h"
#include "toolkit/SpeedButton.h"
#include "ui/AddUser.h"
#include "ui/ChngPass.h"
#include "viewer/Viewer.h"

#include <QApplication>
#include <QFrame>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <utility>

namespace {

QStringList RowCells(const TViewer* Grid, int Row) {
    return {Grid->Cells(0, Row), Grid->Cells(1, Row), Grid->Cells(2, Row)};
}

TAddUserWnd* OpenEditor() {
    return qobject_cast<TAddUserWnd*>(QApplication::activeModalWidget());
}

} // namespace

class MainWindow : public testing::Test {
protected:
    TModalWatchdog Watchdog;
    TMessageBoxRecorder Boxes;
    // The flags and rights columns of every kind: L and H, L only, H only, neither.
    TGlobalUsers Store{{MakeUser(500, "admin", "tajne", rtLogon | rtExtracts | rtLayerImport),
                        MakeUser(501, "Łukasz", "", rtLogon),
                        MakeUser(502, "bez logowania", "hasło", rtParcelModify | 0x80000000),
                        MakeUser(503, "nikt", "", 0)},
                       503};
    std::unique_ptr<TMainForm> Form;

    void SetUp() override {
        Screen.SetPixelsPerInch(120);
        Form = std::make_unique<TMainForm>(nullptr);
        Form->show();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    }
    void TearDown() override {
        Form.reset();
        Screen.SetPixelsPerInch(0);
    }

    TViewer* Grid() const { return Form->Viewer(); }
    void Press(const char* Button) const {
        QTest::mouseClick(Part<TSpeedButton>(Form.get(), Button), Qt::LeftButton);
    }
    void SelectRow(int Row) const {
        const TRect R = Grid()->CellRect(1, Row);
        ASSERT_FALSE(R.IsEmpty()) << "row " << Row << " is on screen";
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {},
                          QPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2));
        ASSERT_EQ(Grid()->Row(), Row);
    }
    // Does Action, which must open the editor, with Steps run inside the editor.
    static void InEditorOf(const std::function<void()>& Action,
                           const std::function<void(TAddUserWnd&)>& Steps) {
        bool Opened = false;
        WhenModal([&] {
            TAddUserWnd* Editor = OpenEditor();
            ASSERT_NE(Editor, nullptr);
            Opened = true;
            Steps(*Editor);
            if (Editor->isVisible())
                Editor->Close();
        });
        Action();
        QCoreApplication::processEvents(); // the step runs now when nothing was modal
        EXPECT_TRUE(Opened);
    }
    void InEditor(const char* Button, const std::function<void(TAddUserWnd&)>& Steps) const {
        InEditorOf([&] { Press(Button); }, Steps);
    }
    // Does Action and fails when a modal window opens.
    static void NoEditorOf(const std::function<void()>& Action) {
        bool Opened = false;
        WhenModal([&] {
            if (QWidget* Modal = QApplication::activeModalWidget()) {
                Opened = true;
                Modal->close();
            }
        });
        Action();
        QCoreApplication::processEvents(); // the step runs now when nothing was modal
        EXPECT_FALSE(Opened);
    }
    void NoEditor(const char* Button) const {
        NoEditorOf([&] { Press(Button); });
    }
    // A key press that a held key repeats.
    void RepeatKey(Qt::Key Key) const {
        QKeyEvent Repeated(QEvent::KeyPress, Key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(Grid(), &Repeated);
    }
    static void EditorOk(TAddUserWnd& Editor, const QString& UserName) {
        auto* Edit = Part<QLineEdit>(&Editor, "UserName");
        Edit->setFocus();
        Edit->selectAll();
        TypeText(Edit, UserName);
        QTest::mouseClick(Part<QPushButton>(&Editor, "BitBtn1"), Qt::LeftButton);
    }
};

TEST_F(MainWindow, FormDescription) {
    EXPECT_EQ(Form->objectName(), QStringLiteral("MainForm"));
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Menedżer użytkowników"));
    EXPECT_EQ(Form->HelpContext(), 1);
    EXPECT_TRUE(Form->windowFlags() & Qt::WindowMaximizeButtonHint) << "a sizeable window";
    EXPECT_EQ(Form->size(), QSize(484, 284));
    // The panel keeps to the top edge and the grid fills the rest, whatever the window's size.
    EXPECT_EQ(Part<QFrame>(Form.get(), "Panel1")->geometry(), QRect(0, 0, 484, 51));
    EXPECT_EQ(Grid()->geometry(), QRect(0, 51, 484, 233));
    Form->resize(600, 400);
    QApplication::processEvents();
    EXPECT_EQ(Part<QFrame>(Form.get(), "Panel1")->geometry(), QRect(0, 0, 600, 51));
    EXPECT_EQ(Grid()->geometry(), QRect(0, 51, 600, 349));

    const struct {
        const char* Name;
        QString Hint;
        int GlyphSize;
    } Buttons[] = {
        {"Add", QStringLiteral("Dodaj nowego użytkownika"), 16},
        {"Delete", QStringLiteral("Usuń użytkownika"), 16},
        {"Edit", QStringLiteral("Zmień opis lub prawa użytkownika"), 16},
        {"HelpBtn", QStringLiteral("Wyświetl pomoc"), 18},
        {"CloseBtn", QStringLiteral("Zakończ działanie programu"), 18},
    };
    for (const auto& B : Buttons) {
        auto* Button = Part<TSpeedButton>(Form.get(), B.Name);
        ASSERT_NE(Button, nullptr);
        EXPECT_EQ(Button->parentWidget()->objectName(), QStringLiteral("Panel1"));
        EXPECT_EQ(Button->toolTip(), B.Hint) << B.Name;
        EXPECT_TRUE(Button->text().isEmpty()) << B.Name;
        EXPECT_TRUE(Button->autoRaise()) << B.Name << " is flat";
        EXPECT_EQ(Button->focusPolicy(), Qt::NoFocus) << B.Name;
        EXPECT_EQ(Button->NumGlyphs(), 2) << B.Name;
        EXPECT_EQ(Button->iconSize(), QSize(B.GlyphSize, B.GlyphSize)) << B.Name;
        // The olive background is transparent; the picture is not.
        const QImage Normal = Button->icon().pixmap(Button->iconSize(), QIcon::Normal).toImage();
        ASSERT_EQ(Normal.size(), Button->iconSize()) << B.Name;
        EXPECT_EQ(qAlpha(Normal.pixel(0, Normal.height() - 1)), 0) << B.Name;
        int Opaque = 0;
        for (int Y = 0; Y < Normal.height(); ++Y)
            for (int X = 0; X < Normal.width(); ++X)
                Opaque += qAlpha(Normal.pixel(X, Y)) == 255;
        EXPECT_GT(Opaque, 10) << B.Name;
        const QImage Disabled =
            Button->icon().pixmap(Button->iconSize(), QIcon::Disabled).toImage();
        EXPECT_NE(Disabled, Normal) << B.Name << " has its own disabled image";
    }

    EXPECT_EQ(Grid()->ColCount(), 3);
    EXPECT_EQ(Grid()->FixedCols(), 0);
    EXPECT_EQ(Grid()->FixedRows(), 1);
    EXPECT_EQ(Grid()->OptionBits(), 0x1007u);
    EXPECT_EQ(Grid()->PixelsPerInch, 120);
    EXPECT_EQ(Grid()->RightText, 0);
    EXPECT_EQ(Grid()->CenterText, 0);
    // Laid out at the screen's resolution, so the first focus changed nothing.
    EXPECT_FALSE(Grid()->ScalePending);
    EXPECT_EQ(Grid()->ColWidths(0), 31);
    EXPECT_EQ(Grid()->ColWidths(1), 167);
    EXPECT_EQ(Grid()->ColWidths(2), 277);
    EXPECT_EQ(RowCells(Grid(), 0),
              QStringList({QString(), QStringLiteral("Nazwa użytkownika"), "Prawa"}));
    EXPECT_EQ(QApplication::focusWidget(), Grid()) << "the grid is the one control with focus";
}

TEST_F(MainWindow, WidthFollowsTheScreensResolution) {
    const struct {
        int Dpi;
        int OuterWidth;
    } Cases[] = {{96, 394}, {120, 492}, {144, 590}};
    for (const auto& C : Cases) {
        Screen.SetPixelsPerInch(C.Dpi);
        TMainForm Scaled(nullptr);
        // The frame takes 8 of the outer width.
        EXPECT_EQ(Scaled.width() + 8, C.OuterWidth) << C.Dpi;
        EXPECT_EQ(Scaled.height(), 284) << C.Dpi;
    }
}

TEST_F(MainWindow, ListsEveryUserWithFlagsNameAndRights) {
    EXPECT_EQ(Grid()->RowCount(), 5);
    EXPECT_EQ(RowCells(Grid(), 1), QStringList({"LH", "admin", "Id Wi "}));
    EXPECT_EQ(RowCells(Grid(), 2), QStringList({"L", QStringLiteral("Łukasz"), ""}));
    EXPECT_EQ(RowCells(Grid(), 3), QStringList({"H", "bez logowania", "Dm "}));
    EXPECT_EQ(RowCells(Grid(), 4), QStringList({"", "nikt", ""}));
    EXPECT_EQ(Grid()->Row(), 1) << "the window opens on the first user";
}

TEST_F(MainWindow, DeleteNeverTakesTheAdministratorAndAsksNothing) {
    NoEditor("Delete"); // row 1, as opened
    EXPECT_EQ(Users->Count(), 4);
    EXPECT_EQ(Grid()->RowCount(), 5);

    SelectRow(2);
    Press("Delete");
    EXPECT_EQ(Users->Count(), 3);
    EXPECT_EQ(Grid()->RowCount(), 4);
    EXPECT_EQ(Val(Users->Items(1)->Rec.Id), 502);
    EXPECT_EQ(RowCells(Grid(), 2), QStringList({"H", "bez logowania", "Dm "}));
    EXPECT_EQ(RowCells(Grid(), 3), QStringList({"", "nikt", ""}));

    // The last row, chosen with the keyboard, and deleted with the Del key.
    QTest::keyClick(Grid(), Qt::Key_End, Qt::ControlModifier);
    ASSERT_EQ(Grid()->Row(), 3);
    QTest::keyClick(Grid(), Qt::Key_Delete);
    EXPECT_EQ(Users->Count(), 2);
    EXPECT_EQ(Grid()->RowCount(), 3);
    EXPECT_EQ(Val(Users->Header.LastId), 503) << "deleting never lowers LastId";

    SelectRow(1);
    Press("Delete");
    EXPECT_EQ(Users->Count(), 2);
    EXPECT_EQ(Val(Users->Items(0)->Rec.Id), 500);
    EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(MainWindow, AHeldDelInsOrEnterActsOnceForItsPress) {
    SelectRow(2);
    THeldKey(Qt::Key_Delete).Hold(Grid(), 4);
    EXPECT_EQ(Users->Count(), 3);
    THeldKey(Qt::Key_Delete).Hold(Grid(), 0);
    EXPECT_EQ(Users->Count(), 2) << "the next press deletes again";
    RepeatKey(Qt::Key_Delete);
    EXPECT_EQ(Users->Count(), 2) << "nor does a repeat that Qt marked as one";

    // The repeats reach the editor that the press opened, and confirm nothing there.
    for (const Qt::Key Key : {Qt::Key_Insert, Qt::Key_Return}) {
        THeldKey Held(Key);
        bool StillOpen = false;
        InEditorOf([&] { Held.Press(Grid()); },
                   [&](TAddUserWnd& Editor) {
                       Held.Repeat(Editor.focusWidget() ? Editor.focusWidget() : &Editor, 3);
                       StillOpen = Editor.isVisible();
                   });
        EXPECT_TRUE(StillOpen) << Key;
        NoEditorOf([&] {
            Held.Repeat(Grid(), 1);
            Held.Release(Grid());
        });
    }
    EXPECT_EQ(Users->Count(), 2);
}

TEST_F(MainWindow, ADoubleClickOffTheUsersRowsOpensNoEditor) {
    SelectRow(3);
    const TRect Header = Grid()->CellRect(1, 0);
    const TRect Last = Grid()->CellRect(1, Grid()->RowCount() - 1);
    ASSERT_LT(Last.Bottom + 10, Grid()->viewport()->height());
    for (const QPoint At :
         {QPoint(Header.Left + 5, Header.Top + 5), QPoint(Last.Left + 5, Last.Bottom + 10)})
        NoEditorOf([&] { QTest::mouseDClick(Grid()->viewport(), Qt::LeftButton, {}, At); });
}

TEST_F(MainWindow, AddAppendsTheNewUserWithTheNextIdOnOk) {
    QString Caption;
    TUserRec Seen{};
    InEditor("Add", [&](TAddUserWnd& Editor) {
        Caption = Editor.windowTitle();
        EXPECT_EQ(Editor.parentWidget(), Form.get());
        EXPECT_EQ(Part<QLineEdit>(&Editor, "UserName")->text(), QString());
        EditorOk(Editor, QStringLiteral("nowy"));
    });
    EXPECT_EQ(Caption, QStringLiteral("Dodaj nowego użykownika"));
    ASSERT_EQ(Users->Count(), 5);
    const TUserC& New = *Users->Items(4);
    std::memcpy(&Seen, &New.Rec, sizeof Seen);
    EXPECT_EQ(Val(Seen.Id), 504);
    EXPECT_EQ(Val(Users->Header.LastId), 504);
    EXPECT_EQ(New.GetPass(), "");
    EXPECT_EQ(NetPassOf(New), "");
    EXPECT_EQ(Val(Seen.Rights), 0u);
    EXPECT_EQ(Val(Seen.Objects), 0u);
    EXPECT_EQ(Seen.Name.Len, 0);
    EXPECT_EQ(Seen.NetUserName.Len, 0);
    const uint8_t Zero[72] = {};
    EXPECT_EQ(std::memcmp(Seen.Reserved, Zero, sizeof Zero), 0);
    EXPECT_EQ(Grid()->RowCount(), 6);
    EXPECT_EQ(RowCells(Grid(), 5), QStringList({"", "nowy", ""}));
}

TEST_F(MainWindow, AddCancelledAddsNothingAndKeepsLastId) {
    InEditor("Add", [](TAddUserWnd& Editor) {
        EditorOk(Editor, QString()); // refused: no name
        QTest::keyClick(Part<QLineEdit>(&Editor, "Name"), Qt::Key_Escape);
    });
    EXPECT_EQ(Users->Count(), 4);
    EXPECT_EQ(Val(Users->Header.LastId), 503);
    EXPECT_EQ(Grid()->RowCount(), 5);
    // The next Add hands out the same Id.
    InEditor("Add", [](TAddUserWnd& Editor) { EditorOk(Editor, QStringLiteral("drugi")); });
    EXPECT_EQ(Val(Users->Items(4)->Rec.Id), 504);
}

TEST_F(MainWindow, TheFirstAddDrawsAStartBetween1And63000) {
    // Several runs: a start outside the range shows up in at least one of them.
    for (int Run = 0; Run < 20; ++Run) {
        Users->Header.LastId = 0;
        InEditor("Add", [](TAddUserWnd& Editor) { Editor.Close(); });
        const uint16_t Start = Users->Header.LastId;
        EXPECT_GE(Start, 1);
        EXPECT_LE(Start, 63000);
        EXPECT_EQ(Users->Count(), 4) << "cancelled";
        // The drawn start stays; an accepted Add then counts on from it.
        InEditor("Add",
                 [&](TAddUserWnd& Editor) { EditorOk(Editor, QStringLiteral("u%1").arg(Run)); });
        EXPECT_EQ(Val(Users->Header.LastId), Start + 1);
        EXPECT_EQ(Val(Users->Items(Users->Count() - 1)->Rec.Id), Start + 1);
        SelectRow(Grid()->RowCount() - 1);
        Press("Delete");
    }
}

TEST_F(MainWindow, IdsStopBelow0xFFF5) {
    Users->Header.LastId = 0xFFF4;
    InEditor("Add", [](TAddUserWnd& Editor) { EditorOk(Editor, QStringLiteral("ostatni")); });
    ASSERT_EQ(Users->Count(), 5);
    EXPECT_EQ(Val(Users->Items(4)->Rec.Id), 0xFFF5);
    EXPECT_EQ(Val(Users->Header.LastId), 0xFFF5);
    EXPECT_TRUE(Boxes.Shown.empty());

    for (int Again = 0; Again < 2; ++Again) {
        NoEditor("Add");
        EXPECT_EQ(Users->Count(), 5);
        EXPECT_EQ(Val(Users->Header.LastId), 0xFFF5);
    }
    ASSERT_EQ(Boxes.Shown.size(), 2u);
    EXPECT_EQ(Boxes.Shown[0].Text, QStringLiteral("Nie można dodawać więcej użytkowników"));
    EXPECT_EQ(Boxes.Shown[0].Caption, QString());
    EXPECT_EQ(Boxes.Shown[0].Flags, 16);
}

TEST_F(MainWindow, AddStopsWhenTheFileCouldNotCountOneMoreUser) {
    // 65,535 users is what the file's 16-bit count holds; one more could never be saved.
    for (int I = Users->Count(); I < 0xFFFF; ++I)
        Users->Add(new TUserC(Users->Items(3)->Rec));
    NoEditor("Add");
    EXPECT_EQ(Users->Count(), 0xFFFF);
    ASSERT_EQ(Boxes.Shown.size(), 1u);
    EXPECT_EQ(Boxes.Shown[0].Text, QStringLiteral("Nie można dodawać więcej użytkowników"));
}

// A store whose list cannot grow, as when memory runs out: its Add throws.
class TFullStore : public TUserManager {
protected:
    void Grow() override { throw std::bad_alloc(); }
};

// The new user is freed (the sanitizer build's leak checker sees it otherwise).
TEST_F(MainWindow, AnAddTheStoreCannotTakeLeavesNothingBehind) {
    TFullStore Full;
    Full.SetCapacity(1);
    Full.Add(MakeUser(500, "admin", "tajne", rtLogon));
    Full.Header.LastId = 500;
    TUserManager* const Global = std::exchange(Users, &Full);
    TMainForm Window(nullptr);
    InEditorOf([&] { EXPECT_THROW(Window.AddClick(), std::bad_alloc); },
               [](TAddUserWnd& Editor) { EditorOk(Editor, QStringLiteral("nowy")); });
    Users = Global;
    EXPECT_EQ(Full.Count(), 1);
    EXPECT_EQ(Val(Full.Header.LastId), 500) << "no Id was handed out";
    EXPECT_EQ(Window.Viewer()->RowCount(), 2);
}

TEST_F(MainWindow, EditShowsTheChangesOnOkAndNothingOnCancel) {
    SelectRow(4);
    QString Caption;
    InEditor("Edit", [&](TAddUserWnd& Editor) {
        Caption = Editor.windowTitle();
        EXPECT_EQ(Part<QLineEdit>(&Editor, "UserName")->text(), QStringLiteral("nikt"));
        QTest::mouseClick(Part<QPushButton>(&Editor, "AllToUser"), Qt::LeftButton);
        EditorOk(Editor, QStringLiteral("ktoś"));
    });
    EXPECT_EQ(Caption, QStringLiteral("Modyfikuj opis lub prawa użytkownika"));
    EXPECT_EQ(RowCells(Grid(), 4), QStringList({"", QStringLiteral("ktoś"), "Dm Di De Dp Ds "}));

    const TUserRec Before = Users->Items(3)->Rec;
    InEditor("Edit", [&](TAddUserWnd& Editor) {
        QTest::mouseClick(Part<QPushButton>(&Editor, "AllToAll"), Qt::LeftButton);
        auto* Edit = Part<QLineEdit>(&Editor, "UserName");
        Edit->selectAll();
        TypeText(Edit, QStringLiteral("inny"));
        QTest::mouseClick(Part<QPushButton>(&Editor, "BitBtn2"), Qt::LeftButton);
    });
    EXPECT_EQ(std::memcmp(&Users->Items(3)->Rec, &Before, sizeof Before), 0);
    EXPECT_EQ(RowCells(Grid(), 4), QStringList({"", QStringLiteral("ktoś"), "Dm Di De Dp Ds "}));
    EXPECT_EQ(Users->Count(), 4);
}

TEST_F(MainWindow, EditBeforeAnySelectionOpensTheAdministrator) {
    QString Name;
    InEditor("Edit", [&](TAddUserWnd& Editor) {
        Name = Part<QLineEdit>(&Editor, "UserName")->text();
        Editor.Close();
    });
    EXPECT_EQ(Name, QStringLiteral("admin"));
}

TEST_F(MainWindow, KeysAndDoubleClickReachTheButtonsActions) {
    QString Name;
    const auto ReadName = [&](TAddUserWnd& Editor) {
        Name = Part<QLineEdit>(&Editor, "UserName")->text();
    };
    SelectRow(2);
    InEditorOf([&] { QTest::keyClick(Grid(), Qt::Key_Return); }, ReadName);
    EXPECT_EQ(Name, QStringLiteral("Łukasz"));

    const TRect R = Grid()->CellRect(1, 3);
    const QPoint Middle((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    InEditorOf(
        [&] {
            QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, Middle);
            QTest::mouseDClick(Grid()->viewport(), Qt::LeftButton, {}, Middle);
        },
        ReadName);
    EXPECT_EQ(Name, QStringLiteral("bez logowania"));

    // Offscreen, a closed dialog hands the activation back to nobody; a window manager would.
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    InEditorOf([&] { QTest::keyClick(Grid(), Qt::Key_Insert); },
               [](TAddUserWnd& Editor) { EditorOk(Editor, QStringLiteral("z klawiatury")); });
    ASSERT_EQ(Users->Count(), 5);
    EXPECT_EQ(Grid()->Cells(1, 5), QStringLiteral("z klawiatury"));
}

TEST_F(MainWindow, HelpOpensContextOne) {
    const TTopic7HelpFile Help;
    Press("HelpBtn");
    QTest::keyClick(Grid(), Qt::Key_F1);
    ASSERT_EQ(Boxes.Shown.size(), 2u);
    for (const TShownBox& Box : Boxes.Shown)
        EXPECT_TRUE(Box.Text.endsWith(QStringLiteral(" nr 1."))) << Box.Text.toStdString();
}

TEST_F(MainWindow, CloseButtonAndCloseBoxCloseTheWindowWithoutAsking) {
    QSignalSpy Finished(Form.get(), &QDialog::finished);
    Press("CloseBtn");
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Finished.count(), 1);

    Form->show();
    Form->close(); // the close box
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Finished.count(), 2);

    // Esc is no way out of the main window.
    Form->show();
    QTest::keyClick(Grid(), Qt::Key_Escape);
    EXPECT_TRUE(Form->isVisible());
    EXPECT_TRUE(Boxes.Shown.empty());
    EXPECT_EQ(Users->Count(), 4);
}

// The administrator's session on a real file: what its save writes to the audit trail.
class AuditedSession : public MainWindow {
protected:
    TTempDir Dir;
    std::string Path = Dir / "UsrPass.dat";
    TAuditCapture Audit;

    void SetUp() override {
        ref::TFileContents File;
        File.LastId = 13;
        const char* Names[] = {"admin", "anna", "piotr", "ewa"};
        for (uint16_t Id = 10; Id <= 13; ++Id) {
            ref::TUser User;
            User.Id = Id;
            User.Rights = rtLogon;
            User.UserName = Names[Id - 10];
            User.Pass = "haslo-" + User.UserName;
            File.Users.push_back(User);
        }
        WriteBytes(Path, ref::EncodeFile(File));
        Users->Clear();
        ASSERT_EQ(Users->Open(Path, true), ueOk);
        MainWindow::SetUp();
    }
    // Sets the Zortan password in the open editor through the password dialog.
    static void SetPasswordIn(TAddUserWnd& Editor, const QString& Password) {
        WhenModal([Password] {
            auto* Dialog = qobject_cast<TChangePassWnd*>(QApplication::activeModalWidget());
            ASSERT_NE(Dialog, nullptr);
            TypeText(Part<QLineEdit>(Dialog, "FirstPass"), Password);
            TypeText(Part<QLineEdit>(Dialog, "SecondPass"), Password);
            QTest::mouseClick(Part<QPushButton>(Dialog, "BitBtn1"), Qt::LeftButton);
        });
        QTest::mouseClick(Part<QPushButton>(&Editor, "ZortanPassword"), Qt::LeftButton);
    }
};

// Which file the save keeps as the previous version is the store's own tests' business.
TEST_F(AuditedSession, SaveAuditsEachChangeWithoutAPassword) {
    InEditor("Add", [](TAddUserWnd& Editor) {
        SetPasswordIn(Editor, QStringLiteral("tajne-nowe"));
        EditorOk(Editor, QStringLiteral("nowy"));
    });
    SelectRow(2);
    InEditor("Edit", [](TAddUserWnd& Editor) {
        QTest::mouseClick(Part<QPushButton>(&Editor, "AllToUser"), Qt::LeftButton);
        EditorOk(Editor, QStringLiteral("anna"));
    });
    SelectRow(3);
    Press("Delete");
    SelectRow(3);
    InEditor("Edit", [](TAddUserWnd& Editor) {
        SetPasswordIn(Editor, QStringLiteral("tajne-ewy"));
        EditorOk(Editor, QStringLiteral("ewa"));
    });
    ASSERT_EQ(Users->Count(), 4);
    EXPECT_TRUE(Audit.Lines.empty()) << "nothing before the save";
    ASSERT_TRUE(Users->Save());

    const std::string By = "; by " + AuditActor();
    EXPECT_EQ(Audit.Lines,
              (std::vector<std::string>{
                  "user changed: id 11, name \"anna\": rights \"L\" -> \"L Dm Di De Dp Ds\"" + By,
                  "user deleted: id 12, name \"piotr\"" + By,
                  "user changed: id 13, name \"ewa\": password changed" + By,
                  "user added: id 14, name \"nowy\", full name \"\", network name \"\", rights "
                  "\"\", objects \"\", password set, no network password" +
                      By,
                  "saved \"" + Path + "\", previous version kept as \"" + Path + "-\"" + By}));
    EXPECT_TRUE(Audit.NoLineHolds("tajne"));
    EXPECT_TRUE(Audit.NoLineHolds("haslo"));
}

TEST_F(MainWindow, TypingSelectsAUserByLogonNameAndLeavesTheKeysTheirActions) {
    const auto Type = [this](int Key, const QString& Text) {
        QKeyEvent Press(QEvent::KeyPress, Key, Qt::NoModifier, Text);
        QApplication::sendEvent(Grid(), &Press);
        return Press.isAccepted();
    };
    EXPECT_TRUE(Type(Qt::Key_unknown, QStringLiteral("ł"))); // "Łukasz", whatever the case
    EXPECT_EQ(Grid()->Row(), 2);
    EXPECT_TRUE(Type(Qt::Key_U, QStringLiteral("U")));
    EXPECT_EQ(Grid()->Row(), 2);
    // The arrows, Del and Enter keep their actions in the middle of a search.
    QTest::keyClick(Grid(), Qt::Key_Down);
    EXPECT_EQ(Grid()->Row(), 3);
    QTest::keyClick(Grid(), Qt::Key_Delete);
    EXPECT_EQ(Users->Count(), 3);
    EXPECT_EQ(Grid()->Cells(1, 3), QStringLiteral("nikt"));
    QString Name;
    InEditorOf([&] { QTest::keyClick(Grid(), Qt::Key_Return); },
               [&](TAddUserWnd& Editor) { Name = Part<QLineEdit>(&Editor, "UserName")->text(); });
    EXPECT_EQ(Name, QStringLiteral("nikt"));
    EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(MainWindow, ARightsCellTooNarrowForItsCodesNamesThemInATooltip) {
    Grid()->SetColWidths(2, 30);
    const auto HintAt = [this](int Col, int Row) {
        const TRect R = Grid()->CellRect(Col, Row);
        const QPoint At(R.Left + 3, R.Top + 3);
        QHelpEvent Help(QEvent::ToolTip, At, Grid()->viewport()->mapToGlobal(At));
        QApplication::sendEvent(Grid()->viewport(), &Help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(HintAt(2, 3), QString()) << "\"Dm \" fits";
    EXPECT_EQ(HintAt(1, 1), QString()) << "only the rights column explains itself";
    EXPECT_EQ(HintAt(2, 1), QStringLiteral("Id - inne: Robienie wyrysów\nWi - warstw: Importu"));
}
