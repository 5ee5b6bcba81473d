// bench_process: the store's cost as a user waits for it, measured on whole processes. Runs
// usrpass passwd and check on a user file of 65,535 users alternately with plain programs that
// only copy or read the same bytes (bench_plain_copy, bench_plain_read), and, given pelorin and
// an X display, times pelorin from its start to its logon window and from SIGTERM to its end,
// against the same with a one-user file. Prints the medians, then one line per goal, the passwd
// ratio last. Also times the bulk commands as a script uses them: import of the file's own listing
// with every entry changed against list --json, and chpasswd of a line per user against one
// passwd. scripts/bench builds everything and provides the display.
#include "bench/common/BenchUsersFile.h"
#include "bench/process/ChildProcess.h"
#include "bench/process/LogonProbe.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double PasswdGoal = 1.5;   // times the plain copy
constexpr double CheckGoal = 2.0;    // times the plain read
constexpr double MemoryGoal = 1.5;   // times the file, over the one-user baseline
constexpr double LogonGoalMs = 20;   // added to the start by a full file
constexpr double HaltGoal = 1.5;     // times the plain copy
constexpr double ImportGoal = 4.0;   // times list --json of the same file
constexpr double ChpasswdGoal = 5.0; // times one passwd

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    const std::size_t N = Values.size();
    return N % 2 == 1 ? Values[N / 2] : (Values[N / 2 - 1] + Values[N / 2]) / 2;
}

