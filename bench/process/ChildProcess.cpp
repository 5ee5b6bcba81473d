#include "bench/process/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

void FailWith(const std::string& What, const std::string& ErrFile) {
    std::string Message = What;
    if (!ErrFile.empty()) {
        std::ifstream Err(ErrFile);
        Message += ":\n";
        Message.append(std::istreambuf_iterator<char>(Err), std::istreambuf_iterator<char>());
    }
    throw TBenchFailure(Message);
}

double MonotonicMs() {
    timespec Now{};
    clock_gettime(CLOCK_MONOTONIC, &Now);
    return static_cast<double>(Now.tv_sec) * 1e3 + static_cast<double>(Now.tv_nsec) / 1e6;
}

bool TChildEnd::Ok() const {
    return WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
}

std::string TChildEnd::Describe() const {
    if (WIFEXITED(Status))
        return "exit code " + std::to_string(WEXITSTATUS(Status));
    if (WIFSIGNALED(Status))
        return "signal " + std::to_string(WTERMSIG(Status));
    return "status " + std::to_string(Status);
}

TChild::TChild(const std::vector<std::string>& Argv, const std::string& StdinFile,
               const std::string& ErrFile, const std::string& OutFile) {
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    const std::string In = StdinFile.empty() ? "/dev/null" : StdinFile;
    posix_spawn_file_actions_addopen(&Actions, 0, In.c_str(), O_RDONLY, 0);
    const std::string Out = OutFile.empty() ? "/dev/null" : OutFile;
    posix_spawn_file_actions_addopen(&Actions, 1, Out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&Actions, 2, ErrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> Args;
    for (const std::string& A : Argv)
        Args.push_back(const_cast<char*>(A.c_str()));
    Args.push_back(nullptr);
    FStartMs = MonotonicMs();
    const int Rc = posix_spawn(&FPid, Args[0], &Actions, nullptr, Args.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    if (Rc != 0) {
        FPid = -1;
        FailWith("cannot start " + Argv[0] + ": " + std::strerror(Rc));
    }
}

TChild::~TChild() {
    if (FPid > 0) {
        ::kill(FPid, SIGKILL);
        ::waitpid(FPid, nullptr, 0);
    }
}

bool TChild::Wait(double TimeoutMs, TChildEnd& End) {
    // Sleeps in poll on a descriptor of the child until it ends, so that waiting takes no
    // processor time from the child. A kernel without pidfd gets a wait without a timeout.
    const int PidFd = static_cast<int>(::syscall(SYS_pidfd_open, FPid, 0));
    if (PidFd >= 0) {
        pollfd Ready{PidFd, POLLIN, 0};
        int Rc;
        do {
            Rc = ::poll(&Ready, 1, static_cast<int>(TimeoutMs));
        } while (Rc < 0 && errno == EINTR);
        ::close(PidFd);
        if (Rc == 0)
            return false;
    }
    int Status = 0;
    pid_t Got;
    do {
        Got = ::waitpid(FPid, &Status, 0);
    } while (Got < 0 && errno == EINTR);
    if (Got != FPid)
        return false;
    End.Ms = MonotonicMs() - FStartMs;
    End.Status = Status;
    FPid = -1;
    return true;
}

TChildEnd RunToEnd(const std::vector<std::string>& Argv, const std::string& StdinFile,
                   const std::string& ErrFile, const std::string& OutFile, double LimitMs) {
    TChild Child(Argv, StdinFile, ErrFile, OutFile);
    TChildEnd End;
    if (!Child.Wait(LimitMs, End))
        FailWith(Argv[0] + " did not end within " + std::to_string(LimitMs / 1000) + " s", ErrFile);
    if (!End.Ok())
        FailWith(Argv[0] + " failed (" + End.Describe() + ")", ErrFile);
    return End;
}

namespace {

// VmHWM of /proc/PID/status in kilobytes, -1 when it cannot be read.
long HighWaterKb(pid_t Pid) {
    std::ifstream Status("/proc/" + std::to_string(Pid) + "/status");
    for (std::string Line; std::getline(Status, Line);) {
        if (Line.starts_with("VmHWM:"))
            return std::stol(Line.substr(6));
    }
    return -1;
}

// ptrace's variadic data argument is read as a pointer.
void* AsPtraceData(long Value) {
    return reinterpret_cast<void*>(Value);
}

[[noreturn]] void FailedRun(const std::vector<std::string>& Argv, const std::string& ErrFile,
                            const std::string& Why) {
    FailWith(Argv[0] + " failed (" + Why + ")", ErrFile);
}

} // namespace

long PeakRssKb(const std::vector<std::string>& Argv, const std::string& StdinFile,
               const std::string& ErrFile) {
    std::vector<char*> Args;
    for (const std::string& A : Argv)
        Args.push_back(const_cast<char*>(A.c_str()));
    Args.push_back(nullptr);
    const std::string In = StdinFile.empty() ? "/dev/null" : StdinFile;
    const pid_t Pid = ::fork();
    if (Pid < 0)
        FailedRun(Argv, ErrFile, "fork");
    if (Pid == 0) {
        // Only calls that are safe between fork and exec.
        const int InFd = ::open(In.c_str(), O_RDONLY);
        const int OutFd = ::open("/dev/null", O_WRONLY);
        const int ErrFd = ::open(ErrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (InFd < 0 || OutFd < 0 || ErrFd < 0 || ::dup2(InFd, 0) < 0 || ::dup2(OutFd, 1) < 0 ||
            ::dup2(ErrFd, 2) < 0 || ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(127);
        ::execv(Args[0], Args.data());
        ::_exit(127);
    }
    // The child stops at its exec; from then on it is stopped once more, as it exits.
    int Status = 0;
    if (::waitpid(Pid, &Status, 0) != Pid || !WIFSTOPPED(Status))
        FailedRun(Argv, ErrFile, "it did not start");
    ::ptrace(PTRACE_SETOPTIONS, Pid, nullptr, AsPtraceData(PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL));
    ::ptrace(PTRACE_CONT, Pid, nullptr, nullptr);
    long Peak = -1;
    for (;;) {
        if (::waitpid(Pid, &Status, 0) != Pid) {
            ::kill(Pid, SIGKILL);
            FailedRun(Argv, ErrFile, "waitpid");
        }
        if (!WIFSTOPPED(Status))
            break;
        int Signal = WSTOPSIG(Status);
        if (Status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            Peak = HighWaterKb(Pid);
            Signal = 0;
        }
        ::ptrace(PTRACE_CONT, Pid, nullptr, AsPtraceData(Signal));
    }
    const TChildEnd End{0, Status};
    if (!End.Ok())
        FailedRun(Argv, ErrFile, End.Describe());
    if (Peak < 0)
        FailedRun(Argv, ErrFile, "no peak memory in /proc");
    return Peak;
}
