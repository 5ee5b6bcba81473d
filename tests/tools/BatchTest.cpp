// chpasswd and import: many changes from standard input, in one save.
#include "tests/tools/UsrpassFixture.h"

#include <nlohmann/json.hpp>

TEST_F(UsrpassTest, ChpasswdSetsEveryListedPassword) {
    WriteSample();
    const ref::TDecoded Before = Decoded();
    // The name ends at the first colon; the password may hold more of them, or be empty.
    TRunResult R = RunUsrpass({"chpasswd", UsersFile}, Input("admin:a:b\r\n\nkasia:\n"));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    R = RunUsrpass({"chpasswd", UsersFile, "--net"}, Input("łukasz:sieć"));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;

    const ref::TDecoded D = Decoded();
    EXPECT_EQ(D.Users[0].Pass, "a:b");
    EXPECT_EQ(D.Users[2].Pass, "");
    EXPECT_EQ(D.Users[2].NetPass, "siec");
    EXPECT_EQ(D.Users[1].Pass, "x");
    EXPECT_EQ(D.Users[1].NetPass, "sie\xE6");
    EXPECT_EQ(D.Users[0].NetPass, Before.Users[0].NetPass);
}

TEST_F(UsrpassTest, ImportRoundTripGivesBackTheEditedDocument) {
    WriteSample();
    const TRunResult Listed = RunUsrpass({"list", UsersFile, "--json"});
    ASSERT_EQ(Listed.ExitCode, 0);
    nlohmann::json Document = nlohmann::json::parse(Listed.Out);
    nlohmann::json& Users = Document["users"];
    // Names, rights and objects of existing users; one user removed. The administrator and Kasia
    // swap their logon names, which only the final list allows.
    Users[0]["userName"] = "kasia";
    Users[0]["name"] = "Główny";
    Users[0]["rights"] = Logon | Signature | ObjectExport;
    Users[0]["rightsText"] = "Is Oe ";
    Users[0]["objects"] = 0x0000FF00;
    Users[2]["userName"] = "admin";
    Users[2]["netUserName"] = "kaśka";
    Users.erase(1);

    const TRunResult R =
        RunUsrpass({"import", UsersFile, "--delete-missing"}, Input(Document.dump()));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    EXPECT_EQ(R.Err, "");
    EXPECT_EQ(nlohmann::json::parse(RunUsrpass({"list", UsersFile, "--json"}).Out), Document);
    EXPECT_EQ(Decoded().Users.at(0).Pass, "tajne");
}

TEST_F(UsrpassTest, ImportAddsEntriesWithoutIdAndTakesOnlyRightsWithMeaning) {
    WriteSample();
    const std::string Document = R"({"lastId": 1, "users": [
        {"id": 4000, "rights": 3, "rightsText": "ignored"},
        {"userName": "nowa", "name": "Nowa", "rights": 2147483905, "objects": 7,
         "hasPassword": true},
        {"id": null, "userName": "druga"}]})";
    const TRunResult R = RunUsrpass({"import", UsersFile}, Input(Document));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;

    const ref::TDecoded D = Decoded();
    ASSERT_EQ(D.Users.size(), 5u);
    // Kasia's bit without meaning stays; the new user's is not taken.
    EXPECT_EQ(D.Users[2].Rights, 0x80000000u | Logon | Extracts);
    EXPECT_EQ(D.Users[3].Id, 4001);
    EXPECT_EQ(D.Users[3].UserName, "nowa");
    EXPECT_EQ(D.Users[3].Rights, Logon | ParcelModify);
    EXPECT_EQ(D.Users[3].Objects, 7u);
    EXPECT_EQ(D.Users[3].Pass, "");
    EXPECT_EQ(D.Users[4].Id, 4002);
    EXPECT_EQ(D.LastId, 4002);
    EXPECT_EQ(D.Users[0].UserName, "admin");
}
