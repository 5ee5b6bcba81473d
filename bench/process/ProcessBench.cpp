// bench_process: the store's cost as a user waits for it, measured on whole processes. Runs
// usrpass passwd and check on a user file of 65,535 users alternately with plain programs that
// only copy or read the same bytes (bench_plain_copy, bench_plain_read), and, given pelorin and
// an X display, times pelorin from its start to its logon window and from SIGTERM to its end,
// against the same with a one-user file. Prints the medians, then one line per goal, the passwd
// ratio last. scripts/bench builds everything and provides the display.
#include "bench/common/BenchUsersFile.h"
#include "bench/process/ChildProcess.h"
#include "bench/process/LogonProbe.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double PasswdGoal = 1.5; // times the plain copy
constexpr double CheckGoal = 2.0;  // times the plain read
constexpr double MemoryGoal = 1.5; // times the file, over the one-user baseline
constexpr double LogonGoalMs = 20; // added to the start by a full file
constexpr double HaltGoal = 1.5;   // times the plain copy

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    const std::size_t N = Values.size();
    return N % 2 == 1 ? Values[N / 2] : (Values[N / 2 - 1] + Values[N / 2]) / 2;
}

struct TOptions {
    std::string Usrpass;
    std::string Pelorin;
    std::string PlainCopy;
    std::string PlainRead;
    std::string Dir;
    int Runs = 11;
    int Users = 65535;
};

// A fresh directory for the run's files, removed at the end.
struct TWorkDir {
    explicit TWorkDir(const std::string& Parent) {
        std::string Template = (fs::path(Parent) / "bench-process-XXXXXX").string();
        if (::mkdtemp(Template.data()) == nullptr) {
            std::perror(("bench_process: " + Parent).c_str());
            std::exit(1);
        }
        Path = Template;
    }
    ~TWorkDir() {
        std::error_code Ignored;
        fs::remove_all(Path, Ignored);
    }
    TWorkDir(const TWorkDir&) = delete;
    TWorkDir& operator=(const TWorkDir&) = delete;
    fs::path Path;
};

// A copy of pelorin in a directory of its own, beside a copy of the user file.
std::string InstallPelorin(const fs::path& Dir, const std::string& Pelorin,
                           const fs::path& UsersFile) {
    fs::create_directories(Dir);
    fs::copy_file(Pelorin, Dir / "pelorin");
    fs::copy_file(UsersFile, Dir / "UsrPass.dat");
    return (Dir / "pelorin").string();
}

const char* Verdict(bool Met) {
    return Met ? "met" : "MISSED";
}

} // namespace

