#include "ui/UserMng.h"

#include "store/User.h"
#include "store/UserFacts.h"
#include "store/UserRules.h"
#include "toolkit/Application.h"
#include "toolkit/Cp1250Validator.h"
#include "toolkit/MessageBox.h"
#include "toolkit/MulDiv.h"
#include "toolkit/Screen.h"
#include "ui/AddUser.h"
#include "ui/RightsHint.h"
#include "ui_UserMng.h"
#include "viewer/Viewer.h"

namespace {

#include "ui/images/add.xpm"
#include "ui/images/close.xpm"
#include "ui/images/delete.xpm"
#include "ui/images/edit.xpm"
#include "ui/images/help.xpm"

// The form is described by its outer size, 492 wide, of which the window frame takes 8.
constexpr int FrameWidth = 492 - 484;

// The column widths the form description gives as "31,167,277".
void ApplyColWidths(TViewer& Grid) {
    const QStringList Widths = Grid.property("colWidths").toString().split(QLatin1Char(','));
    for (int Col = 0; Col < Widths.size(); ++Col)
        Grid.SetColWidths(Col, Widths[Col].trimmed().toInt());
}

} // namespace

TMainForm::TMainForm(QWidget* Owner)
    : TForm(Owner), FUi(std::make_unique<Ui::MainForm>()), FStore(*Users) {
    FUi->setupUi(this);
    ApplyColWidths(*FUi->Viewer);
    SetUpButtons();
    SetUpKeys();
    Loaded();
}

TMainForm::~TMainForm() = default;

TViewer* TMainForm::Viewer() const {
    return FUi->Viewer;
}

void TMainForm::SetUpButtons() {
    const struct {
        TSpeedButton* Button;
        const char* const* Picture;
        void (TMainForm::*Handler)();
    } Buttons[] = {
        {FUi->Add, add_xpm, &TMainForm::AddClick},
        {FUi->Delete, delete_xpm, &TMainForm::DeleteClick},
        {FUi->Edit, edit_xpm, &TMainForm::EditClick},
        {FUi->HelpBtn, help_xpm, &TMainForm::HelpBtnClick},
        {FUi->CloseBtn, close_xpm, &TMainForm::CloseBtnClick},
    };
    for (const auto& B : Buttons) {
        B.Button->SetGlyph(QImage(B.Picture), 2);
        connect(B.Button, &QAbstractButton::clicked, this, B.Handler);
    }
}

// The buttons take no focus, so the keyboard reaches them through the grid, the one control
// with focus: Ins, Del and Enter, which the grid hands on once per press; a double click on a
// row edits it.
void TMainForm::SetUpKeys() {
    FUi->Viewer->OnKeyDown = [this](QObject*, uint16_t& Key, TShiftState Shift) {
        ViewerKeyDown(Key, Shift);
    };
    FUi->Viewer->OnDblClick = [this](QObject*) { ViewerDblClick(); };
    FUi->Viewer->OnKeyPress = [this](QObject*, QString& Text) { ViewerKeyPress(Text); };
    FUi->Viewer->OnCellHint = [this](QObject*, int ACol, int ARow) {
        return ViewerCellHint(ACol, ARow);
    };
}

void TMainForm::ViewerKeyDown(uint16_t& Key, TShiftState Shift) {
    if (!(Shift * TShiftState{ssShift, ssAlt, ssCtrl}).Empty())
        return;
    void (TMainForm::*Handler)() = nullptr;
    switch (Key) {
    case VK_INSERT:
        Handler = &TMainForm::AddClick;
        break;
    case VK_DELETE:
        Handler = &TMainForm::DeleteClick;
        break;
    case VK_RETURN:
        Handler = &TMainForm::EditClick;
        break;
    default:
        return;
    }
    Key = 0; // used: it goes on neither to the grid nor to the window
    (this->*Handler)();
}

