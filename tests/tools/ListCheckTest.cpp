// list and check: readers of files made by the independent encoder, and of damaged files.
#include "tests/tools/UsrpassFixture.h"

#include "store/UserManager.h"

#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

TEST_F(UsrpassTest, ListShowsEveryCountedUserInFileOrder) {
    WriteSample();
    const TRunResult R = RunUsrpass({"list", UsersFile});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    // The stale record after the three is not a user; the tab in the third name must not split
    // its column, so it shows as U+FFFD.
    EXPECT_EQ(R.Out, "101\tLH\tadmin\tadm\tAdministrator\tId Dm Wi \n"
                     "102\tH\tłukasz\tlzolw\tŁukasz Żółw\t\n"
                     "4000\tL\tkasia\t\tSay \"hi\"\\\xEF\xBF\xBD!\t\n");
    EXPECT_EQ(R.Err, "");
}

TEST_F(UsrpassTest, ListJsonIsExactAndUtf8) {
    WriteSample();
    const TRunResult R = RunUsrpass({"list", UsersFile, "--json"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    // Compact, keys in this order; a tab is escaped, other characters stay UTF-8.
    EXPECT_EQ(R.Out, "{\"lastId\":4000,\"users\":["
                     "{\"id\":101,\"name\":\"Administrator\",\"userName\":\"admin\","
                     "\"netUserName\":\"adm\",\"rights\":131331,\"objects\":2147483649,"
                     "\"hasPassword\":true,\"hasNetPassword\":false,\"rightsText\":\"Id Dm Wi \"},"
                     "{\"id\":102,\"name\":\"Łukasz Żółw\",\"userName\":\"łukasz\","
                     "\"netUserName\":\"lzolw\",\"rights\":0,\"objects\":0,"
                     "\"hasPassword\":true,\"hasNetPassword\":false,\"rightsText\":\"\"},"
                     "{\"id\":4000,\"name\":\"Say \\\"hi\\\"\\\\\\t!\",\"userName\":\"kasia\","
                     "\"netUserName\":\"\",\"rights\":2147483649,\"objects\":0,"
                     "\"hasPassword\":false,\"hasNetPassword\":true,\"rightsText\":\"\"}"
                     "]}\n");
}

TEST_F(UsrpassTest, CheckCountsTheUsersAndWarnsWhenOthersHaveAccess) {
    WriteSample();
    // The owner and a group of administrators: silent. Any access for others: one line on
    // stderr, the result and the exit code unchanged.
    const std::pair<mode_t, const char*> Modes[] = {
        {0600, ""},
        {0660, ""},
        {0644, "ostrzeżenie: prawa pliku z użytkownikami (0644) dają dostęp innym użytkownikom "
               "systemu; zalecane 0660 lub 0600\n"},
        {0602, "ostrzeżenie: prawa pliku z użytkownikami (0602) dają dostęp innym użytkownikom "
               "systemu; zalecane 0660 lub 0600\n"},
    };
    for (const auto& [Mode, Warning] : Modes) {
        ASSERT_EQ(chmod(UsersFile.c_str(), Mode), 0);
        const TRunResult R = RunUsrpass({"check", UsersFile});
        EXPECT_EQ(R.ExitCode, 0) << std::oct << Mode;
        EXPECT_EQ(R.Out, "3\n") << std::oct << Mode;
        EXPECT_EQ(R.Err, *Warning ? About(UsersFile) + Warning : "") << std::oct << Mode;
    }
}

TEST_F(UsrpassTest, StrictCheckListsWhatToLookAtOneLineEach) {
    ref::TFileContents Image = SampleImage();
    Image.Users[0].Rights = Extracts; // the administrator without the logon right
    ref::TUser Blank;                 // " jan" with a colon in his network name, Kasia's Id
    Blank.Id = 4000;
    Blank.UserName = " jan";
    Blank.NetUserName = "j:an";
    Blank.Pass = "x";
    ref::TUser Twin; // łukasz again
    Twin.Id = 4001;
    Twin.UserName = "\xB3ukasz";
    Twin.Pass = "y";
    Image.Users.push_back(Blank);
    Image.Users.push_back(Twin);
    WriteBytes(UsersFile, ref::EncodeFile(Image));
    ASSERT_EQ(chmod(UsersFile.c_str(), 0600), 0);

    const TRunResult Plain = RunUsrpass({"check", UsersFile});
    EXPECT_EQ(Plain.ExitCode, 0);
    EXPECT_EQ(Plain.Out, "5\n");
    const TRunResult R = RunUsrpass({"check", UsersFile, "--strict"});
    EXPECT_EQ(R.ExitCode, 8);
    EXPECT_EQ(R.Out, "5\n"
                     "Id 101, nazwa w Zortan \"admin\": administrator (pierwszy w pliku) bez prawa "
                     "logowania\n"
                     "Id 4000, nazwa w Zortan \"kasia\": prawo logowania z pustym hasłem Zortan: "
                     "zaloguje się każdy\n"
                     "Id 4000, nazwa w Zortan \"kasia\": pełna nazwa zawiera znak sterujący\n"
                     "Id 4000, nazwa w Zortan \"kasia\": bity praw bez znaczenia: 0x80000000\n"
                     "Id 4000, nazwa w Zortan \" jan\": nazwa w Zortan zaczyna się lub kończy "
                     "odstępem\n"
                     "Id 4000, nazwa w Zortan \" jan\": nazwa sieciowa zawiera dwukropek\n"
                     "Id 4000, nazwa w Zortan \" jan\": to samo Id ma wcześniejszy użytkownik "
                     "\"kasia\"\n"
                     "Id 4001, nazwa w Zortan \"łukasz\": tę samą nazwę w Zortan ma wcześniejszy "
                     "użytkownik o Id 102\n");
    EXPECT_EQ(R.Err, "");
}

TEST_F(UsrpassTest, CheckIgnoresTheAreaTailOutsideTheSum) {
    // Three records make 615 bytes; the sum covers 612, so the last 3 may change freely.
    std::vector<uint8_t> File = ref::EncodeFile(SampleImage());
    File[15 + 614] ^= 0xFF;
    WriteBytes(UsersFile, File);
    EXPECT_EQ(RunUsrpass({"check", UsersFile}).ExitCode, 0);
    File[15 + 611] ^= 0x01; // inside the sum
    WriteBytes(UsersFile, File);
    EXPECT_EQ(RunUsrpass({"check", UsersFile}).ExitCode, 6);
}

TEST_F(UsrpassTest, ReadersAreNotBlockedByAWriter) {
    WriteSample();
    TUserManager Writer; // as the running program holds the file
    ASSERT_EQ(Writer.Open(UsersFile, true), ueOk);
    EXPECT_EQ(RunUsrpass({"check", UsersFile}).Out, "3\n");
    EXPECT_EQ(RunUsrpass({"list", UsersFile, "--json"}).ExitCode, 0);
}

namespace {

struct TBadFile {
    const char* What;
    std::function<std::vector<uint8_t>()> Make;
    int Code;
    const char* Message;
};

std::vector<uint8_t> SampleWith(const std::function<void(std::vector<uint8_t>&)>& Change) {
    std::vector<uint8_t> File = ref::EncodeFile(SampleImage());
    Change(File);
    return File;
}

} // namespace

TEST_F(UsrpassTest, ReadersReportEachOpenFailureByCodeAndMessage) {
    const char* Foreign = "Niewłaściwy plik z użytkownikami\n";
    const char* Damaged = "Plik z użytkownikami uległ zniszczeniu\n";
    const TBadFile Cases[] = {
        {"foreign magic", [] { return SampleWith([](auto& F) { F[0] = 'X'; }); }, 4, Foreign},
        {"short foreign",
         [] {
             return std::vector<uint8_t>{'M', 'Z', 0};
         },
         4, Foreign},
        {"short UF", [] { return std::vector<uint8_t>{'U', 'F', 1, 0, 0, 0}; }, 6, Damaged},
        {"checksum", [] { return SampleWith([](auto& F) { F[8] ^= 1; }); }, 6, Damaged},
        {"odd length", [] { return SampleWith([](auto& F) { F.push_back(0); }); }, 6, Damaged},
        {"count 0", [] { return SampleWith([](auto& F) { F[12] = 0; }); }, 6, Damaged},
        // Three records and the stale one make four; a count of five reaches past the end.
        {"count too big", [] { return SampleWith([](auto& F) { F[12] = 5; }); }, 6, Damaged},
    };
    for (const TBadFile& C : Cases) {
        WriteBytes(UsersFile, C.Make());
        for (const char* Command : {"check", "list"}) {
            const TRunResult R = RunUsrpass({Command, UsersFile});
            EXPECT_EQ(R.ExitCode, C.Code) << Command << ": " << C.What;
            EXPECT_EQ(R.Err, About(UsersFile) + C.Message) << Command << ": " << C.What;
            EXPECT_EQ(R.Out, "") << Command << ": " << C.What;
        }
    }

    const TRunResult Missing = RunUsrpass({"check", Temp / "none.dat"});
    EXPECT_EQ(Missing.ExitCode, 1);
    EXPECT_EQ(Missing.Err, About(Temp / "none.dat") + "Brak pliku z użytkownikami\n");
}

TEST_F(UsrpassTest, ReadersReportAFileTheyMayNotOpen) {
    WriteSample();
    ASSERT_EQ(chmod(UsersFile.c_str(), 0), 0);
    // Root opens any file, so the check runs as an ordinary user then.
    TRunOptions AsOrdinaryUser;
    if (geteuid() == 0)
        AsOrdinaryUser.RunAsUser = 65534;
    const TRunResult R = RunUsrpass({"check", UsersFile}, AsOrdinaryUser);
    EXPECT_EQ(R.ExitCode, 3);
    EXPECT_EQ(R.Err, About(UsersFile) + "Nie można otworzyć pliku z użytkownikami\n");
}
