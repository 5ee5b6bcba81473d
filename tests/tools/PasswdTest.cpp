// passwd: one password of one user changes; every other byte the format carries stays.
#include "tests/tools/UsrpassFixture.h"

#include "store/UserManager.h"

#include <filesystem>
#include <optional>

namespace {

// Record bytes are equal except the 4-byte seed at SeedAt and the 16-byte block at BlockAt.
void ExpectSameExcept(const ref::TRecordBytes& Before, const ref::TRecordBytes& After,
                      std::size_t SeedAt, std::size_t BlockAt) {
    for (std::size_t I = 0; I < Before.size(); ++I) {
        const bool Changed = (I >= SeedAt && I < SeedAt + 4) || (I >= BlockAt && I < BlockAt + 16);
        if (!Changed) {
            EXPECT_EQ(Before[I], After[I]) << "record byte " << I;
        }
    }
}

} // namespace

TEST_F(UsrpassTest, PasswdSetsTheZortanPasswordOfTheNamedUserOnly) {
    WriteSample();
    const ref::TDecoded Before = Decoded();
    const std::size_t SizeBefore = Bytes().size();

    const TRunResult R =
        RunUsrpass({"passwd", UsersFile, "łukasz", "--password-stdin"}, Input("Żaba\n"));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    EXPECT_EQ(R.Out, "");

    const ref::TDecoded After = Decoded();
    EXPECT_EQ(Bytes().size(), SizeBefore);
    EXPECT_TRUE(After.ChecksumOk);
    EXPECT_EQ(After.Magic, 0x4655);
    EXPECT_EQ(After.LockByte, 0);
    EXPECT_EQ(After.LastId, 4000);
    EXPECT_EQ(After.Count, 3);
    EXPECT_NE(After.Seed, Before.Seed); // the area is scrambled afresh at every save
    EXPECT_GE(After.Seed, 0);
    ASSERT_EQ(After.Records.size(), 3u);
    EXPECT_EQ(After.Users[1].Pass, "\xAF"
                                   "aba");
    EXPECT_EQ(After.Users[1].NetPass, Before.Users[1].NetPass);
    // Reserved, the short strings' filler and the other users come through byte for byte.
    EXPECT_EQ(After.Records[0], Before.Records[0]);
    EXPECT_EQ(After.Records[2], Before.Records[2]);
    ExpectSameExcept(Before.Records[1], After.Records[1], 2, 173);
    EXPECT_EQ(After.Trailer, Before.Trailer); // the stale record stays where it was
}

TEST_F(UsrpassTest, PasswdNetSetsOnlyTheNetworkPassword) {
    WriteSample();
    const ref::TDecoded Before = Decoded();
    const TRunResult R = RunUsrpass({"passwd", UsersFile, "admin", "--net", "--password-stdin"},
                                    Input("nowa sieć\n"));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;

    const ref::TDecoded After = Decoded();
    EXPECT_TRUE(After.ChecksumOk);
    EXPECT_EQ(After.Users[0].NetPass, "nowa sie\xE6");
    EXPECT_EQ(After.Users[0].Pass, "tajne");
    ExpectSameExcept(Before.Records[0], After.Records[0], 6, 189);
    EXPECT_EQ(After.Records[1], Before.Records[1]);

    const TRunResult Json = RunUsrpass({"list", UsersFile, "--json"});
    EXPECT_NE(Json.Out.find("\"userName\":\"admin\",\"netUserName\":\"adm\",\"rights\":131331,"
                            "\"objects\":2147483649,\"hasPassword\":true,\"hasNetPassword\":true"),
              std::string::npos);
}

TEST_F(UsrpassTest, PasswdChangesTheFirstOfTwoUsersWithTheName) {
    ref::TFileContents Image = SampleImage();
    Image.Users[2].UserName = "admin";
    WriteBytes(UsersFile, ref::EncodeFile(Image));
    const ref::TDecoded Before = Decoded();

    ASSERT_EQ(RunUsrpass({"passwd", UsersFile, "admin", "--password-stdin"}, Input("n\n")).ExitCode,
              0);
    const ref::TDecoded After = Decoded();
    EXPECT_EQ(After.Users[0].Pass, "n");
    EXPECT_EQ(After.Records[2], Before.Records[2]);
}

