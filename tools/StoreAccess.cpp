#include "tools/StoreAccess.h"

#include "runtime/LockHolder.h"
#include "tools/Cp1250Input.h"
#include "tools/ToolError.h"

#include <cstddef>
#include <pwd.h>

namespace {

std::string UserNameOf(uid_t Uid) {
    passwd Entry{};
    passwd* Found = nullptr;
    char Buffer[1024];
    if (::getpwuid_r(Uid, &Entry, Buffer, sizeof Buffer, &Found) == 0 && Found != nullptr)
        return Found->pw_name;
    return "uid " + std::to_string(Uid);
}

// " (blokadę trzyma proces 4242, pelorin, użytkownik jan)", or nothing when the system does not
// tell.
std::string LockHoldersText(const std::string& FileName) {
    const std::vector<TLockHolder> Holders =
        FindLockHolders(FileName, offsetof(TUserFileHeader, LockByte));
    if (Holders.empty())
        return {};
    std::string Text = " (blokadę trzyma ";
    for (std::size_t I = 0; I < Holders.size(); ++I) {
        const TLockHolder& H = Holders[I];
        Text += (I == 0 ? "" : "; ") + std::string("proces ") + std::to_string(H.Pid) + ", " +
                H.Command + ", użytkownik " + UserNameOf(H.Uid);
    }
    return Text + ")";
}

} // namespace

void OpenOrFail(TUserManager& Store, const std::string& FileName, bool ForWriting) {
    const int Result = Store.Open(FileName, ForWriting);
    if (Result == ueLocked)
        throw TToolError(Result, UserFileErrorText(Result) + LockHoldersText(FileName));
    if (Result != ueOk)
        throw TToolError(Result, UserFileErrorText(Result));
}

TUserC* FindByUserName(const TUserManager& Store, std::string_view Cp1250Name) {
    for (int I = 0; I < Store.Count(); ++I) {
        if (Store.Items(I)->Rec.UserName.View() == Cp1250Name)
            return Store.Items(I);
    }
    return nullptr;
}

std::string NoSuchUserText(const std::string& Utf8Name) {
    return "brak użytkownika o nazwie w Zortan \"" + Utf8Name + "\"";
}

int IndexOfUser(const TUserManager& Store, const std::string& Utf8Name,
                std::optional<uint16_t> Id) {
    const std::string Name = Id ? std::string() : LookupNameToCp1250(Utf8Name);
    for (int I = 0; I < Store.Count(); ++I) {
        const TUserRec& Rec = Store.Items(I)->Rec;
        if (Id ? Rec.Id == *Id : Rec.UserName.View() == Name)
            return I;
    }
    throw TToolError(ExitData, Id ? "brak użytkownika o Id " + std::to_string(*Id)
                                  : NoSuchUserText(Utf8Name));
}

int SaveStore(TUserManager& Store) {
    return Store.Save() ? ExitOk : ExitSaveFailed;
}
