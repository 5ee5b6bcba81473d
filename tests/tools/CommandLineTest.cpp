// The command line as scripts meet it: help, and the usage errors that must change nothing.
#include "tests/tools/UsrpassFixture.h"

#include <regex>

using Args = std::vector<std::string>;

TEST(UsrpassCommandLine, HelpGoesToStdoutAndSucceeds) {
    for (const Args& A : {Args{"--help"}, Args{"-h"}, Args{"list", "--help"}}) {
        const TRunResult R = RunUsrpass(A);
        EXPECT_EQ(R.ExitCode, 0) << A[0];
        EXPECT_NE(R.Out.find("usrpass init PLIK --admin NAZWA [--password-stdin]"),
                  std::string::npos);
        EXPECT_NE(R.Out.find("usrpass passwd PLIK UŻYTKOWNIK [--net] [--password-stdin]"),
                  std::string::npos);
        EXPECT_EQ(R.Err, "");
    }
}

TEST(UsrpassCommandLine, VersionGoesToStdoutAndSucceeds) {
    for (const Args& A : {Args{"--version"}, Args{"list", "x", "--version"}}) {
        const TRunResult R = RunUsrpass(A);
        EXPECT_EQ(R.ExitCode, 0) << A[0];
        EXPECT_TRUE(
            std::regex_match(R.Out, std::regex("usrpass \\(Pelorin\\) \\d+\\.\\d+\\.\\d+\n")))
            << R.Out;
        EXPECT_EQ(R.Err, "");
    }
}

TEST_F(UsrpassTest, UsageErrorsExit64WithTheUsageAndTouchNothing) {
    const std::vector<Args> Wrong = {
        {},
        {"frobnicate", UsersFile},
        {"init", UsersFile},                                 // no --admin
        {"init", UsersFile, "--admin"},                      // --admin without a name
        {"init", UsersFile, "--admin", "a", "--admin", "b"}, // twice
        {"init", UsersFile, "--admin", "a", "--json"},       // option of another command
        {"init", "--admin", "a"},                            // no file
        {"list"},
        {"list", UsersFile, "second"},
        {"list", UsersFile, "--verbose"},
        {"check", UsersFile, "--json"},
        {"passwd", UsersFile},
        {"passwd", UsersFile, "admin", "extra"},
        {"passwd", UsersFile, "admin", "--admin", "x"},
        {"add", UsersFile},
        {"add", UsersFile, "a", "--rights"},
        {"set", UsersFile, "--name", "x"},    // neither a user nor --id
        {"set", UsersFile, "a", "--id", "1"}, // both
        {"del", UsersFile, "--id", "65536"},
        {"del", UsersFile, "--id", "x"},
        {"chpasswd", UsersFile, "--password-stdin"},
        {"import", UsersFile, "second"},
        {"import", UsersFile, "--json"}, // only a preview has a JSON form
        {"chpasswd", UsersFile, "--encoding", "klingon"},
        {"check", UsersFile, "--dry-run"},
    };
    for (const Args& A : Wrong) {
        const TRunResult R = RunUsrpass(A, Input("pw\n"));
        std::string Shown;
        for (const std::string& S : A)
            Shown += S + " ";
        EXPECT_EQ(R.ExitCode, 64) << Shown;
        EXPECT_NE(R.Err.find("Użycie:"), std::string::npos) << Shown;
        EXPECT_EQ(R.Err.find("Kody wyjścia:"), std::string::npos) << Shown; // no whole manual
        EXPECT_EQ(R.Out, "") << Shown;
        EXPECT_FALSE(Exists(UsersFile)) << Shown;
    }
}

TEST_F(UsrpassTest, DoubleDashEndsTheOptions) {
    // "-weird" after "--" is a file name: its absence is the store's "no file", not a usage error.
    const TRunResult R = RunUsrpass({"check", "--", Temp / "-weird"});
    EXPECT_EQ(R.ExitCode, 1);
    EXPECT_EQ(R.Err, About(Temp / "-weird") + "Brak pliku z użytkownikami\n");
    // And --admin=NAME is the same as --admin NAME.
    const TRunResult Init =
        RunUsrpass({"init", "--admin=root", "--password-stdin", UsersFile}, Input("pw\n"));
    EXPECT_EQ(Init.ExitCode, 0) << Init.Err;
    EXPECT_EQ(Decoded().Users.at(0).UserName, "root");
}

TEST_F(UsrpassTest, WithoutPlikTheSystemWideSettingNamesTheFile) {
    const std::string Settings = Temp / "pelorin.conf";
    const auto Run = [&](const Args& A, const std::string& Stdin = {}) {
        return RunUsrpass(A, Input(Stdin).WithSettings(Settings));
    };
    WriteText(Settings, "# Zortan's file\nUserFile = " + UsersFile + "\n");
    ASSERT_EQ(Run({"init", "--admin", "admin", "--password-stdin"}, "pw\n").ExitCode, 0);
    // The positionals given fill the places after PLIK.
    const TRunResult Added =
        Run({"add", "jan kowalski", "--rights", "L", "--password-stdin"}, "pw\n");
    ASSERT_EQ(Added.ExitCode, 0) << Added.Err;
    EXPECT_EQ(Decoded().Users.at(1).UserName, "jan kowalski");
    // The command's own file wins, and then the settings are not even read.
    WriteText(Settings, "UserFile=relative/UsrPass.dat\n");
    EXPECT_EQ(Run({"check", UsersFile}).Out, "2\n");
    const TRunResult Broken = Run({"check"});
    EXPECT_EQ(Broken.ExitCode, 78);
    EXPECT_EQ(Broken.Err, "usrpass: " + Settings +
                              ", wiersz 1: UserFile musi być ścieżką bezwzględną, "
                              "zaczynającą się od „/”\n");
    // A message about a file the caller did not name says which one it is, and why.
    const std::string Missing = Temp / "missing.dat";
    WriteText(Settings, "UserFile=" + Missing + "\n");
    const TRunResult NoFile = Run({"passwd", "admin", "--password-stdin"}, "x\n");
    EXPECT_EQ(NoFile.ExitCode, 1);
    EXPECT_EQ(NoFile.Err,
              About(Missing) + "Brak pliku z użytkownikami (UserFile w " + Settings + ")\n");
    EXPECT_FALSE(Exists(Missing));
}
