#include "app/LogonDispatch.h"

#include "store/User.h"
#include "toolkit/Application.h"
#include "ui/ChngPass.h"
#include "ui/Logon.h"
#include "ui/UserMng.h"

void RunLogonDispatch() {
    const uint16_t Id = ShowLogon(*Users);
    if (Id == 0)
        return;
    // The administrator is the first user of the file, recognised by his Id alone.
    if (Users->IsAdmin(Id)) {
        TMainForm* MainForm = nullptr;
        Application.CreateForm(MainForm);
        Application.Run();
        return;
    }
    // Anybody else may change his own Zortan password, and nothing more.
    TUserC* User = Users->UserById(Id);
    if (!User)
        return;
    TChangePassWnd Dialog(nullptr, *User, true);
    Dialog.ShowModal();
}
