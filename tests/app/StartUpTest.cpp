// pelorin's start-up as the administrator and the machine meet it: the command line, which user
// file a run keeps, and a file whose users do not fit in the memory left.
#include "app/CommandLine.h"
#include "app/OpenForRun.h"
#include "app/UserFileLocation.h"
#include "runtime/Settings.h"

#include "FileBytes.h"
#include "RefFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using TAction = TProgramArguments::TAction;

TProgramArguments Parse(std::vector<std::string_view> Args) {
    return ParseProgramArguments(Args);
}

std::string UsageErrorOf(std::vector<std::string_view> Args) {
    try {
        Parse(Args);
    } catch (const TProgramUsageError& E) {
        return E.what();
    }
    return "taken";
}

// Runs Body in a forked child and returns its exit code (-1 when it did not exit, 99 when
// Body threw).
int InChild(const std::function<int()>& Body) {
    std::fflush(nullptr);
    const pid_t Pid = ::fork();
    if (Pid == 0) {
        try {
            ::_exit(Body());
        } catch (...) {
            ::_exit(99);
        }
    }
    int Status = 0;
    ::waitpid(Pid, &Status, 0);
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

// The process's address space now, from the kernel.
rlim_t AddressSpaceBytes() {
    std::ifstream Status("/proc/self/status");
    std::string Key;
    rlim_t KiB = 0;
    while (Status >> Key) {
        if (Key == "VmSize:" && Status >> KiB)
            return KiB * 1024;
    }
    return 0;
}

} // namespace

TEST(PelorinCommandLine, TakesTheFileHelpAndVersionAndRefusesAnythingElse) {
    EXPECT_EQ(Parse({}).Action, TAction::Run);
    EXPECT_EQ(Parse({}).UserFile, "");
    EXPECT_EQ(Parse({"--file", "/opt/zortan/UsrPass.dat"}).UserFile, "/opt/zortan/UsrPass.dat");
    EXPECT_EQ(Parse({"-f", "a b.dat"}).UserFile, "a b.dat");
    EXPECT_EQ(Parse({"--file=-x.dat"}).UserFile, "-x.dat");
    EXPECT_EQ(Parse({"--help"}).Action, TAction::Help);
    EXPECT_EQ(Parse({"-f", "x", "--version"}).Action, TAction::Version);

    EXPECT_EQ(UsageErrorOf({"--verbose"}), "Nieznana opcja: --verbose");
    EXPECT_EQ(UsageErrorOf({"-platform", "xcb"}), "Nieznana opcja: -platform");
    EXPECT_EQ(UsageErrorOf({"/opt/zortan/UsrPass.dat"}),
              "Nadmiarowy argument: /opt/zortan/UsrPass.dat (plik z użytkownikami wskazuje się "
              "opcją --file)");
    EXPECT_EQ(UsageErrorOf({"--file"}), "Opcja --file wymaga wartości");
    EXPECT_EQ(UsageErrorOf({"-f", "a", "--file", "b"}), "Opcja --file podana więcej niż raz");
    EXPECT_EQ(UsageErrorOf({"--file", ""}), "Pusta nazwa pliku");
}

TEST(PelorinUserFile, CommandLineThenSettingThenBesideTheProgram) {
    TTempDir Temp;
    const std::string Settings = Temp / "pelorin.conf";
    ASSERT_EQ(setenv("PELORIN_CONFIG", Settings.c_str(), 1), 0);

    TUserFileLocation L = LocateUserFile("", "/usr/lib/pelorin");
    EXPECT_EQ(L.Path, "/usr/lib/pelorin/UsrPass.dat");
    EXPECT_EQ(UserFileDetail(L), "/usr/lib/pelorin/UsrPass.dat\n(plik w katalogu programu; inny "
                                 "plik wskazuje UserFile w " +
                                     Settings + " albo opcja --file)");

    WriteText(Settings, "UserFile=/opt/zortan/UsrPass.dat\n");
    L = LocateUserFile("", "/usr/lib/pelorin");
    EXPECT_EQ(L.Path, "/opt/zortan/UsrPass.dat");
    EXPECT_EQ(UserFileDetail(L), "/opt/zortan/UsrPass.dat\n(UserFile w " + Settings + ")");

    // A settings file that is not understood stops the run, unless --file makes it moot.
    WriteText(Settings, "UserFile=UsrPass.dat\n");
    EXPECT_THROW(LocateUserFile("", "/usr/lib/pelorin"), TSettingsError);
    const std::string Cwd = std::filesystem::current_path().string();
    L = LocateUserFile("./kopia.dat", "/usr/lib/pelorin");
    EXPECT_EQ(L.Path, Cwd + "/kopia.dat"); // what the messages and the audit trail show
    EXPECT_EQ(UserFileDetail(L), Cwd + "/kopia.dat\n(opcja --file)");
    EXPECT_EQ(LocateUserFile("/srv/u.dat", "").Path, "/srv/u.dat");
    unsetenv("PELORIN_CONFIG");
}

// The users of a file too large for the memory left: a result to report, not std::terminate,
// and a store that writes nothing at its halt.
TEST(PelorinUserFile, UsersBeyondTheMemoryLeftAreAnOpenResult) {
    TTempDir Temp;
    const std::string File = Temp / "UsrPass.dat";
    ref::TFileContents Big;
    Big.Seed = 4711;
    Big.Users.resize(20000);
    for (std::size_t I = 0; I < Big.Users.size(); ++I) {
        Big.Users[I].Id = static_cast<uint16_t>(I + 1);
        Big.Users[I].UserName = "u" + std::to_string(I);
    }
    const std::vector<uint8_t> Bytes = ref::EncodeFile(Big);
    WriteBytes(File, Bytes);

    const int Result = InChild([&] {
        // 4 MB of address space beyond what the process has: the file's 20,000 users need more.
        const rlim_t Limit = AddressSpaceBytes() + 4 * 1024 * 1024;
        const rlimit AddressSpace{Limit, Limit};
        if (setrlimit(RLIMIT_AS, &AddressSpace) != 0)
            return 2;
        TUserManager Store;
        const int Code = OpenUserFileForRun(Store, File);
        if (Store.IsForWriting() || !Store.Save())
            return 3;
        return Code;
    });
    EXPECT_EQ(Result, OpenOutOfMemory);
    EXPECT_EQ(ReadBytes(File), Bytes);
    // With the memory there, the same file opens.
    EXPECT_EQ(InChild([&] {
                  TUserManager Store;
                  return OpenUserFileForRun(Store, File) == ueOk && Store.Count() == 20000 ? 0 : 1;
              }),
              0);
}