// Only a double-click on a user's row edits: on the header or below the last row the current
// row is some other user's.
void TMainForm::ViewerDblClick() {
    const QPoint At = FUi->Viewer->MousePoint();
    int Col = 0;
    int Row = 0;
    if (FUi->Viewer->MouseToCell(At.x(), At.y(), Col, Row) && Row >= FUi->Viewer->FixedRows())
        EditClick();
}

// Row r shows user r - 1, whose logon name is in column 1.
void TMainForm::ViewerKeyPress(QString& Text) {
    TViewer& Grid = *FUi->Viewer;
    const std::optional<int> Found =
        FTypeAhead.Find(Text, Grid.Row() - 1, FStore.Count(),
                        [&Grid](int Index) { return Grid.Cells(1, Index + 1); });
    if (!Found)
        return;
    Text.clear();
    if (*Found >= 0)
        Grid.SetRow(*Found + 1);
}

QString TMainForm::ViewerCellHint(int ACol, int ARow) const {
    if (ACol != 2 || ARow < 1 || ARow > FStore.Count() || FUi->Viewer->TextFits(ACol, ARow))
        return {};
    return RightsHint(FStore.Items(ARow - 1)->Rec.Rights);
}

void TMainForm::FormCreate() {
    const int OuterWidth = width() + FrameWidth;
    resize(MulDiv(OuterWidth, Screen.PixelsPerInch(), FUi->Viewer->PixelsPerInch) - FrameWidth,
           height());
    FUi->Viewer->SetCells(0, 0, QString());
    FUi->Viewer->SetCells(1, 0, QStringLiteral("Nazwa użytkownika"));
    FUi->Viewer->SetCells(2, 0, QStringLiteral("Prawa"));
    RefreshList();
}

void TMainForm::RefreshList() {
    FUi->Viewer->SetRowCount(FStore.Count() + 1);
    for (int I = 0; I < FStore.Count(); ++I)
        SetUserRow(I + 1, *FStore.Items(I));
}

void TMainForm::SetUserRow(int Row, const TUserC& User) {
    FUi->Viewer->SetCells(0, Row, QString::fromLatin1(UserFlags(User)));
    FUi->Viewer->SetCells(1, Row, FromCp1250(User.Rec.UserName.View()));
    FUi->Viewer->SetCells(2, Row, QString::fromLatin1(User.RightsText()));
}

void TMainForm::AddClick() {
    // LastId + 1, without looking at the Ids the users have.
    const std::optional<uint16_t> Id = NewUserId(FStore);
    if (!Id) {
        Application.MessageBox(QString::fromUtf8(NoMoreUsersText), QString(), MB_ICONERROR | MB_OK);
        return;
    }
    std::unique_ptr<TUserC> User = MakeNewUser(*Id);

    TAddUserWnd Editor(this, *User, FStore);
    if (Editor.ShowModal() != mrOk)
        return;
    // The list holds the user only once Add has returned: when it throws (no memory to grow),
    // the user is freed here and LastId stays, so that nothing of the Add remains.
    FStore.Add(User.get());
    User.release();
    FStore.Header.LastId = *Id;
    RefreshList();
}

void TMainForm::DeleteClick() {
    const int Row = FUi->Viewer->Row();
    // The administrator, in row 1, is never deleted.
    if (Row <= 1 || Row > FStore.Count())
        return;
    FStore.DeleteAndFree(Row - 1);
    RefreshList();
}

void TMainForm::EditClick() {
    const int Row = FUi->Viewer->Row();
    if (Row < 1 || Row > FStore.Count())
        return;
    TAddUserWnd Editor(this, *FStore.Items(Row - 1), FStore);
    Editor.setWindowTitle(QStringLiteral("Modyfikuj opis lub prawa użytkownika"));
    if (Editor.ShowModal() == mrOk)
        RefreshList();
}

void TMainForm::HelpBtnClick() {
    Application.HelpContext(1);
}

void TMainForm::CloseBtnClick() {
    Close();
}
