#include "ui/Logon.h"

#include "store/UserManager.h"
#include "toolkit/Application.h"
#include "toolkit/Cp1250Validator.h"
#include "toolkit/MessageBox.h"
#include "ui_Logon.h"

TLogonWnd::TLogonWnd(QWidget* Owner, TUserManager& Store, uint16_t* ResultId)
    : TForm(Owner), FUi(std::make_unique<Ui::LogonWnd>()), FStore(Store), FResultId(ResultId) {
    FUi->setupUi(this);
    Loaded();
}

TLogonWnd::~TLogonWnd() = default;

void TLogonWnd::FormClose(TCloseAction& Action) {
    if (ModalResult() != mrOk)
        return;
    // As typed: the store compares exactly, so no trimming and no change of case here.
    const uint16_t Id =
        FStore.Logon(ToCp1250(FUi->UserName->text()), ToCp1250(FUi->Password->text()));
    *FResultId = Id;
    if (Id != 0)
        return;
    Action = caNone;
    FUi->UserName->selectAll();
    FUi->UserName->setFocus();
    Application.MessageBox(QStringLiteral("Brak dostępu"), QString(), MB_ICONERROR | MB_OK);
}

uint16_t ShowLogon(TUserManager& Store) {
    uint16_t Id = 0;
    TLogonWnd Wnd(nullptr, Store, &Id);
    return Wnd.ShowModal() == mrOk ? Id : 0;
}
