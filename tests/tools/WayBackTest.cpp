// diff and restore, the way back to the previous version of the user file; the audit of passwd.
#include "tests/tools/UsrpassFixture.h"

#include "AuditCapture.h"
#include "InterceptingFs.h"
#include "store/UserManager.h"
#include "tools/Commands.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <sys/wait.h>

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
    EXPECT_EQ(NoPrevious.Err,
              About(UsersFile) + "brak poprzedniej wersji pliku z użytkownikami: " +
                  std::filesystem::canonical(UsersFile).string() +
                  "-; kopię zapasową przywraca usrpass restore PLIK --from KOPIA\n");

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

// restore is wanted most when the file is lost: damaged, replaced by something that is no user
// file, or gone. The previous version (or a backup) then takes its place and stays as it is, and
// a damaged file is kept aside, never as the previous version.
TEST_F(UsrpassTest, RestoreOverADamagedForeignOrMissingFile) {
    WriteSample();
    ASSERT_EQ(RunUsrpass({"del", UsersFile, "kasia"}).ExitCode, 0);
    const std::string Previous = UsersFile + "-";
    const std::vector<uint8_t> Good = ReadBytes(Previous);
    WriteBytes(Temp / "backup.dat", Bytes()); // two users: kasia deleted
    std::vector<uint8_t> Damaged = Bytes();
    Damaged[30] ^= 1;
    const std::vector<uint8_t> Foreign = {'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n'};
    for (const auto& Lost : {Damaged, Foreign, std::vector<uint8_t>()}) {
        for (const auto& E : std::filesystem::directory_iterator(Temp.Path()))
            if (E.path().filename().string().starts_with("UsrPass.dat.damaged-"))
                std::filesystem::remove(E.path());
        std::filesystem::remove(UsersFile);
        if (!Lost.empty())
            WriteBytes(UsersFile, Lost);
        const TRunResult Restored = RunUsrpass({"restore", UsersFile});
        ASSERT_EQ(Restored.ExitCode, 0) << Restored.Err;
        EXPECT_EQ(Decoded().Records, ref::DecodeFile(Good).Records);
        EXPECT_EQ(ReadBytes(Previous), Good);
        std::vector<std::string> Aside;
        for (const auto& E : std::filesystem::directory_iterator(Temp.Path()))
            if (E.path().filename().string().starts_with("UsrPass.dat.damaged-"))
                Aside.push_back(E.path().string());
        ASSERT_EQ(Aside.size(), Lost.empty() ? 0u : 1u);
        if (!Lost.empty()) {
            EXPECT_EQ(ReadBytes(Aside[0]), Lost);
            EXPECT_NE(Restored.Err.find(Aside[0]), std::string::npos) << Restored.Err;
        }
    }
    // Any loadable user file, a backup, instead of the previous version.
    const std::vector<uint8_t> Current = Bytes();
    ASSERT_EQ(RunUsrpass({"restore", UsersFile, "--from", Temp / "backup.dat"}).ExitCode, 0);
    EXPECT_EQ(Decoded().Records, ref::DecodeFile(ReadBytes(Temp / "backup.dat")).Records);
    EXPECT_EQ(ReadBytes(Previous), Current);
}

// Where the file as it was cannot be kept (here: a further hard link, so the save would write
// in place), restore changes nothing and says why, instead of losing the way back.
TEST_F(UsrpassTest, RestoreThatCannotBeUndoneIsRefused) {
    WriteSample();
    ASSERT_EQ(RunUsrpass({"del", UsersFile, "kasia"}).ExitCode, 0);
    ASSERT_EQ(::link(UsersFile.c_str(), (Temp / "hard link").c_str()), 0);
    const auto Before = Identity();
    const std::vector<uint8_t> Previous = ReadBytes(UsersFile + "-");
    const TRunResult Refused = RunUsrpass({"restore", UsersFile});
    EXPECT_EQ(Refused.ExitCode, 7);
    EXPECT_NE(Refused.Err.find("nie przywrócono"), std::string::npos) << Refused.Err;
    EXPECT_EQ(Identity(), Before);
    EXPECT_EQ(ReadBytes(UsersFile + "-"), Previous);
}

// A kill at any step of a restore (each file operation in turn) leaves the file and its
// previous version as the two versions: as they were, or exchanged.
TEST_F(UsrpassTest, KillAtAnyStepOfARestoreLosesNoVersion) {
    WriteSample();
    ASSERT_EQ(RunUsrpass({"del", UsersFile, "kasia"}).ExitCode, 0);
    const std::vector<uint8_t> Now = Bytes(), Previous = ReadBytes(UsersFile + "-");
    const auto RecordsOf = [](const std::vector<uint8_t>& File) {
        return ref::DecodeFile(File).Records;
    };
    int Kills = 0;
    for (int KillAt = 0;; ++KillAt) {
        WriteBytes(UsersFile, Now);
        WriteBytes(UsersFile + "-", Previous);
        std::fflush(nullptr);
        const pid_t Child = ::fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            int Step = 0;
            TInterceptingFs Fs([&](std::string_view, std::string_view) {
                if (Step++ == KillAt)
                    ::_exit(99); // as a kill: no destructor, nothing cleaned up
                return 0;
            });
            TArguments Args;
            Args.Kind = TCommandKind::Restore;
            Args.FileName = UsersFile;
            ::_exit(RunRestore(Args));
        }
        int Status = 0;
        ::waitpid(Child, &Status, 0);
        ASSERT_TRUE(WIFEXITED(Status));
        {
            TUserManager Next; // a writer: clears or finishes what the kill left
            ASSERT_EQ(Next.Open(UsersFile, true), ueOk) << KillAt;
        }
        const auto File = RecordsOf(Bytes()), Kept = RecordsOf(ReadBytes(UsersFile + "-"));
        const bool AsTheyWere = File == RecordsOf(Now) && Kept == RecordsOf(Previous);
        const bool Exchanged = File == RecordsOf(Previous) && Kept == RecordsOf(Now);
        EXPECT_TRUE(AsTheyWere || Exchanged) << "killed at step " << KillAt;
        std::vector<std::string> Names;
        for (const auto& E : std::filesystem::directory_iterator(Temp.Path()))
            Names.push_back(E.path().filename().string());
        std::sort(Names.begin(), Names.end());
        EXPECT_EQ(Names, (std::vector<std::string>{"UsrPass.dat", "UsrPass.dat-"})) << KillAt;
        if (WEXITSTATUS(Status) != 99) {
            EXPECT_EQ(WEXITSTATUS(Status), 0);
            EXPECT_TRUE(Exchanged);
            break;
        }
        ++Kills;
    }
    EXPECT_GT(Kills, 10);
    std::printf("a restore killed at each of its %d steps lost no version\n", Kills);
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
