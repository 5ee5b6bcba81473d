#include "tests/tools/Subprocess.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr auto Timeout = std::chrono::seconds(30);
constexpr const char* NoSettings = "/nonexistent/pelorin.conf";

std::vector<char*> ArgvOf(const std::vector<std::string>& Args, std::string& Program) {
    Program = USRPASS_PATH;
    std::vector<char*> Argv{Program.data()};
    for (const std::string& A : Args)
        Argv.push_back(const_cast<char*>(A.c_str()));
    Argv.push_back(nullptr);
    return Argv;
}

int WaitForExit(pid_t Pid) {
    int Status = 0;
    while (waitpid(Pid, &Status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

struct TPipe {
    int Read = -1;
    int Write = -1;
    TPipe() {
        int Fds[2];
        if (pipe2(Fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        Read = Fds[0];
        Write = Fds[1];
    }
};

[[noreturn]] void ExecChild(const TRunOptions& O, TPipe& In, TPipe& Out, TPipe& Err,
                            const std::vector<std::string>& Args) {
    setsid();
    signal(SIGPIPE, SIG_DFL);
    if (O.StdinClosed)
        close(0);
    else
        dup2(In.Read, 0);
    dup2(Out.Write, 1);
    dup2(Err.Write, 2);
    if (O.FileSizeLimit) {
        // An ignored signal stays ignored across exec; a default one is reset in case the
        // test runner itself ignores it.
        signal(SIGXFSZ, O.FileSizeSignalKills ? SIG_DFL : SIG_IGN);
        const rlimit Limit{*O.FileSizeLimit, *O.FileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &Limit);
    }
    setenv("PELORIN_CONFIG", O.Settings.empty() ? NoSettings : O.Settings.c_str(), 1);
    if (O.Umask)
        umask(*O.Umask);
    if (O.RunAsUser) {
        if (setgroups(0, nullptr) != 0 || setgid(*O.RunAsUser) != 0 || setuid(*O.RunAsUser) != 0)
            _exit(126);
    }
    std::string Program;
    std::vector<char*> Argv = ArgvOf(Args, Program);
    execv(Program.c_str(), Argv.data());
    _exit(127);
}

} // namespace

TRunResult RunUsrpass(const std::vector<std::string>& Args, const TRunOptions& Options) {
    signal(SIGPIPE, SIG_IGN); // a child that exits without reading its input must not kill us
    TPipe In, Out, Err;
    const pid_t Pid = fork();
    if (Pid < 0)
        throw std::runtime_error("fork");
    if (Pid == 0)
        ExecChild(Options, In, Out, Err, Args);
    close(In.Read);
    close(Out.Write);
    close(Err.Write);

    // Feed standard input and drain both outputs together, so that no pipe fills up and stalls.
    TRunResult Result;
    std::size_t Fed = 0;
    int StdinFd = In.Write;
    if (Options.Stdin.empty()) {
        close(StdinFd);
        StdinFd = -1;
    }
    std::array<std::string*, 2> Sinks = {&Result.Out, &Result.Err};
    std::array<int, 2> Sources = {Out.Read, Err.Read};
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    bool Stepped = !Options.WhenFed;
    while (Sources[0] >= 0 || Sources[1] >= 0) {
        if (!Stepped && StdinFd < 0) {
            Stepped = true;
            Options.WhenFed(Pid);
        }
        std::array<pollfd, 3> Fds{};
        Fds[0] = {Sources[0], POLLIN, 0};
        Fds[1] = {Sources[1], POLLIN, 0};
        Fds[2] = {StdinFd, POLLOUT, 0};
        if (poll(Fds.data(), Fds.size(), 1000) < 0 && errno != EINTR)
            break;
        if (std::chrono::steady_clock::now() > Deadline) {
            kill(Pid, SIGKILL);
            break;
        }
        for (std::size_t I = 0; I < 2; ++I) {
            if (Sources[I] < 0 || Fds[I].revents == 0)
                continue;
            char Buf[4096];
            const ssize_t N = read(Sources[I], Buf, sizeof Buf);
            if (N > 0) {
                Sinks[I]->append(Buf, static_cast<std::size_t>(N));
            } else if (N == 0 || errno != EINTR) {
                close(Sources[I]);
                Sources[I] = -1;
            }
        }
        if (StdinFd >= 0 && Fds[2].revents != 0) {
            const ssize_t N =
                (Fds[2].revents & POLLOUT)
                    ? write(StdinFd, Options.Stdin.data() + Fed, Options.Stdin.size() - Fed)
                    : -1;
            if (N > 0)
                Fed += static_cast<std::size_t>(N);
            if (N < 0 || Fed == Options.Stdin.size()) {
                close(StdinFd);
                StdinFd = -1;
            }
        }
    }
    for (int Fd : {Sources[0], Sources[1], StdinFd}) {
        if (Fd >= 0)
            close(Fd);
    }
    Result.ExitCode = WaitForExit(Pid);
    return Result;
}

TTerminalRun RunUsrpassOnTerminal(const std::vector<std::string>& Args,
                                  const std::vector<std::string>& Answers) {
    std::string Program;
    std::vector<char*> Argv = ArgvOf(Args, Program);
    int Master = -1;
    const pid_t Pid = forkpty(&Master, nullptr, nullptr, nullptr);
    if (Pid < 0)
        throw std::runtime_error("forkpty");
    if (Pid == 0) {
        setenv("PELORIN_CONFIG", NoSettings, 1);
        execv(Program.c_str(), Argv.data());
        _exit(127);
    }

    TTerminalRun Result;
    std::size_t Answered = 0;
    const auto Deadline = std::chrono::steady_clock::now() + Timeout;
    for (;;) {
        pollfd Fd{Master, POLLIN, 0};
        if (poll(&Fd, 1, 1000) < 0 && errno != EINTR)
            break;
        if (std::chrono::steady_clock::now() > Deadline) {
            kill(Pid, SIGKILL);
            break;
        }
        if (Fd.revents == 0)
            continue;
        char Buf[1024];
        const ssize_t N = read(Master, Buf, sizeof Buf);
        if (N <= 0) {
            if (N < 0 && errno == EINTR)
                continue;
            break; // EIO: the child closed its side of the terminal
        }
        Result.Screen.append(Buf, static_cast<std::size_t>(N));
        // One answer per prompt shown so far; each prompt ends in "hasło: ".
        std::size_t Prompts = 0;
        for (std::size_t At = Result.Screen.find("hasło: "); At != std::string::npos;
             At = Result.Screen.find("hasło: ", At + 1))
            ++Prompts;
        while (Answered < Prompts && Answered < Answers.size()) {
            const std::string Line = Answers[Answered++] + "\n";
            if (write(Master, Line.data(), Line.size()) != static_cast<ssize_t>(Line.size()))
                break;
        }
    }
    close(Master);
    Result.ExitCode = WaitForExit(Pid);
    return Result;
}
