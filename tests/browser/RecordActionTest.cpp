// Opening, inserting, deleting and editing the selected record through keys and the mouse,
// the ReadOnly and CanDelete switches, and a record that vanished from under its row.
#include "BrowserFixture.h"

#include "toolkit/MessageBox.h"

#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

class RecordAction : public BrowserTest {
protected:
    // Rec 10 .. Rec 120: a full page and two more.
    void Start(bool ReadOnly = false, bool CanDelete = true) {
        FillByTens(Table, 12);
        Attach(Table, ReadOnly, CanDelete);
        Browser->OnOpen = [this](int64_t Key) { Log.push_back(Named("open ", Key)); };
        Browser->OnDelete = [this](int64_t Key) {
            Log.push_back(Named("delete ", Key));
            Table.Erase(Key);
        };
        Browser->OnEdit = [this](int64_t Key) {
            Log.push_back(Named("edit ", Key));
            Table.Lookup(Key)->Texts[0] = "Edited";
            return EditChanges;
        };
        Browser->OnInsert = [this](bool& Again) -> std::optional<int64_t> {
            if (ToInsert.empty())
                return std::nullopt;
            const int64_t Key = ToInsert.front();
            ToInsert.erase(ToInsert.begin());
            Log.push_back(Named("insert ", Key));
            Table.Insert({Key, {Named("New ", Key)}, {}});
            Again = !ToInsert.empty();
            return Key;
        };
    }
    int Fills() const {
        return static_cast<int>(
            std::count(Browser->Events.begin(), Browser->Events.end(), "begin"));
    }

    TRecordVector Table;
    std::vector<std::string> Log;
    std::vector<int64_t> ToInsert;
    bool EditChanges = true;
};

TEST_F(RecordAction, SpaceAndDoubleClickOpenTheSelectedRecordWithoutRefilling) {
    Start();
    Click(3);
    Key(Qt::Key_Space);
    DoubleClick(5);
    EXPECT_EQ(Log, (std::vector<std::string>{"open 30", "open 50"}));
    EXPECT_EQ(Fills(), 0);
}

TEST_F(RecordAction, ReadOnlyStopsEnterInsertAndDeleteButNotOpening) {
    Start(true, true);
    ToInsert = {5};
    Click(2);
    for (Qt::Key Stopped : {Qt::Key_Return, Qt::Key_Insert, Qt::Key_Delete})
        Key(Stopped);
    Key(Qt::Key_Space);
    DoubleClick(4);
    EXPECT_EQ(Log, (std::vector<std::string>{"open 20", "open 40"}));
    EXPECT_EQ(Fills(), 0);

    Browser->ReadOnly = false;
    Browser->CanDelete = false;
    for (Qt::Key Pressed : {Qt::Key_Delete, Qt::Key_Return, Qt::Key_Insert})
        Key(Pressed);
    EXPECT_EQ(Log, (std::vector<std::string>{"open 20", "open 40", "edit 40", "insert 5"}))
        << "without CanDelete only Delete is stopped";
}

TEST_F(RecordAction, DeleteRefillsThePageAndKeepsTheSelectionOnARecord) {
    Start();
    Click(3);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Log, std::vector<std::string>{"delete 30"});
    EXPECT_EQ(Text(0, 3), "Rec 40");
    EXPECT_EQ(Text(0, 10), "Rec 110");
    EXPECT_EQ(SelectedRow(), 3);

    Key(Qt::Key_PageDown, Qt::ControlModifier); // Rec 30 is gone: Rec 20 .. Rec 120
    ASSERT_EQ(Text(0, 1), "Rec 20");
    Click(10);
    for (int I = 0; I < 9; ++I)
        Table.Erase(10 * (I + 2)); // leave Rec 10, Rec 110, Rec 120 behind the last rows
    Browser->DeleteSelected();     // directly: no key-up follows to bring the selection back
    EXPECT_EQ(Log.back(), "delete 120");
    EXPECT_EQ(Text(0, 1), "Rec 110") << "the top moved to the remaining record";
    EXPECT_EQ(Browser->LastRow, 1);
    EXPECT_EQ(SelectedRow(), 1) << "pulled back onto the last record";

    Key(Qt::Key_Delete); // the top record, with nothing after it
    EXPECT_EQ(Log.back(), "delete 110");
    EXPECT_EQ(Text(0, 1), "Rec 10") << "the record before takes the top";
    EXPECT_EQ(Browser->LastRow, 1);
}

TEST_F(RecordAction, AnEditThatChangesTheRecordPutsItAtTheTopAndSelectsIt) {
    Start();
    Click(4);
    Key(Qt::Key_Return);
    EXPECT_EQ(Log, std::vector<std::string>{"edit 40"});
    EXPECT_EQ(Text(0, 1), "Edited");
    EXPECT_EQ(Text(0, 2), "Rec 50");
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(Fills(), 1);
}

TEST_F(RecordAction, AnUnchangedEditStillRefillsFromTheSameTop) {
    Start();
    EditChanges = false;
    Click(4);
    Key(Qt::Key_Return);
    EXPECT_EQ(Text(0, 1), "Rec 10");
    EXPECT_EQ(Text(0, 4), "Edited") << "refilled, so the record's new text shows";
    EXPECT_EQ(SelectedRow(), 4);
    EXPECT_EQ(Fills(), 1);
}

