#pragma once
// The password dialog: a new password typed twice sets the user's Zortan password
// (ZortanPass true) or network password in memory. Callers show it modally and free it.

#include "toolkit/Form.h"

#include <memory>

class TUserC;
namespace Ui {
class ChangePassWnd;
}

class TChangePassWnd : public TForm {
    Q_OBJECT
public:
    TChangePassWnd(QWidget* Owner, TUserC& User, bool ZortanPass);
    ~TChangePassWnd() override;

protected:
    void FormClose(TCloseAction& Action) override;

private:
    std::unique_ptr<Ui::ChangePassWnd> FUi;
    TUserC& FUser;
    bool FZortanPass;
};
