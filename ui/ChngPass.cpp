#include "ui/ChngPass.h"

#include "store/UserC.h"
#include "toolkit/Application.h"
#include "toolkit/Cp1250Validator.h"
#include "toolkit/MessageBox.h"
#include "ui_ChngPass.h"

namespace {

// The caption is a short string of 40 characters.
constexpr qsizetype CaptionCapacity = 40;

} // namespace

TChangePassWnd::TChangePassWnd(QWidget* Owner, TUserC& User, bool ZortanPass)
    : TForm(Owner), FUi(std::make_unique<Ui::ChangePassWnd>()), FUser(User),
      FZortanPass(ZortanPass) {
    FUi->setupUi(this);
    Loaded();
    const auto& Name = FZortanPass ? FUser.Rec.UserName : FUser.Rec.NetUserName;
    setWindowTitle((QStringLiteral("Zmień hasło użytkownika: ") + FromCp1250(Name.View()))
                       .left(CaptionCapacity));
}

TChangePassWnd::~TChangePassWnd() = default;

void TChangePassWnd::FormClose(TCloseAction& Action) {
    if (ModalResult() != mrOk)
        return;
    if (FUi->FirstPass->text() != FUi->SecondPass->text()) {
        Action = caNone;
        Application.MessageBox(QStringLiteral("Hasło zostało wprowadzone błędnie"), QString(),
                               MB_ICONERROR | MB_OK);
        return;
    }
    const std::string Password = ToCp1250(FUi->FirstPass->text());
    if (FZortanPass)
        FUser.SetPass(Password);
    else
        FUser.SetNetPass(Password);
}
