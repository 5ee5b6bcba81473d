// diff and restore, the way back to the previous version of the user file; the audit of passwd.
#include "tests/tools/UsrpassFixture.h"

#include "AuditCapture.h"
#include "store/UserManager.h"
#include "tools/Commands.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

TEST_F(UsrpassTest, DiffNamesEveryKindOfChangeAndNoPassword) {
    const ref::TFileContents Old = SampleImage();
    ref::TFileContents New = Old;
    New.Seed = 5; // the area scrambled anew is no change
    ref::TUser& Admin = New.Users[0];
    Admin.Name = "Szef";
    Admin.UserName = "szef";
    Admin.NetUserName = "sz";
    Admin.Rights |= Signature;
    Admin.Objects = 0x1F;
    Admin.Pass = "inne-haslo";
    Admin.NetPass = "siec-haslo";
    Admin.Reserved[0] ^= 1;
    New.Users[1].PassSeed = 99; // the same password set again is no change either
    New.Users.erase(New.Users.begin() + 2);
    ref::TUser Added;
    Added.Id = 4001;
    Added.UserName = "nowy";
    Added.Pass = "nowe-haslo";
    New.Users.push_back(Added);
    const std::string OldFile = Temp / "old.dat";
    const std::string NewFile = Temp / "new.dat";
    WriteBytes(OldFile, ref::EncodeFile(Old));
    WriteBytes(NewFile, ref::EncodeFile(New));

    const TRunResult Plain = RunUsrpass({"diff", OldFile, NewFile});
    ASSERT_EQ(Plain.ExitCode, 0) << Plain.Err;
    EXPECT_EQ(Plain.Out, "zmieniony: Id 101, nazwa w Zortan \"szef\": pełna nazwa "
                         "\"Administrator\" → \"Szef\"; nazwa w Zortan \"admin\" → \"szef\"; nazwa "
                         "sieciowa \"adm\" → \"sz\"; prawa \"L Id Dm Wi\" → \"L Id Is Dm Wi\"; "
                         "obiekty \"1,32\" → \"1-5\"; hasło zmienione; hasło sieciowe zmienione; "
                         "inne bajty\n"
                         "usunięty: Id 4000, nazwa w Zortan \"kasia\"\n"
                         "dodany: Id 4001, nazwa w Zortan \"nowy\"\n");
    const TRunResult Json = RunUsrpass({"diff", OldFile, NewFile, "--json"});
    ASSERT_EQ(Json.ExitCode, 0) << Json.Err;
    EXPECT_EQ(nlohmann::json::parse(Json.Out), nlohmann::json::parse(R"({
        "added": [{"id": 4001, "userName": "nowy"}],
        "deleted": [{"id": 4000, "userName": "kasia"}],
        "changed": [{"id": 101, "userName": "szef", "fields": ["name", "userName", "netUserName",
                     "rights", "objects", "password", "netPassword", "otherBytes"]}]})"));
    for (const char* Password : {"tajne", "inne-haslo", "siec-haslo", "nowe-haslo"}) {
        EXPECT_EQ(Plain.Out.find(Password), std::string::npos) << Password;
        EXPECT_EQ(Json.Out.find(Password), std::string::npos) << Password;
    }

    const TRunResult Same = RunUsrpass({"diff", OldFile, OldFile});
    EXPECT_EQ(Same.ExitCode, 0);
    EXPECT_EQ(Same.Out, "");
    const TRunResult Missing = RunUsrpass({"diff", OldFile, Temp / "none.dat"});
    EXPECT_EQ(Missing.ExitCode, 1);
    EXPECT_EQ(Missing.Err, About(Temp / "none.dat") + "Brak pliku z użytkownikami\n");
}

TEST_F(UsrpassTest, RestoreTwiceGivesTheUsersBackAsTheyWere) {
    WriteSample();
    const std::string Previous = UsersFile + "-";
    const TRunResult NoPrevious = RunUsrpass({"restore", UsersFile});
    EXPECT_EQ(NoPrevious.ExitCode, 65);
    EXPECT_EQ(NoPrevious.Err, About(UsersFile) + "Brak poprzedniej wersji pliku z użytkownikami: " +
                                  std::filesystem::canonical(UsersFile).string() + "-\n");

    const std::vector<uint8_t> Sample = Bytes();
    const ref::TDecoded Before = Decoded();
    ASSERT_EQ(RunUsrpass({"del", UsersFile, "kasia"}).ExitCode, 0);
    EXPECT_EQ(ReadBytes(Previous), Sample);
    const ref::TDecoded Deleted = Decoded();
    ASSERT_EQ(Deleted.Users.size(), 2u);

    const TRunResult Restored = RunUsrpass({"restore", UsersFile});
    ASSERT_EQ(Restored.ExitCode, 0) << Restored.Err;
    EXPECT_EQ(Decoded().Records, Before.Records); // byte for byte, Reserved and filler too
    EXPECT_EQ(Decoded().LastId, Before.LastId);
    EXPECT_NE(Decoded().Seed, Before.Seed);
    EXPECT_EQ(ref::DecodeFile(ReadBytes(Previous)).Records, Deleted.Records);
    ASSERT_EQ(RunUsrpass({"restore", UsersFile}).ExitCode, 0);
    EXPECT_EQ(Decoded().Records, Deleted.Records);

    {
        TUserManager Program; // the running program holds the lock
        ASSERT_EQ(Program.Open(UsersFile, true), ueOk);
        EXPECT_EQ(RunUsrpass({"restore", UsersFile}).ExitCode, 5);
    }
    const auto Kept = Identity();
    std::vector<uint8_t> Damaged = ReadBytes(Previous);
    Damaged[20] ^= 1;
    WriteBytes(Previous, Damaged);
    const TRunResult Refused = RunUsrpass({"restore", UsersFile});
    EXPECT_EQ(Refused.ExitCode, 65);
    EXPECT_NE(Refused.Err.find("Plik z użytkownikami uległ zniszczeniu"), std::string::npos);
    EXPECT_EQ(Identity(), Kept);
}

TEST_F(UsrpassTest, PasswdAuditsThePasswordChangeWithoutThePassword) {
    WriteSample();
    TAuditCapture Audit;
    std::istringstream Password("nowe-tajne\n");
    std::streambuf* Stdin = std::cin.rdbuf(Password.rdbuf());
    TArguments Args;
    Args.Kind = TCommandKind::Passwd;
    Args.FileName = UsersFile;
    Args.UserName = "admin";
    Args.PasswordStdin = true;
    const int Code = RunPasswd(Args);
    std::cin.rdbuf(Stdin);
    EXPECT_EQ(Code, 0);

    const std::string Real = std::filesystem::canonical(UsersFile).string();
    const std::string By = "; by " + AuditActor();
    EXPECT_EQ(Audit.Lines,
              (std::vector<std::string>{
                  "user changed: id 101, name \"admin\": password changed" + By,
                  "saved \"" + Real + "\", previous version kept as \"" + Real + "-\"" + By}));
    EXPECT_TRUE(Audit.NoLineHolds("tajne"));
}

} // namespace
