// Without --password-stdin the password is typed twice on the terminal and never shown.
#include "tests/tools/UsrpassFixture.h"

TEST_F(UsrpassTest, InitAsksTwiceOnTheTerminalWithoutEcho) {
    const TTerminalRun R =
        RunUsrpassOnTerminal({"init", UsersFile, "--admin", "admin"}, {"sekret-ż", "sekret-ż"});
    ASSERT_EQ(R.ExitCode, 0) << R.Screen;
    EXPECT_NE(R.Screen.find("Wprowadź nowe hasło: "), std::string::npos);
    EXPECT_NE(R.Screen.find("Powtórz nowe hasło: "), std::string::npos);
    EXPECT_EQ(R.Screen.find("sekret"), std::string::npos) << R.Screen;
    EXPECT_EQ(Decoded().Users.at(0).Pass, "sekret-\xBF");
}

TEST_F(UsrpassTest, DifferingTerminalEntriesAreRefused) {
    const TTerminalRun R =
        RunUsrpassOnTerminal({"init", UsersFile, "--admin", "admin"}, {"sekret", "Sekret"});
    EXPECT_EQ(R.ExitCode, 65);
    EXPECT_NE(R.Screen.find(About(UsersFile) + "hasło zostało wprowadzone błędnie"),
              std::string::npos);
    EXPECT_FALSE(Exists(UsersFile));
}

TEST_F(UsrpassTest, PasswdAsksOnTheTerminalForTheNetworkPassword) {
    WriteSample();
    const TTerminalRun R =
        RunUsrpassOnTerminal({"passwd", UsersFile, "kasia", "--net"}, {"s1", "s1"});
    ASSERT_EQ(R.ExitCode, 0) << R.Screen;
    EXPECT_EQ(Decoded().Users.at(2).NetPass, "s1");
}

TEST_F(UsrpassTest, NoTerminalAndNoStdinOptionIsAUsageError) {
    const TRunResult R = RunUsrpass({"init", UsersFile, "--admin", "admin"}, Input("pw\n"));
    EXPECT_EQ(R.ExitCode, 64);
    EXPECT_NE(R.Err.find("--password-stdin"), std::string::npos);
    EXPECT_FALSE(Exists(UsersFile));
}