TEST_F(RecordAction, InsertRepeatsWhileAskedAndShowsTheLastNewRecordAtTheTop) {
    Start();
    ToInsert = {55, 56, 57};
    Click(6);
    Key(Qt::Key_Insert);
    EXPECT_EQ(Log, (std::vector<std::string>{"insert 55", "insert 56", "insert 57"}));
    EXPECT_EQ(Fills(), 3);
    EXPECT_EQ(Text(0, 1), "New 57");
    EXPECT_EQ(Text(0, 2), "Rec 60");
    EXPECT_EQ(SelectedRow(), 1);

    Browser->ClearLog();
    Click(3);
    Key(Qt::Key_Insert); // nothing left to insert
    EXPECT_EQ(Fills(), 1) << "the page is refilled even when nothing was inserted";
    EXPECT_EQ(Text(0, 1), "New 57");
    EXPECT_EQ(SelectedRow(), 3);
}

TEST_F(RecordAction, AHeaderRowThatTheGridLetsBeSelectedShowsNoRecordAndAsksNothing) {
    Grid.SetFixedRows(0);
    Start();
    Click(0);
    ASSERT_EQ(SelectedRow(), 0);
    Key(Qt::Key_Space); // a box would fail the test
    Key(Qt::Key_Return);
    EXPECT_TRUE(Log.empty());
}

// A failure of the source inside the grid's events would pass through Qt's event loop and end
// the program: it is shown with its text instead, and the page stays consistent.
TEST_F(RecordAction, ASourcesFailureInAnEventIsShownAndTheProgramGoesOn) {
    Start();
    Browser->OnOpen = [](int64_t) { throw 42; };
    TBoxAnswer Box(IDOK);
    DoubleClick(2);
    Browser->FailAtOffset = 1;
    Key(Qt::Key_PageDown); // the page from Rec 110 fails at its second row
    ASSERT_EQ(Box.Shown.size(), 2u);
    EXPECT_EQ(Box.Shown[0].Text, QStringLiteral("Nieznany błąd"));
    EXPECT_EQ(Box.Shown[1].Text, QStringLiteral("source failed"));
    for (const auto& Shown : Box.Shown) {
        EXPECT_EQ(Shown.Caption, QString());
        EXPECT_EQ(Shown.Flags, 16);
    }
    EXPECT_EQ(Text(0, 1), "Rec 110");
    EXPECT_EQ(Text(0, 2), "") << "emptied from the failed row on";
    EXPECT_EQ(Browser->LastRow, 1);
}

// Enter that the browser edits with must not also press the dialog's default button.
TEST(BrowserInADialog, EnterGoesToTheDefaultButtonOnlyWhenTheBrowserLeavesIt) {
    QDialog Dialog;
    auto* Ok = new QPushButton(QStringLiteral("OK"), &Dialog);
    Ok->setDefault(true);
    auto* Grid = new TViewer(&Dialog);
    Grid->SetRowCount(4);
    TRecordVector Table;
    FillByTens(Table, 3);
    auto Browser = TBrowser::Create<TMemoryBrowser>(*Grid, Table, 1, false, true);
    int Edits = 0;
    Browser->OnEdit = [&Edits](int64_t) { return ++Edits > 0; };
    QSignalSpy Pressed(Ok, &QPushButton::clicked);
    Dialog.show();
    Grid->setFocus();

    QTest::keyClick(Grid, Qt::Key_Return);
    EXPECT_EQ(Edits, 1);
    EXPECT_EQ(Pressed.count(), 0);

    Browser->ReadOnly = true;
    QTest::keyClick(Grid, Qt::Key_Return);
    EXPECT_EQ(Edits, 1);
    EXPECT_EQ(Pressed.count(), 1) << "a read-only browser leaves Enter to the window";
}

// The record behind row 3 is removed behind the browser's back; then each action on it asks
// whether to refresh the list, and only Yes refills the page at once.
TEST_F(RecordAction, AVanishedRecordAsksOnceAndOnlyYesRefillsAtOnce) {
    Start();
    const QString Question = QString::fromUtf8("Elementu nie znaleziono. Uaktualnić listę ?");
    struct TCase {
        Qt::Key Pressed;
        int Answer;
        int ExpectedFills;
        const char* Row3;
    };
    const std::vector<TCase> Cases{
        {Qt::Key_Space, IDNO, 0, "Rec 30"},   {Qt::Key_Space, IDCANCEL, 0, "Rec 30"},
        {Qt::Key_Space, IDYES, 1, "Rec 40"},  {Qt::Key_Return, IDNO, 1, "Rec 40"},
        {Qt::Key_Return, IDYES, 2, "Rec 40"}, {Qt::Key_Delete, IDCANCEL, 1, "Rec 40"},
        {Qt::Key_Delete, IDYES, 2, "Rec 40"},
    };
    Click(3);
    for (size_t I = 0; I < Cases.size(); ++I) {
        const TCase& Case = Cases[I];
        Table.Insert({30, {"Rec 30", "3"}, {}});
        Browser->FillPage();
        ASSERT_EQ(Text(0, 3), "Rec 30");
        Table.Erase(30);
        Browser->ClearLog();
        TBoxAnswer Box(Case.Answer);
        Key(Case.Pressed);
        ASSERT_EQ(Box.Shown.size(), 1u) << "case " << I;
        EXPECT_EQ(Box.Shown[0].Text, Question);
        EXPECT_EQ(Box.Shown[0].Caption, QString());
        EXPECT_EQ(Box.Shown[0].Flags, 35);
        EXPECT_EQ(Fills(), Case.ExpectedFills) << "case " << I;
        EXPECT_EQ(Text(0, 3), Case.Row3) << "case " << I;
        EXPECT_TRUE(Log.empty()) << "case " << I << ": no action on a vanished record";
    }
}

} // namespace
