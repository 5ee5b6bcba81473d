#include "tools/Listing.h"

#include "runtime/Cp1250.h"
#include "tools/JsonText.h"
#include "tools/UserFacts.h"

#include <string_view>

namespace {

// A name with a tab or an escape sequence must neither break the columns nor drive the
// terminal, so control characters show as U+FFFD.
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

std::string JsonField(std::string_view Key, std::string_view RawValue) {
    return JsonQuoted(Key) + ": " + std::string(RawValue);
}

std::string JsonTextField(std::string_view Key, std::string_view Cp1250) {
    return JsonField(Key, JsonQuoted(Cp1250ToUtf8(Cp1250)));
}

std::string JsonBool(bool Value) {
    return Value ? "true" : "false";
}

std::string UserJson(const TUserC& User) {
    const TUserRec& R = User.Rec;
    return "{" + JsonField("id", std::to_string(R.Id)) + ", " +
           JsonTextField("name", R.Name.View()) + ", " +
           JsonTextField("userName", R.UserName.View()) + ", " +
           JsonTextField("netUserName", R.NetUserName.View()) + ", " +
           JsonField("rights", std::to_string(R.Rights)) + ", " +
           JsonField("objects", std::to_string(R.Objects)) + ", " +
           JsonField("hasPassword", JsonBool(HasPassword(User))) + ", " +
           JsonField("hasNetPassword", JsonBool(HasNetPassword(User))) + ", " +
           JsonTextField("rightsText", User.RightsText()) + "}";
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
    std::string Out = "{" + JsonField("lastId", std::to_string(Users.Header.LastId)) + ", " +
                      JsonQuoted("users") + ": [";
    for (int I = 0; I < Users.Count(); ++I) {
        if (I > 0)
            Out += ", ";
        Out += UserJson(*Users.Items(I));
    }
    return Out + "]}\n";
}
