#include "tools/StoreAccess.h"

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
