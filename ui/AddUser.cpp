#include "ui/AddUser.h"

#include "store/RightCodes.h"
#include "store/User.h"
#include "store/UserRules.h"
#include "toolkit/Application.h"
#include "toolkit/Cp1250Validator.h"
#include "toolkit/MessageBox.h"
#include "ui/ChngPass.h"
#include "ui_AddUser.h"

#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr int ObjectCount = 32;

// What a name field stores: its text in code page 1250, except that an untouched field keeps
// the record's own bytes, which a field cannot always show (undefined or control characters).
std::string StoredName(const QString& Text, std::string_view Stored) {
    if (Text == FromCp1250(Stored))
        return std::string(Stored);
    return ToCp1250(Text);
}

} // namespace

TAddUserWnd::TAddUserWnd(QWidget* Owner, TUserC& User, TUserManager& Store)
    : TForm(Owner), FUi(std::make_unique<Ui::AddUserWnd>()), FUser(User), FStore(Store),
      FSaved(User.Rec) {
    FUi->setupUi(this);
    Loaded();

    FUi->Name->setText(FromCp1250(FUser.Rec.Name.View()));
    FUi->UserName->setText(FromCp1250(FUser.Rec.UserName.View()));
    FUi->NetUserName->setText(FromCp1250(FUser.Rec.NetUserName.View()));
    FillRights();
    FillObjects();
    FUi->Signature->setChecked(FUser.HasRight(rtSignature));

    FUi->RightsKind->OnClick = [this](QObject*) { RightsKindClick(); };
    connect(FUi->ToUser, &QPushButton::clicked, this, &TAddUserWnd::ToUserClick);
    connect(FUi->ToAll, &QPushButton::clicked, this, &TAddUserWnd::ToAllClick);
    connect(FUi->AllToUser, &QPushButton::clicked, this, &TAddUserWnd::AllToUserClick);
    connect(FUi->AllToAll, &QPushButton::clicked, this, &TAddUserWnd::AllToAllClick);
    connect(FUi->ZortanPassword, &QPushButton::clicked, this, &TAddUserWnd::ZortanPasswordClick);
    connect(FUi->NetPassword, &QPushButton::clicked, this, &TAddUserWnd::NetPasswordClick);
}

TAddUserWnd::~TAddUserWnd() = default;

void TAddUserWnd::FillRights() {
    FUi->UserRights->Clear();
    FUi->AllRights->Clear();
    const int Group = FUi->RightsKind->ItemIndex();
    if (Group < 0 || Group >= static_cast<int>(RightsGroups.size()))
        return;
    const std::string_view Name = RightsGroups[static_cast<size_t>(Group)].Name;
    for (const TRightCode& Right : RightCodes) {
        if (Right.Group != Name)
            continue;
        TListBox* List = FUser.HasRight(Right.Bit) ? FUi->UserRights : FUi->AllRights;
        List->AddItem(
            QString::fromUtf8(Right.Label.data(), static_cast<qsizetype>(Right.Label.size())),
            Right.Bit);
    }
}

void TAddUserWnd::FillObjects() {
    const uint32_t Objects = FUser.Rec.Objects;
    for (int I = 0; I < ObjectCount; ++I)
        FUi->ObjectRights->SetChecked(I, (Objects >> I) & 1U);
}

uint32_t TAddUserWnd::SelectedGroupMask() const {
    const int Group = FUi->RightsKind->ItemIndex();
    if (Group < 0 || Group >= static_cast<int>(RightsGroups.size()))
        return 0;
    return RightsGroups[static_cast<size_t>(Group)].Mask;
}

void TAddUserWnd::RightsKindClick() {
    FillRights();
}

void TAddUserWnd::ToUserClick() {
    const int Index = FUi->AllRights->ItemIndex();
    if (Index < 0)
        return;
    FUser.AddRights(FUi->AllRights->ItemData(Index));
    FillRights();
}

void TAddUserWnd::ToAllClick() {
    const int Index = FUi->UserRights->ItemIndex();
    if (Index < 0)
        return;
    FUser.RemoveRights(FUi->UserRights->ItemData(Index));
    FillRights();
}

void TAddUserWnd::AllToUserClick() {
    FUser.AddRights(SelectedGroupMask());
    FillRights();
}

void TAddUserWnd::AllToAllClick() {
    FUser.RemoveRights(SelectedGroupMask());
    FillRights();
}

void TAddUserWnd::ZortanPasswordClick() {
    EditPassword(true);
}

void TAddUserWnd::NetPasswordClick() {
    EditPassword(false);
}

void TAddUserWnd::EditPassword(bool ZortanPass) {
    TChangePassWnd Dialog(this, FUser, ZortanPass);
    Dialog.ShowModal();
}

void TAddUserWnd::FormClose(TCloseAction& Action) {
    if (ModalResult() != mrOk) {
        FUser.Rec = FSaved;
        return;
    }
    const std::string UserName = StoredName(FUi->UserName->text(), FUser.Rec.UserName.View());
    if (const std::optional<std::string> Refusal = EditorRefusal(FStore, UserName, FUser)) {
        Refuse(Action, QString::fromStdString(*Refusal));
        return;
    }
    WriteBack();
}

void TAddUserWnd::Refuse(TCloseAction& Action, const QString& Message) {
    Action = caNone;
    Application.MessageBox(Message, QString(), MB_ICONERROR | MB_OK);
}

void TAddUserWnd::WriteBack() {
    TUserRec& Rec = FUser.Rec;
    Rec.Name.Assign(StoredName(FUi->Name->text(), Rec.Name.View()));
    Rec.UserName.Assign(StoredName(FUi->UserName->text(), Rec.UserName.View()));
    Rec.NetUserName.Assign(StoredName(FUi->NetUserName->text(), Rec.NetUserName.View()));
    uint32_t Objects = 0;
    for (int I = 0; I < ObjectCount; ++I)
        if (FUi->ObjectRights->Checked(I))
            Objects |= 1U << I;
    Rec.Objects = Objects;
    if (FUi->Signature->isChecked())
        FUser.AddRights(rtSignature);
    else
        FUser.RemoveRights(rtSignature);
}