int main(int argc, char** argv) {
    TOptions O;
    const fs::path Here = fs::canonical("/proc/self/exe").parent_path();
    O.PlainCopy = (Here / "bench_plain_copy").string();
    O.PlainRead = (Here / "bench_plain_read").string();
    O.Dir = fs::temp_directory_path().string();
    CLI::App Cli{"Times usrpass and pelorin as whole processes against plain copies and reads."};
    Cli.add_option("--usrpass", O.Usrpass, "the usrpass executable")->required();
    Cli.add_option("--pelorin", O.Pelorin, "the pelorin executable (needs an X display)");
    Cli.add_option("--plain-copy", O.PlainCopy, "bench_plain_copy")->capture_default_str();
    Cli.add_option("--plain-read", O.PlainRead, "bench_plain_read")->capture_default_str();
    Cli.add_option("--dir", O.Dir, "where the files are made (a real disk, not tmpfs)")
        ->capture_default_str();
    Cli.add_option("--runs", O.Runs, "runs of each program")
        ->check(CLI::Range(1, 1000))
        ->capture_default_str();
    Cli.add_option("--users", O.Users, "users in the big file")
        ->check(CLI::Range(1, 65535))
        ->capture_default_str();
    CLI11_PARSE(Cli, argc, argv);

    const TWorkDir Work(O.Dir);
    const fs::path Big = Work.Path / "big.dat";
    const fs::path One = Work.Path / "one.dat";
    const fs::path Plain = Work.Path / "plain.dat";
    const std::string Err = (Work.Path / "stderr.log").string();
    const std::string Password = (Work.Path / "password").string();
    MakeBenchUsersFile(Big.string(), O.Users);
    MakeBenchUsersFile(One.string(), 1);
    fs::copy_file(Big, Plain);
    std::ofstream(Password) << "bench-password\n";
    const auto FileSize = static_cast<double>(fs::file_size(Big));

    const std::vector<std::string> PasswdBig = {O.Usrpass, "passwd", Big.string(), "user1",
                                                "--password-stdin"};
    const std::vector<std::string> PasswdOne = {O.Usrpass, "passwd", One.string(), "user1",
                                                "--password-stdin"};
    const std::vector<std::string> Check = {O.Usrpass, "check", Big.string()};
    const std::vector<std::string> Copy = {O.PlainCopy, Plain.string()};
    const std::vector<std::string> Read = {O.PlainRead, Big.string()};

    std::vector<double> PasswdMs, CopyMs, CheckMs, ReadMs, RssBigKb, RssOneKb;
    // Round 0 warms the page cache and the loader and is not counted.
    for (int Round = 0; Round <= O.Runs; ++Round) {
        const TChildEnd P = RunToEnd(PasswdBig, Password, Err);
        const TChildEnd C = RunToEnd(Copy, "", Err);
        const TChildEnd K = RunToEnd(Check, "", Err);
        const TChildEnd R = RunToEnd(Read, "", Err);
        if (Round == 0)
            continue;
        PasswdMs.push_back(P.Ms);
        CopyMs.push_back(C.Ms);
        CheckMs.push_back(K.Ms);
        ReadMs.push_back(R.Ms);
    }
    // Memory apart, under ptrace, which costs time.
    for (int Round = 0; Round < O.Runs; ++Round) {
        RssBigKb.push_back(static_cast<double>(PeakRssKb(PasswdBig, Password, Err)));
        RssOneKb.push_back(static_cast<double>(PeakRssKb(PasswdOne, Password, Err)));
    }

    std::optional<TLogonTimes> PelorinBig, PelorinOne;
    if (!O.Pelorin.empty()) {
        TLogonProbe Probe;
        const std::string AppBig = InstallPelorin(Work.Path / "app-big", O.Pelorin, Big);
        const std::string AppOne = InstallPelorin(Work.Path / "app-one", O.Pelorin, One);
        std::vector<double> LogonBig, LogonOne, HaltBig, HaltOne;
        for (int Round = 0; Round <= O.Runs; ++Round) {
            const TLogonTimes B = Probe.Run(AppBig, Err);
            const TLogonTimes S = Probe.Run(AppOne, Err);
            if (Round == 0)
                continue;
            LogonBig.push_back(B.StartToLogonMs);
            LogonOne.push_back(S.StartToLogonMs);
            HaltBig.push_back(B.TermToExitMs);
            HaltOne.push_back(S.TermToExitMs);
        }
        PelorinBig = TLogonTimes{Median(LogonBig), Median(HaltBig)};
        PelorinOne = TLogonTimes{Median(LogonOne), Median(HaltOne)};
    }

    const double Passwd = Median(PasswdMs);
    const double Copied = Median(CopyMs);
    const double Checked = Median(CheckMs);
    const double ReadIn = Median(ReadMs);
    const double RssBig = Median(RssBigKb) * 1024;
    const double RssOne = Median(RssOneKb) * 1024;
    std::printf("Whole processes, %d users (a %.0f-byte file), medians of %d alternating runs\n",
                O.Users, FileSize, O.Runs);
    std::printf("usrpass passwd:                       %8.1f ms\n", Passwd);
    std::printf("plain copy (read, write, fsync, rename): %5.1f ms\n", Copied);
    std::printf("usrpass check:                        %8.1f ms\n", Checked);
    std::printf("plain read:                           %8.1f ms\n", ReadIn);
    std::printf("usrpass passwd peak memory:           %8.1f MB (one-user file: %.1f MB)\n",
                RssBig / 1e6, RssOne / 1e6);
    if (PelorinBig) {
        std::printf("pelorin start to logon window:        %8.1f ms (one-user file: %.1f ms)\n",
                    PelorinBig->StartToLogonMs, PelorinOne->StartToLogonMs);
        std::printf("pelorin SIGTERM to exit:              %8.1f ms (one-user file: %.1f ms)\n",
                    PelorinBig->TermToExitMs, PelorinOne->TermToExitMs);
        const double Added = PelorinBig->StartToLogonMs - PelorinOne->StartToLogonMs;
        std::printf("pelorin start to logon: +%.1f ms over a one-user file (goal <= %.0f ms): %s\n",
                    Added, LogonGoalMs, Verdict(Added <= LogonGoalMs));
        const double Halt = PelorinBig->TermToExitMs / Copied;
        std::printf("pelorin SIGTERM to exit: %.2f times the plain copy (goal <= %.1f): %s\n", Halt,
                    HaltGoal, Verdict(Halt <= HaltGoal));
    }
    const double Memory = (RssBig - RssOne) / FileSize;
    std::printf("passwd peak memory: the one-user baseline + %.2f times the file (goal <= %.1f): "
                "%s\n",
                Memory, MemoryGoal, Verdict(Memory <= MemoryGoal));
    const double CheckRatio = Checked / ReadIn;
    std::printf("check: %.2f times the plain read (goal <= %.1f): %s\n", CheckRatio, CheckGoal,
                Verdict(CheckRatio <= CheckGoal));
    const double PasswdRatio = Passwd / Copied;
    std::printf("passwd: %.2f times the plain copy (goal <= %.1f): %s\n", PasswdRatio, PasswdGoal,
                Verdict(PasswdRatio <= PasswdGoal));
    return 0;
}
