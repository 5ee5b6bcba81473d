#include "tools/Listing.h"

#include "runtime/Cp1250.h"
#include "store/UserFacts.h"

#include <nlohmann/json.hpp>

#include <string_view>

std::string PrintableUtf8(std::string_view Cp1250) {
    std::string Text = Cp1250ToUtf8(Cp1250);
    std::string Result;
    Result.reserve(Text.size());
    for (char C : Text) {
        const auto B = static_cast<unsigned char>(C);
        if (B < 0x20 || B == 0x7F)
            Result += "\xEF\xBF\xBD";
        else
            Result += C;
    }
    return Result;
}

namespace {

// Keys in the order in which the listing has always shown them.
nlohmann::ordered_json UserJson(const TUserC& User) {
    const TUserRec& R = User.Rec;
    return {
        {"id", static_cast<unsigned>(R.Id)},
        {"name", Cp1250ToUtf8(R.Name.View())},
        {"userName", Cp1250ToUtf8(R.UserName.View())},
        {"netUserName", Cp1250ToUtf8(R.NetUserName.View())},
        {"rights", static_cast<uint32_t>(R.Rights)},
        {"objects", static_cast<uint32_t>(R.Objects)},
        {"hasPassword", HasPassword(User)},
        {"hasNetPassword", HasNetPassword(User)},
        {"rightsText", User.RightsText()},
    };
}

} // namespace

std::string PlainListing(const TUserManager& Users) {
    std::string Out;
    for (int I = 0; I < Users.Count(); ++I) {
        const TUserC& User = *Users.Items(I);
        const TUserRec& R = User.Rec;
        Out += std::to_string(R.Id) + '\t' + UserFlags(User) + '\t' +
               PrintableUtf8(R.UserName.View()) + '\t' + PrintableUtf8(R.NetUserName.View()) +
               '\t' + PrintableUtf8(R.Name.View()) + '\t' + User.RightsText() + '\n';
    }
    return Out;
}

std::string JsonListing(const TUserManager& Users) {
    nlohmann::ordered_json List = nlohmann::ordered_json::array();
    for (int I = 0; I < Users.Count(); ++I)
        List.push_back(UserJson(*Users.Items(I)));
    const nlohmann::ordered_json Document = {
        {"lastId", static_cast<unsigned>(Users.Header.LastId)},
        {"users", std::move(List)},
    };
    // Every text is valid UTF-8 already; replace guards the output all the same.
    return Document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}
