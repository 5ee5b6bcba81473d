#include "TestUsers.h"

#include "runtime/Cp1250.h"

#include <cstring>
#include <stdexcept>

namespace {

std::string Cp1250(const std::string& Utf8) {
    const auto Bytes = Utf8ToCp1250(Utf8);
    if (!Bytes)
        throw std::invalid_argument("not code page 1250: " + Utf8);
    return *Bytes;
}

} // namespace

TUserC* MakeUser(uint16_t Id, const std::string& UserName, const std::string& Password,
                 uint32_t Rights, const std::string& NetUserName) {
    TUserRec Rec;
    std::memset(&Rec, 0, sizeof Rec);
    Rec.Id = Id;
    Rec.Rights = Rights;
    Rec.UserName.Assign(Cp1250(UserName));
    Rec.NetUserName.Assign(Cp1250(NetUserName));
    auto* User = new TUserC(Rec);
    User->SetPass(Cp1250(Password));
    User->SetNetPass("");
    return User;
}

std::string NetPassOf(const TUserC& User) {
    TUserRec Swapped = User.Rec;
    std::memcpy(Swapped.Pass, Swapped.NetPass, sizeof Swapped.Pass);
    Swapped.PassSeed = Swapped.NetPassSeed;
    return TUserC(Swapped).GetPass();
}
