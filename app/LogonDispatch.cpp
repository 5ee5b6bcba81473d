#include "app/LogonDispatch.h"

#include "store/User.h"
#include "ui/Logon.h"

void RunLogonDispatch() {
    // The administrator's main window and the other users' password change follow the logon;
    // until they are wired here the run ends after it.
    ShowLogon(*Users);
}
