// The index the bulk commands find users by: the first user with a name or an Id, also after
// users were appended past the size it was made for.
#include "tools/UserIndex.h"
#include "store/UserManager.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TUserC* Append(TUserManager& Store, uint16_t Id, const std::string& Name) {
    TUserRec Rec;
    std::memset(&Rec, 0, sizeof Rec);
    Rec.Id = Id;
    Rec.UserName.Assign(Name);
    auto* User = new TUserC(Rec);
    Store.Add(User);
    return User;
}

TEST(UserIndex, FindsTheFirstUserWithANameOrAnId) {
    TUserManager Store;
    TUserC* Jan = Append(Store, 7, "jan");
    TUserC* Second = Append(Store, 7, "jan"); // the same name and Id again
    TUserC* Empty = Append(Store, 9, "");
    TUserIndex Index(Store);
    // Far more than the index was made for: its table grows and keeps what it held.
    std::vector<TUserC*> Later;
    for (int I = 0; I < 1000; ++I) {
        Later.push_back(Append(Store, static_cast<uint16_t>(100 + I), "u" + std::to_string(I)));
        Index.Appended(*Later.back());
    }
    TUserC* AnotherJan = Append(Store, 5000, "jan");
    Index.Appended(*AnotherJan);

    EXPECT_EQ(Index.ByName("jan"), Jan);
    EXPECT_EQ(Index.ById(7), Jan);
    EXPECT_NE(Index.ByName("jan"), Second);
    EXPECT_EQ(Index.ByName(""), Empty);
    EXPECT_EQ(Index.ById(5000), AnotherJan);
    for (int I = 0; I < 1000; ++I) {
        EXPECT_EQ(Index.ByName("u" + std::to_string(I)), Later[static_cast<std::size_t>(I)]);
        EXPECT_EQ(Index.ById(static_cast<uint16_t>(100 + I)), Later[static_cast<std::size_t>(I)]);
    }
    EXPECT_EQ(Index.ByName("Jan"), nullptr);
    EXPECT_EQ(Index.ByName("u1000"), nullptr);
    EXPECT_EQ(Index.ById(8), nullptr);
}

} // namespace
