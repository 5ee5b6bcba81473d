// add, set and del: the main window's Add and Delete and the user editor, from a script.
#include "tests/tools/UsrpassFixture.h"

#include <algorithm>

TEST_F(UsrpassTest, AddAppendsAUserAsTheMainWindowsAddDoes) {
    WriteSample();
    const ref::TDecoded Before = Decoded();
    const TRunResult R =
        RunUsrpass({"add", UsersFile, "Zofia", "--name", "Zofia Żak", "--net-name", "zzak",
                    "--rights", "L,Id,Is,Oe", "--objects", "1-3,32", "--password-stdin"},
                   Input("hasło\n"));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;

    const ref::TDecoded D = Decoded();
    EXPECT_TRUE(D.ChecksumOk);
    EXPECT_EQ(D.LastId, 4001);
    ASSERT_EQ(D.Users.size(), 4u);
    const ref::TUser& New = D.Users[3];
    EXPECT_EQ(New.Id, 4001);
    EXPECT_EQ(New.UserName, "Zofia");
    EXPECT_EQ(New.Name, "Zofia \xAF"
                        "ak");
    EXPECT_EQ(New.NetUserName, "zzak");
    EXPECT_EQ(New.Rights, Logon | Extracts | Signature | ObjectExport);
    EXPECT_EQ(New.Objects, 0x80000007u);
    EXPECT_EQ(New.Pass, "has\xB3o");
    EXPECT_EQ(New.NetPass, "");
    EXPECT_TRUE(
        std::all_of(New.Reserved.begin(), New.Reserved.end(), [](uint8_t B) { return !B; }));
    for (std::size_t I = 0; I < 3; ++I)
        EXPECT_EQ(D.Records[I], Before.Records[I]) << "user " << I;
}

TEST_F(UsrpassTest, AddCountsOnFromLastIdUpTo0xFFF5) {
    struct Case {
        uint16_t LastId;
        int Exit;
        uint16_t NewId; // 0: drawn at random
    };
    // 101 and 102 are taken: a file written elsewhere may hold Ids above LastId.
    const Case Cases[] = {{0, 0, 0}, {100, 0, 103}, {0xFFF4, 0, 0xFFF5}, {0xFFF5, 65, 0}};
    for (const Case& C : Cases) {
        ref::TFileContents Image = SampleImage();
        Image.LastId = C.LastId;
        WriteBytes(UsersFile, ref::EncodeFile(Image));
        const auto Original = Identity();
        const TRunResult R = RunUsrpass({"add", UsersFile, "nowy"});
        ASSERT_EQ(R.ExitCode, C.Exit) << C.LastId;
        if (C.Exit != 0) {
            EXPECT_EQ(R.Err, About(UsersFile) + "Nie można dodawać więcej użytkowników\n");
            EXPECT_EQ(Identity(), Original);
            continue;
        }
        const ref::TDecoded D = Decoded();
        const uint16_t Id = D.Users.at(3).Id;
        EXPECT_EQ(D.LastId, Id) << C.LastId;
        if (C.NewId != 0) {
            EXPECT_EQ(Id, C.NewId);
        } else {
            EXPECT_GE(Id, 2);
            EXPECT_LE(Id, 63001);
        }
    }
}

TEST_F(UsrpassTest, SetChangesWhatItIsGivenAndNeverTheBitsWithoutMeaning) {
    WriteSample();
    const ref::TDecoded Before = Decoded();
    // The exact form: Kasia keeps the bit 0x80000000 that no code stands for.
    ASSERT_EQ(RunUsrpass({"set", UsersFile, "kasia", "--rights", "Id Dm"}).ExitCode, 0);
    // The relative form, by Id, with the names.
    const TRunResult R =
        RunUsrpass({"set", UsersFile, "--id", "101", "--rights", "+Oe,-Dm", "--objects", "-1,+5-6",
                    "--user-name", "root", "--name", "", "--net-name", "sieć"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;

    const ref::TDecoded D = Decoded();
    EXPECT_EQ(D.Users[2].Rights, 0x80000000u | Extracts | ParcelModify);
    const ref::TUser& Admin = D.Users[0];
    EXPECT_EQ(Admin.Rights, Logon | Extracts | LayerImport | ObjectExport);
    EXPECT_EQ(Admin.Objects, 0x80000030u);
    EXPECT_EQ(Admin.UserName, "root");
    EXPECT_EQ(Admin.Name, "");
    EXPECT_EQ(Admin.NetUserName, "sie\xE6");
    EXPECT_EQ(Admin.Pass, "tajne");
    EXPECT_EQ(Admin.PassSeed, Before.Users[0].PassSeed);
    EXPECT_EQ(D.Records[1], Before.Records[1]);
    EXPECT_EQ(D.LastId, 4000);
}

TEST_F(UsrpassTest, DelRemovesTheUserAndKeepsTheFilesLength) {
    WriteSample();
    const std::size_t Size = Bytes().size();
    ASSERT_EQ(RunUsrpass({"del", UsersFile, "łukasz"}).ExitCode, 0);
    const ref::TDecoded D = Decoded();
    ASSERT_EQ(D.Users.size(), 2u);
    EXPECT_EQ(D.Users[1].UserName, "kasia");
    EXPECT_EQ(D.LastId, 4000);
    EXPECT_EQ(Bytes().size(), Size);
}

TEST_F(UsrpassTest, TheLogonRightWithoutAPasswordNeedsEmptyPassword) {
    WriteSample();
    // Kasia logs on with an empty password already: changing her opens nothing new.
    ASSERT_EQ(RunUsrpass({"set", UsersFile, "kasia", "--name", "Kasia"}).ExitCode, 0);
    ASSERT_EQ(RunUsrpass({"set", UsersFile, "kasia", "--rights", "-L"}).ExitCode, 0);
    // Given the logon right again, she would be open to anybody: only on request.
    const TRunResult Refused = RunUsrpass({"set", UsersFile, "kasia", "--rights", "+L"});
    EXPECT_EQ(Refused.ExitCode, 65);
    EXPECT_EQ(Refused.Err, About(UsersFile) +
                               "użytkownik \"kasia\" miałby prawo logowania z pustym hasłem Zortan "
                               "(zalogowałby się każdy); ustaw najpierw hasło (passwd) albo podaj "
                               "opcję --empty-password\n");
    ASSERT_EQ(
        RunUsrpass({"set", UsersFile, "kasia", "--rights", "+L", "--empty-password"}).ExitCode, 0);
    ASSERT_EQ(RunUsrpass({"add", UsersFile, "gosc", "--rights", "L", "--empty-password"}).ExitCode,
              0);
    const ref::TDecoded D = Decoded();
    EXPECT_EQ(D.Users[2].Rights & Logon, Logon);
    EXPECT_EQ(D.Users[3].UserName, "gosc");
    EXPECT_EQ(D.Users[3].Rights, Logon);
    EXPECT_EQ(D.Users[3].Pass, "");
}