const char* Verdict(bool Met) {
    return Met ? "met" : "MISSED";
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
        if (::mkdtemp(Template.data()) == nullptr)
            FailWith("cannot make a directory in " + Parent);
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

struct TFiles {
    fs::path Big;         // Options.Users users
    fs::path One;         // one user
    fs::path Plain;       // the big file's bytes, for the plain copy
    std::string Password; // the new password, a line for --password-stdin
    fs::path Work;        // a copy of the big file that the bulk commands change
    fs::path Listing;     // the big file's list --json with every entry renamed
    fs::path Lines;       // a chpasswd line for every user of the big file
    std::string Err;      // standard error of the program that ran last
    double BigSize = 0;
};

struct TUsrpassFigures {
    double PasswdMs, CopyMs, CheckMs, ReadMs;
    double PeakBig, PeakOne; // bytes
};

// Each round runs every program once, so that a disturbance hits them alike; round 0 warms the
// page cache and the loader and is not counted. Memory comes apart, under ptrace, which costs
// time.
TUsrpassFigures MeasureUsrpass(const TOptions& O, const TFiles& F) {
    const std::vector<std::string> PasswdBig = {O.Usrpass, "passwd", F.Big.string(), "user1",
                                                "--password-stdin"};
    const std::vector<std::string> PasswdOne = {O.Usrpass, "passwd", F.One.string(), "user1",
                                                "--password-stdin"};
    const std::vector<std::string> Check = {O.Usrpass, "check", F.Big.string()};
    const std::vector<std::string> Copy = {O.PlainCopy, F.Plain.string()};
    const std::vector<std::string> Read = {O.PlainRead, F.Big.string()};
    std::vector<double> Passwd, Copied, Checked, ReadIn, PeakBig, PeakOne;
    for (int Round = 0; Round <= O.Runs; ++Round) {
        const double P = RunToEnd(PasswdBig, F.Password, F.Err).Ms;
        const double C = RunToEnd(Copy, "", F.Err).Ms;
        const double K = RunToEnd(Check, "", F.Err).Ms;
        const double R = RunToEnd(Read, "", F.Err).Ms;
        if (Round == 0)
            continue;
        Passwd.push_back(P);
        Copied.push_back(C);
        Checked.push_back(K);
        ReadIn.push_back(R);
    }
    for (int Round = 0; Round < O.Runs; ++Round) {
        PeakBig.push_back(1024.0 * static_cast<double>(PeakRssKb(PasswdBig, F.Password, F.Err)));
        PeakOne.push_back(1024.0 * static_cast<double>(PeakRssKb(PasswdOne, F.Password, F.Err)));
    }
    return {Median(Passwd), Median(Copied),  Median(Checked),
            Median(ReadIn), Median(PeakBig), Median(PeakOne)};
}

struct TBulkFigures {
    double ImportMs, ListMs, ChpasswdMs, PasswdMs;
};

// The big file's own listing, every user's full name changed, as a script would edit it.
void MakeBulkInputs(const TOptions& O, TFiles& F) {
    const fs::path Listed = F.Listing.string() + ".orig";
    RunToEnd({O.Usrpass, "list", F.Big.string(), "--json"}, "", F.Err, Listed.string());
    std::ifstream In(Listed);
    std::string Text{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
    const std::string From = "\"name\":\"Benchmark user ";
    const std::string To = "\"name\":\"Imported user ";
    int Changed = 0;
    for (std::size_t At = Text.find(From); At != std::string::npos; At = Text.find(From, At)) {
        Text.replace(At, From.size(), To);
        ++Changed;
    }
    if (Changed != O.Users)
        FailWith("the listing does not name every user");
    std::ofstream(F.Listing) << Text;
    std::ofstream Lines(F.Lines);
    for (int I = 1; I <= O.Users; ++I)
        Lines << "user" << I << ":new-" << I % 1000 << '\n';
}

// Each import starts from a fresh copy of the big file (the copy is not timed), so that every
// entry is a change each time. An older build may take its time (quadratic, 20 s and more).
TBulkFigures MeasureBulk(const TOptions& O, const TFiles& F) {
    constexpr double LimitMs = 600'000;
    const std::vector<std::string> Import = {O.Usrpass, "import", F.Work.string()};
    const std::vector<std::string> List = {O.Usrpass, "list", F.Big.string(), "--json"};
    const std::vector<std::string> Chpasswd = {O.Usrpass, "chpasswd", F.Work.string()};
    const std::vector<std::string> Passwd = {O.Usrpass, "passwd", F.Big.string(), "user1",
                                             "--password-stdin"};
    std::vector<double> Imported, Listed, Changed, Set;
    for (int Round = 0; Round <= O.Runs; ++Round) {
        fs::copy_file(F.Big, F.Work, fs::copy_options::overwrite_existing);
        const double I = RunToEnd(Import, F.Listing.string(), F.Err, {}, LimitMs).Ms;
        const double L = RunToEnd(List, "", F.Err).Ms;
        const double C = RunToEnd(Chpasswd, F.Lines.string(), F.Err, {}, LimitMs).Ms;
        const double P = RunToEnd(Passwd, F.Password, F.Err).Ms;
        if (Round == 0)
            continue;
        Imported.push_back(I);
        Listed.push_back(L);
        Changed.push_back(C);
        Set.push_back(P);
    }
    return {Median(Imported), Median(Listed), Median(Changed), Median(Set)};
}

// A copy of pelorin in a directory of its own, beside a copy of the user file.
std::string InstallPelorin(const fs::path& Dir, const std::string& Pelorin,
                           const fs::path& UsersFile) {
    fs::create_directories(Dir);
    fs::copy_file(Pelorin, Dir / "pelorin");
    fs::copy_file(UsersFile, Dir / "UsrPass.dat");
    return (Dir / "pelorin").string();
}

struct TPelorinFigures {
    TLogonTimes Big;
    TLogonTimes One;
};

TPelorinFigures MeasurePelorin(const TOptions& O, const TFiles& F, const fs::path& Work) {
    TLogonProbe Probe;
    const std::string AppBig = InstallPelorin(Work / "app-big", O.Pelorin, F.Big);
    const std::string AppOne = InstallPelorin(Work / "app-one", O.Pelorin, F.One);
    std::vector<double> LogonBig, LogonOne, HaltBig, HaltOne;
    for (int Round = 0; Round <= O.Runs; ++Round) {
        const TLogonTimes B = Probe.Run(AppBig, F.Err);
        const TLogonTimes S = Probe.Run(AppOne, F.Err);
        if (Round == 0)
            continue;
        LogonBig.push_back(B.StartToLogonMs);
        LogonOne.push_back(S.StartToLogonMs);
        HaltBig.push_back(B.TermToExitMs);
        HaltOne.push_back(S.TermToExitMs);
    }
    return {{Median(LogonBig), Median(HaltBig)}, {Median(LogonOne), Median(HaltOne)}};
}

void Report(const TOptions& O, const TFiles& F, const TUsrpassFigures& U,
            const std::optional<TBulkFigures>& B, const std::optional<TPelorinFigures>& P) {
    std::printf("Whole processes, %d users (a %.0f-byte file), medians of %d alternating runs\n",
                O.Users, F.BigSize, O.Runs);
    std::printf("usrpass passwd:                          %8.1f ms\n", U.PasswdMs);
    std::printf("plain copy (read, write, fsync, rename): %8.1f ms\n", U.CopyMs);
    std::printf("usrpass check:                           %8.1f ms\n", U.CheckMs);
    std::printf("plain read:                              %8.1f ms\n", U.ReadMs);
    std::printf("usrpass passwd peak memory:              %8.1f MB (one-user file: %.1f MB)\n",
                U.PeakBig / 1e6, U.PeakOne / 1e6);
    if (B) {
        std::printf("usrpass import, every entry changed:     %8.1f ms\n", B->ImportMs);
        std::printf("usrpass list --json:                     %8.1f ms\n", B->ListMs);
        std::printf("usrpass chpasswd, a line per user:       %8.1f ms\n", B->ChpasswdMs);
        std::printf("usrpass passwd, beside chpasswd:         %8.1f ms\n", B->PasswdMs);
    }
    if (P) {
        std::printf("pelorin start to logon window:           %8.1f ms (one-user file: %.1f ms)\n",
                    P->Big.StartToLogonMs, P->One.StartToLogonMs);
        std::printf("pelorin SIGTERM to exit:                 %8.1f ms (one-user file: %.1f ms)\n",
                    P->Big.TermToExitMs, P->One.TermToExitMs);
        const double Added = P->Big.StartToLogonMs - P->One.StartToLogonMs;
        std::printf("pelorin start to logon: +%.1f ms over a one-user file (goal <= %.0f ms): %s\n",
                    Added, LogonGoalMs, Verdict(Added <= LogonGoalMs));
        const double Halt = P->Big.TermToExitMs / U.CopyMs;
        std::printf("pelorin SIGTERM to exit: %.2f times the plain copy (goal <= %.1f): %s\n", Halt,
                    HaltGoal, Verdict(Halt <= HaltGoal));
    }
    if (B) {
        const double Import = B->ImportMs / B->ListMs;
        std::printf("import: %.2f times list --json (goal <= %.1f): %s\n", Import, ImportGoal,
                    Verdict(Import <= ImportGoal));
        const double Chpasswd = B->ChpasswdMs / B->PasswdMs;
        std::printf("chpasswd: %.2f times one passwd (goal <= %.1f): %s\n", Chpasswd, ChpasswdGoal,
                    Verdict(Chpasswd <= ChpasswdGoal));
    }
    const double Memory = (U.PeakBig - U.PeakOne) / F.BigSize;
    std::printf("passwd peak memory: the one-user baseline + %.2f times the file (goal <= %.1f): "
                "%s\n",
                Memory, MemoryGoal, Verdict(Memory <= MemoryGoal));
    const double Check = U.CheckMs / U.ReadMs;
    std::printf("check: %.2f times the plain read (goal <= %.1f): %s\n", Check, CheckGoal,
                Verdict(Check <= CheckGoal));
    const double Passwd = U.PasswdMs / U.CopyMs;
    std::printf("passwd: %.2f times the plain copy (goal <= %.1f): %s\n", Passwd, PasswdGoal,
                Verdict(Passwd <= PasswdGoal));
}

int Run(int argc, char** argv) {
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
    bool Bulk = true;
    Cli.add_flag("!--no-bulk", Bulk, "leave out import and chpasswd");
    CLI11_PARSE(Cli, argc, argv);

    const TWorkDir Work(O.Dir);
    TFiles F;
    F.Big = Work.Path / "big.dat";
    F.One = Work.Path / "one.dat";
    F.Plain = Work.Path / "plain.dat";
    F.Password = (Work.Path / "password").string();
    F.Err = (Work.Path / "stderr.log").string();
    F.Work = Work.Path / "work.dat";
    F.Listing = Work.Path / "listing.json";
    F.Lines = Work.Path / "lines.txt";
    MakeBenchUsersFile(F.Big.string(), O.Users);
    MakeBenchUsersFile(F.One.string(), 1);
    fs::copy_file(F.Big, F.Plain);
    std::ofstream(F.Password) << "bench-password\n";
    F.BigSize = static_cast<double>(fs::file_size(F.Big));

    const TUsrpassFigures U = MeasureUsrpass(O, F);
    std::optional<TBulkFigures> B;
    if (Bulk) {
        MakeBulkInputs(O, F);
        B = MeasureBulk(O, F);
    }
    std::optional<TPelorinFigures> P;
    if (!O.Pelorin.empty())
        P = MeasurePelorin(O, F, Work.Path);
    Report(O, F, U, B, P);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& E) {
        std::fprintf(stderr, "bench_process: %s\n", E.what());
        return 1;
    }
}
