// --dry-run: every writing command checks everything as for real and shows its change as diff
// would show it after the real run; nothing is written, kept or logged.
#include "tests/tools/UsrpassFixture.h"

#include "AuditCapture.h"
#include "tools/Commands.h"

#include <iostream>
#include <sstream>

namespace {

struct TPreview {
    std::vector<std::string> Args; // after the command and the file
    std::string Stdin;
};

} // namespace

TEST_F(UsrpassTest, DryRunShowsWhatTheRealRunChangesAndWritesNothing) {
    const std::vector<std::pair<std::string, TPreview>> Commands = {
        {"add", {{"zofia", "--rights", "L,Id", "--password-stdin"}, "hasło\n"}},
        {"set", {{"kasia", "--user-name", "kaśka", "--objects", "1-3"}, ""}},
        {"del", {{"--id", "102"}, ""}},
        {"chpasswd", {{}, "admin:nowe\nkasia:\n"}}, // kasia's empty password again: no change
        {"import",
         {{"--delete-missing"}, R"({"users":[{"id":101,"rights":"L Is"},{"userName":"ewa"}]})"}},
    };
    // Hand-written for the sample: what each real run changes, as diff prints it.
    const std::vector<std::string> Expected = {
        "dodany: Id 4001, nazwa w Zortan \"zofia\"\n",
        "zmieniony: Id 4000, nazwa w Zortan \"kaśka\": nazwa w Zortan \"kasia\" → \"kaśka\"; "
        "obiekty \"\" → \"1-3\"\n",
        "usunięty: Id 102, nazwa w Zortan \"łukasz\"\n",
        "zmieniony: Id 101, nazwa w Zortan \"admin\": hasło zmienione\n",
        "zmieniony: Id 101, nazwa w Zortan \"admin\": prawa \"L Id Dm Wi\" → \"L Is\"\n"
        "usunięty: Id 102, nazwa w Zortan \"łukasz\"\n"
        "usunięty: Id 4000, nazwa w Zortan \"kasia\"\n"
        "dodany: Id 4001, nazwa w Zortan \"ewa\"\n",
    };
    for (std::size_t I = 0; I < Commands.size(); ++I) {
        const auto& [Command, C] = Commands[I];
        WriteSample();
        const auto Original = Identity();
        std::vector<std::string> Args = {Command, UsersFile};
        Args.insert(Args.end(), C.Args.begin(), C.Args.end());
        std::vector<std::string> DryRun = Args;
        DryRun.push_back("--dry-run");

        const TRunResult Preview = RunUsrpass(DryRun, Input(C.Stdin));
        ASSERT_EQ(Preview.ExitCode, 0) << Command << ": " << Preview.Err;
        EXPECT_EQ(Preview.Out, Expected[I]) << Command;
        EXPECT_EQ(Identity(), Original) << Command;
        EXPECT_FALSE(Exists(UsersFile + "-")) << Command; // no previous version either

        // The same change for real: diff of the previous version against the file agrees.
        ASSERT_EQ(RunUsrpass(Args, Input(C.Stdin)).ExitCode, 0) << Command;
        EXPECT_EQ(RunUsrpass({"diff", UsersFile + "-", UsersFile}).Out, Preview.Out) << Command;
        std::remove((UsersFile + "-").c_str());
    }

    // The JSON form, and a preview refused as the real run would be.
    WriteSample();
    const TRunResult Json = RunUsrpass({"del", UsersFile, "kasia", "--dry-run", "--json"});
    EXPECT_EQ(Json.Out, "{\"added\":[],\"deleted\":[{\"id\":4000,\"userName\":\"kasia\"}],"
                        "\"changed\":[]}\n");
    const TRunResult Refused = RunUsrpass({"import", UsersFile, "--delete-missing", "--dry-run"},
                                          Input(R"({"users":[{"id":101,"rights":0}]})"));
    EXPECT_EQ(Refused.ExitCode, 65);
    EXPECT_EQ(Refused.Out, "");
}

TEST_F(UsrpassTest, DryRunOfRestoreShowsTheWayBack) {
    WriteSample();
    ASSERT_EQ(RunUsrpass({"del", UsersFile, "kasia"}).ExitCode, 0);
    const auto Deleted = Identity();
    const TRunResult R = RunUsrpass({"restore", UsersFile, "--dry-run"});
    ASSERT_EQ(R.ExitCode, 0) << R.Err;
    EXPECT_EQ(R.Out, "dodany: Id 4000, nazwa w Zortan \"kasia\"\n");
    EXPECT_EQ(Identity(), Deleted);
}

TEST_F(UsrpassTest, DryRunWritesNoAuditLine) {
    WriteSample();
    TAuditCapture Audit;
    std::ostringstream Shown;
    std::streambuf* Stdout = std::cout.rdbuf(Shown.rdbuf());
    TArguments Args;
    Args.Kind = TCommandKind::Del;
    Args.FileName = UsersFile;
    Args.UserName = "kasia";
    Args.DryRun = true;
    const int Code = RunDel(Args);
    std::cout.rdbuf(Stdout);
    EXPECT_EQ(Code, 0);
    EXPECT_EQ(Shown.str(), "usunięty: Id 4000, nazwa w Zortan \"kasia\"\n");
    EXPECT_TRUE(Audit.Lines.empty());
}
