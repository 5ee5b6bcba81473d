// Shows one dialog on the real display, for screenshots of the documentation
// (see screenshots.sh):  pelorin_dialog_preview logon|password|netpassword
#include "store/Rights.h"
#include "store/UserC.h"
#include "store/UserManager.h"
#include "toolkit/Application.h"
#include "ui/ChngPass.h"
#include "ui/Logon.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

TUserRec SampleRecord() {
    TUserRec Rec;
    std::memset(&Rec, 0, sizeof Rec);
    Rec.Id = 2;
    Rec.Rights = rtLogon;
    Rec.UserName.Assign("jkowalski");
    Rec.NetUserName.Assign("kowalski.j");
    return Rec;
}

} // namespace

int main(int Argc, char** Argv) {
    const std::string Which = Argc > 1 ? Argv[1] : "";
    if (Which != "logon" && Which != "password" && Which != "netpassword") {
        std::fprintf(stderr, "usage: %s logon|password|netpassword\n", Argv[0]);
        return 2;
    }
    Application.Initialize(Argc, Argv);
    if (Which == "logon") {
        TUserManager Store;
        ShowLogon(Store);
    } else {
        TUserC User(SampleRecord());
        TChangePassWnd Wnd(nullptr, User, Which == "password");
        Wnd.ShowModal();
    }
    Application.Finalize();
    return 0;
}
