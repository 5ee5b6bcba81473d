#include "tools/StoreAccess.h"

#include "tools/Cp1250Input.h"
#include "tools/ToolError.h"

void OpenOrFail(TUserManager& Store, const std::string& FileName, bool ForWriting) {
    const int Result = Store.Open(FileName, ForWriting);
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

int IndexOfUser(const TUserManager& Store, const std::string& Utf8Name,
                std::optional<uint16_t> Id) {
    const std::string Name = Id ? std::string() : LookupNameToCp1250(Utf8Name);
    for (int I = 0; I < Store.Count(); ++I) {
        const TUserRec& Rec = Store.Items(I)->Rec;
        if (Id ? Rec.Id == *Id : Rec.UserName.View() == Name)
            return I;
    }
    throw TToolError(ExitData, Id ? "Brak użytkownika o Id " + std::to_string(*Id)
                                  : "Brak użytkownika o nazwie w Zortan: " + Utf8Name);
}

int SaveStore(TUserManager& Store) {
    return Store.Save() ? ExitOk : ExitSaveFailed;
}
