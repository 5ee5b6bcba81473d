// init: a new file with one administrator, exactly in the format, never over an existing file.
#include "tests/tools/UsrpassFixture.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Waits until Count files have been created in the directory Watch watches, or 5 s have passed.
void AwaitCreations(int Watch, int Count) {
    for (int Seen = 0; Seen < Count;) {
        pollfd Fd{Watch, POLLIN, 0};
        if (poll(&Fd, 1, 5000) <= 0)
            return;
        alignas(inotify_event) char Events[4096];
        const ssize_t N = read(Watch, Events, sizeof Events);
        for (ssize_t At = 0; At < N; ++Seen)
            At += static_cast<ssize_t>(sizeof(inotify_event) +
                                       reinterpret_cast<const inotify_event*>(Events + At)->len);
    }
}

bool AllZero(const ref::TRecordBytes& R, std::size_t From, std::size_t To) {
    return std::all_of(R.begin() + static_cast<long>(From), R.begin() + static_cast<long>(To),
                       [](uint8_t B) { return B == 0; });
}

} // namespace

TEST_F(UsrpassTest, InitWritesOneAdministratorInTheExactFormat) {
    // umask 0: the mode must be 0600 by itself, not by the caller's umask.
    const TRunResult R = RunUsrpass({"init", UsersFile, "--admin", "Łukasz", "--password-stdin"},
                                    Input("zażółć\n").WithUmask(0));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    EXPECT_EQ(R.Out, "");

    struct stat St {};
    ASSERT_EQ(stat(UsersFile.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 07777, 0600u);
    EXPECT_EQ(St.st_size, 15 + 205);

    const ref::TDecoded D = Decoded();
    EXPECT_EQ(D.Magic, 0x4655);
    EXPECT_EQ(D.Count, 1);
    EXPECT_EQ(D.LockByte, 0);
    EXPECT_TRUE(D.ChecksumOk);
    EXPECT_GE(D.Seed, 0);
    EXPECT_LE(D.Seed, 0x7FFFFFFE);
    ASSERT_EQ(D.Users.size(), 1u);

    const ref::TUser& Admin = D.Users[0];
    // LastId was drawn in 1..63000; the administrator took the next one and LastId followed.
    EXPECT_EQ(Admin.Id, D.LastId);
    EXPECT_GE(Admin.Id, 2);
    EXPECT_LE(Admin.Id, 63001);
    EXPECT_EQ(Admin.Rights, Logon);
    EXPECT_EQ(Admin.Objects, 0u);
    EXPECT_EQ(Admin.UserName, "\xA3ukasz");
    EXPECT_EQ(Admin.Pass, "za\xBF\xF3\xB3\xE6");
    EXPECT_EQ(Admin.NetPass, "");
    EXPECT_EQ(Admin.Name, "");
    EXPECT_EQ(Admin.NetUserName, "");
    EXPECT_GE(Admin.PassSeed, 0);
    EXPECT_GE(Admin.NetPassSeed, 0);
    // A record the system creates starts all zero: names, their filler and Reserved.
    const ref::TRecordBytes& Raw = D.Records[0];
    EXPECT_TRUE(AllZero(Raw, 18, 69));
    EXPECT_TRUE(AllZero(Raw, 69 + 1 + 6, 173));

    // The tool reads back what it wrote.
    const TRunResult Check = RunUsrpass({"check", UsersFile});
    EXPECT_EQ(Check.ExitCode, 0);
    EXPECT_EQ(Check.Out, "1\n");
    const TRunResult List = RunUsrpass({"list", UsersFile});
    EXPECT_EQ(List.Out, std::to_string(Admin.Id) + "\tLH\tŁukasz\t\t\t\n");
}

TEST_F(UsrpassTest, InitTakesTheFirstLineOfStdinAsThePassword) {
    struct Case {
        std::string Stdin;
        std::string Password;
    };
    const Case Cases[] = {
        {"pw\r\nsecond line\n", "pw"},
        {"no newline", "no newline"},
        {"\n", ""}, // an empty line is the empty password, which the system allows
        {"€uro\n", "\x80uro"},
    };
    for (const Case& C : Cases) {
        std::filesystem::remove(UsersFile);
        const TRunResult R =
            RunUsrpass({"init", UsersFile, "--admin", "admin", "--password-stdin"}, Input(C.Stdin));
        ASSERT_EQ(R.ExitCode, 0) << R.Err;
        EXPECT_EQ(Decoded().Users.at(0).Pass, C.Password) << C.Stdin;
    }
}

TEST_F(UsrpassTest, InitCountsNameLengthInCharactersNotBytes) {
    // 15 letters, 30 bytes of UTF-8, 15 bytes of CP1250: it fits.
    const TRunResult R =
        RunUsrpass({"init", UsersFile, "--admin", "ŻŻŻŻŻŻŻŻŻŻŻŻŻŻŻ", "--password-stdin"},
                   Input("ąęśćńółźżĄĘŚĆŃÓ\n"));
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    const ref::TUser Admin = Decoded().Users.at(0);
    EXPECT_EQ(Admin.UserName, std::string(15, '\xAF'));
    EXPECT_EQ(Admin.Pass, "\xB9\xEA\x9C\xE6\xF1\xF3\xB3\x9F\xBF\xA5\xCA\x8C\xC6\xD1\xD3");
}

TEST_F(UsrpassTest, InitNeverOverwritesAndReportsCode2) {
    const std::vector<uint8_t> Existing = {'k', 'e', 'e', 'p'};
    WriteBytes(UsersFile, Existing);
    const std::string Dangling = Temp / "link";
    ASSERT_EQ(symlink((Temp / "target").c_str(), Dangling.c_str()), 0);

    for (const std::string& Target :
         {UsersFile, Dangling, Temp / "no-such-dir/UsrPass.dat", Temp.Path().string()}) {
        const TRunResult R =
            RunUsrpass({"init", Target, "--admin", "admin", "--password-stdin"}, Input("pw\n"));
        EXPECT_EQ(R.ExitCode, 2) << Target;
        EXPECT_EQ(R.Err, About(Target) + "Nie można utworzyć pliku z użytkownikami\n") << Target;
    }
    EXPECT_EQ(Bytes(), Existing);
    EXPECT_FALSE(Exists(Temp / "target")); // the link was not followed
}

TEST_F(UsrpassTest, InitRefusesWhatTheFileCannotHoldAndCreatesNothing) {
    struct Case {
        std::string Admin;
        std::string Stdin;
        std::string Message;
    };
    const Case Cases[] = {
        {"日本", "pw\n", "nazwa \"日本\" zawiera znak spoza strony kodowej 1250\n"},
        {"", "pw\n", "nie podano nazwy użytkownika w Zortan\n"},
        {"abcdefghijklmnop", "pw\n", "nazwa użytkownika w Zortan może mieć najwyżej 15 znaków\n"},
        {"tab\there", "pw\n", "nazwa użytkownika w Zortan zawiera znak sterujący\n"},
        // A longer password would be cut to 15 and the typed one would never match it.
        {"admin", "abcdefghijklmnop\n", "hasło może mieć najwyżej 15 znaków\n"},
        {"admin", "uśmiech🙂\n", "hasło zawiera znak spoza strony kodowej 1250\n"},
        {"admin", "", "brak hasła na standardowym wejściu\n"},
    };
    for (const Case& C : Cases) {
        const TRunResult R =
            RunUsrpass({"init", UsersFile, "--admin", C.Admin, "--password-stdin"}, Input(C.Stdin));
        EXPECT_EQ(R.ExitCode, 65) << C.Admin << " / " << C.Stdin;
        EXPECT_EQ(R.Err, About(UsersFile) + C.Message);
        EXPECT_FALSE(Exists(UsersFile)) << C.Admin << " / " << C.Stdin;
    }
}

TEST_F(UsrpassTest, InitThatCannotWriteLeavesNoFileBehind) {
    // A full disk, as a file size limit below the file's 220 bytes.
    const TRunResult R = RunUsrpass({"init", UsersFile, "--admin", "admin", "--password-stdin"},
                                    Input("pw\n").WithFileSizeLimit(100));
    EXPECT_EQ(R.ExitCode, 2);
    EXPECT_NE(R.Err.find("Nie można utworzyć pliku z użytkownikami"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(Temp.Path()));
}

TEST_F(UsrpassTest, InitKilledAtAnyMomentLeavesNoFileOrACompleteOne) {
    // Killed as soon as the first, second or third file appears in the directory.
    for (int Creations = 1; Creations <= 3; ++Creations) {
        SCOPED_TRACE("killed at creation " + std::to_string(Creations));
        std::filesystem::remove(UsersFile);
        const int Watch = inotify_init1(IN_CLOEXEC);
        ASSERT_GE(inotify_add_watch(Watch, Temp.Path().c_str(), IN_CREATE), 0);
        RunUsrpass({"init", UsersFile, "--admin", "admin", "--password-stdin"},
                   Input("pw\n").OnceFed([&](pid_t Pid) {
                       AwaitCreations(Watch, Creations);
                       kill(Pid, SIGKILL);
                   }));
        close(Watch);
        // A file that is there is complete, so a later init rightly refuses to overwrite it.
        const bool Made = Exists(UsersFile);
        const TRunResult Later =
            RunUsrpass({"init", UsersFile, "--admin", "admin", "--password-stdin"}, Input("pw\n"));
        EXPECT_EQ(Later.ExitCode, Made ? 2 : 0);
        const ref::TDecoded D = Decoded();
        EXPECT_TRUE(D.ChecksumOk);
        ASSERT_EQ(D.Users.size(), 1u);
        EXPECT_EQ(D.Users[0].UserName, "admin");
        EXPECT_EQ(D.Users[0].Pass, "pw");
    }
}