TEST_F(UsrpassTest, PasswdRefusesAndWritesNothing) {
    WriteSample();
    const std::vector<uint8_t> Original = Bytes();
    struct Case {
        std::string Name;
        std::optional<std::string> Stdin; // none: descriptor 0 closed
        std::string Message;
    };
    const Case Cases[] = {
        // Names are compared exactly: the case of a letter counts.
        {"Admin", "pw\n", "brak użytkownika o nazwie w Zortan \"Admin\"\n"},
        {"lukasz", "pw\n", "brak użytkownika o nazwie w Zortan \"lukasz\"\n"},
        {"ключ", "pw\n", "nazwa \"ключ\" zawiera znak spoza strony kodowej 1250\n"},
        {"admin", "0123456789abcdef\n", "hasło może mieć najwyżej 15 znaków\n"},
        {"admin", "", "brak hasła na standardowym wejściu\n"},
        // Descriptor 0 is not free for the user file, whose header would become the password.
        {"admin", std::nullopt, "brak hasła na standardowym wejściu\n"},
        // Nobody could type these into the logon dialog.
        {"admin", "a\tb\n", "hasło zawiera znak sterujący\n"},
        {"admin", "a\x7F\n", "hasło zawiera znak sterujący\n"},
        {"admin", std::string("a\0b\n", 4), "hasło zawiera znak sterujący\n"},
    };
    for (const Case& C : Cases) {
        const TRunResult R =
            RunUsrpass({"passwd", UsersFile, C.Name, "--password-stdin"},
                       C.Stdin ? Input(*C.Stdin) : TRunOptions().WithStdinClosed());
        EXPECT_EQ(R.ExitCode, 65) << C.Name;
        EXPECT_EQ(R.Err, About(UsersFile) + C.Message);
        EXPECT_EQ(Bytes(), Original) << C.Name;
    }
}

TEST_F(UsrpassTest, PasswdReportsOpenFailures) {
    const TRunResult Missing =
        RunUsrpass({"passwd", UsersFile, "admin", "--password-stdin"}, Input("pw\n"));
    EXPECT_EQ(Missing.ExitCode, 1);
    EXPECT_FALSE(Exists(UsersFile));

    WriteBytes(UsersFile, {'U', 'F', 0, 0});
    const TRunResult Damaged =
        RunUsrpass({"passwd", UsersFile, "admin", "--password-stdin"}, Input("pw\n"));
    EXPECT_EQ(Damaged.ExitCode, 6);
    EXPECT_EQ(Damaged.Err, About(UsersFile) + "Plik z użytkownikami uległ zniszczeniu\n");
    EXPECT_EQ(Bytes(), (std::vector<uint8_t>{'U', 'F', 0, 0}));
}

TEST_F(UsrpassTest, PasswdGetsCode5WhileAnotherWriterHoldsTheFile) {
    WriteSample();
    const std::vector<uint8_t> Original = Bytes();
    {
        TUserManager Program; // the lock is per open file description, so it excludes us too
        ASSERT_EQ(Program.Open(UsersFile, true), ueOk);
        const TRunResult R =
            RunUsrpass({"passwd", UsersFile, "admin", "--password-stdin"}, Input("pw\n"));
        EXPECT_EQ(R.ExitCode, 5);
        // The holder is this test's process, which the system names.
        EXPECT_EQ(R.Err, About(UsersFile) +
                             "Plik z użytkownikami jest aktualnie modyfikowany przez inną osobę " +
                             ThisProcessAsHolder() + "\n");
        EXPECT_EQ(Bytes(), Original);
    }
    // Once the holder has closed the file, the change goes through.
    const TRunResult After =
        RunUsrpass({"passwd", UsersFile, "admin", "--password-stdin"}, Input("pw\n"));
    EXPECT_EQ(After.ExitCode, 0) << After.Err;
    EXPECT_EQ(Decoded().Users[0].Pass, "pw");
}

TEST_F(UsrpassTest, PasswdWhoseSaveFailsExits7AndKeepsTheFile) {
    WriteSample();
    const std::vector<uint8_t> Original = Bytes(); // 835 bytes
    // A caller that ignores SIGXFSZ, and one that leaves it at its default action, which would
    // kill usrpass before it could report the failed save.
    for (const TRunOptions& Options :
         {Input("pw\n").WithFileSizeLimit(500), Input("pw\n").WithFileSizeLimitAndSignal(500)}) {
        SCOPED_TRACE(Options.FileSizeSignalKills ? "SIGXFSZ at its default" : "SIGXFSZ ignored");
        const TRunResult R =
            RunUsrpass({"passwd", UsersFile, "admin", "--password-stdin"}, Options);
        EXPECT_EQ(R.ExitCode, 7);
        EXPECT_EQ(R.Err, About(UsersFile) + "Nie można zapisać pliku z użytkownikami\n");
        EXPECT_EQ(Bytes(), Original);
        // Nothing is left behind beside the file.
        std::size_t Entries = 0;
        for ([[maybe_unused]] const auto& E : std::filesystem::directory_iterator(Temp.Path()))
            ++Entries;
        EXPECT_EQ(Entries, 1u);
    }
}
