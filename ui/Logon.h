#pragma once
// The logon dialog. ShowLogon runs it once and returns the Id of the user whose name and
// Zortan password the store accepts (with the logon right), or 0 when it was cancelled.

#include "toolkit/Form.h"

#include <cstdint>
#include <memory>

class TUserManager;
namespace Ui {
class LogonWnd;
}

class TLogonWnd : public TForm {
    Q_OBJECT
public:
    // ResultId: the caller's variable that receives the Id of each OK attempt, 0 when refused.
    TLogonWnd(QWidget* Owner, TUserManager& Store, uint16_t* ResultId);
    ~TLogonWnd() override;

protected:
    void FormClose(TCloseAction& Action) override;

private:
    std::unique_ptr<Ui::LogonWnd> FUi;
    TUserManager& FStore;
    uint16_t* FResultId;
};

uint16_t ShowLogon(TUserManager& Store);
