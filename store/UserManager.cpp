#include "store/UserManager.h"

#include <cstdio>
#include <utility>

namespace {

// Never destroyed: the store may report a failed save from the process's last static destructor.
TMessageBoxFn& MessageBoxFn() {
    static auto* Fn = new TMessageBoxFn;
    return *Fn;
}

} // namespace

void SetStoreMessageBox(TMessageBoxFn Fn) {
    MessageBoxFn() = std::move(Fn);
}

int StoreMessageBox(const std::string& Text, const std::string& Caption, int Flags) {
    const TMessageBoxFn& Fn = MessageBoxFn();
    if (Fn)
        return Fn(Text, Caption, Flags);
    std::fprintf(stderr, "%s\n", Text.c_str());
    std::fflush(stderr);
    return 1;
}

std::string UserFileErrorText(int Code) {
    switch (Code) {
    case ueNoFile:
        return "Brak pliku z użytkownikami";
    case ueCreate:
        return "Nie można utworzyć pliku z użytkownikami";
    case ueOpen:
        return "Nie można otworzyć pliku z użytkownikami";
    case ueBadFile:
        return "Niewłaściwy plik z użytkownikami";
    case ueLocked:
        return "Plik z użytkownikami jest aktualnie modyfikowany przez inną osobę";
    case ueDamaged:
        return "Plik z użytkownikami uległ zniszczeniu";
    default:
        return {};
    }
}

void TUserManager::ShowUserFileError(int Code) const {
    const std::string Text = UserFileErrorText(Code);
    if (!Text.empty())
        StoreMessageBox(Text, "", mbError);
}

uint16_t TUserManager::Logon(std::string_view UserName, std::string_view Password) const {
    for (int I = 0; I < Count(); ++I) {
        const TUserC* User = Items(I);
        if (User->Rec.UserName.View() != UserName || !User->HasRight(rtLogon))
            continue;
        // The first user with the name and the logon right decides; no later one is tried.
        return User->GetPass() == Password ? User->Rec.Id : 0;
    }
    return 0;
}

TUserC* TUserManager::UserById(uint16_t Id) const {
    for (int I = 0; I < Count(); ++I) {
        if (Items(I)->Rec.Id == Id)
            return Items(I);
    }
    return nullptr;
}

bool TUserManager::LogonNameUsed(std::string_view UserName, uint16_t Id) const {
    for (int I = 0; I < Count(); ++I) {
        const TUserC* User = Items(I);
        if (User->Rec.UserName.View() == UserName && User->HasRight(rtLogon) && User->Rec.Id != Id)
            return true;
    }
    return false;
}

void TUserManager::AuditAsNewFile() {
    FSession.ForgetLoaded();
    FNewFile = true;
}

bool TUserManager::IsAdmin(uint16_t Id) const {
    return Count() > 0 && Items(0)->Rec.Id == Id;
}
