#pragma once
// The user editor: names, passwords, rights by group, the 32 object classes and the signature
// right of one user. It changes the user in place while it is open (rights at once, passwords
// through the password dialog); OK checks the logon name and the logon right, then writes the
// names, objects and signature; any other close puts the whole record back as it was. It never
// adds or removes users: its caller acts on the modal result.

#include "store/UserRec.h"
#include "toolkit/Form.h"

#include <memory>

class TUserC;
class TUserManager;
namespace Ui {
class AddUserWnd;
}

class TAddUserWnd : public TForm {
    Q_OBJECT
public:
    TAddUserWnd(QWidget* Owner, TUserC& User, TUserManager& Store);
    ~TAddUserWnd() override;

    void RightsKindClick();
    void ToUserClick();
    void ToAllClick();
    void AllToUserClick();
    void AllToAllClick();
    void ZortanPasswordClick();
    void NetPasswordClick();

protected:
    void FormClose(TCloseAction& Action) override;

private:
    void FillRights();
    void FillObjects();
    uint32_t SelectedGroupMask() const;
    void EditPassword(bool ZortanPass);
    void Refuse(TCloseAction& Action, const QString& Message);
    void WriteBack();

    std::unique_ptr<Ui::AddUserWnd> FUi;
    TUserC& FUser;
    TUserManager& FStore;
    TUserRec FSaved;
};
