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

TEST_F(UsrpassTest, ImportTakesRightsAndObjectsAsNumbersOrCodesAndAddsEntriesWithoutId) {
    WriteSample();
    // Numbers keep only the bits with a meaning; texts are what --rights and --objects take.
    // "nowa" gains the logon right without a password, which --empty-password allows.
    const std::string Document = R"({"lastId": 1, "users": [
        {"id": 4000, "rights": 3, "rightsText": "Id"},
        {"id": 102, "rights": "+Is,+Wi", "objects": "1-5,32", "rightsText": "Is Wi "},
        {"userName": "nowa", "name": "Nowa", "rights": 2147483905, "objects": 7,
         "hasPassword": true},
        {"id": null, "userName": "druga", "rights": "Om Oi", "objects": "+2,+4"}]})";
    const auto Original = Identity();
    EXPECT_EQ(RunUsrpass({"import", UsersFile}, Input(Document)).ExitCode, 65);
    EXPECT_EQ(Identity(), Original);
    const TRunResult R = RunUsrpass({"import", UsersFile, "--empty-password"}, Input(Document));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;

    const ref::TDecoded D = Decoded();
    ASSERT_EQ(D.Users.size(), 5u);
    // Kasia's bit without meaning stays; the new user's is not taken.
    EXPECT_EQ(D.Users[2].Rights, 0x80000000u | Logon | Extracts);
    EXPECT_EQ(D.Users[1].Rights, Signature | LayerImport);
    EXPECT_EQ(D.Users[1].Objects, 0x8000001Fu);
    EXPECT_EQ(D.Users[3].Id, 4001);
    EXPECT_EQ(D.Users[3].UserName, "nowa");
    EXPECT_EQ(D.Users[3].Rights, Logon | ParcelModify);
    EXPECT_EQ(D.Users[3].Objects, 7u);
    EXPECT_EQ(D.Users[3].Pass, "");
    EXPECT_EQ(D.Users[4].Id, 4002);
    EXPECT_EQ(D.Users[4].Rights, 0x03000000u);
    EXPECT_EQ(D.Users[4].Objects, 0xAu);
    EXPECT_EQ(D.LastId, 4002);
    EXPECT_EQ(D.Users[0].UserName, "admin");
}

TEST_F(UsrpassTest, ChpasswdReadsTheEncodingItIsTold) {
    WriteSample();
    // What a Polish spreadsheet saves: code page 1250 with CR LF; ISO 8859-2 puts "ś" elsewhere;
    // UTF-8 with a byte-order mark, which is no part of the first name.
    ASSERT_EQ(RunUsrpass({"chpasswd", UsersFile, "--encoding", "cp1250"},
                         Input("\xB3ukasz:has\xB3o\x9C\r\n"))
                  .ExitCode,
              0);
    ASSERT_EQ(
        RunUsrpass({"chpasswd", UsersFile, "--encoding", "ISO-8859-2"}, Input("kasia:\xB6nieg\n"))
            .ExitCode,
        0);
    const TRunResult R = RunUsrpass({"chpasswd", UsersFile}, Input("\xEF\xBB\xBF"
                                                                   "admin:x\n"));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    const ref::TDecoded D = Decoded();
    EXPECT_EQ(D.Users[1].Pass, "has\xB3o\x9C");
    EXPECT_EQ(D.Users[2].Pass, "\x9Cnieg");
    EXPECT_EQ(D.Users[0].Pass, "x");
}
