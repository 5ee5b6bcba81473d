#pragma once
// Runs the real usrpass executable as a child process, the way a script or an administrator would.

#include <functional>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <utility>
#include <vector>

struct TRunOptions {
    std::string Stdin;                   // written to the child's standard input, then closed
    std::optional<rlim_t> FileSizeLimit; // RLIMIT_FSIZE of the child
    // With a limit the child starts with SIGXFSZ ignored, unless this is set: then the signal
    // has its default action (the process is killed), as in an ordinary shell.
    bool FileSizeSignalKills = false;
    std::optional<uid_t> RunAsUser; // drop to this user and its group (when root)
    std::optional<mode_t> Umask;
    bool StdinClosed = false; // the child starts with descriptor 0 closed
    // PELORIN_CONFIG of the child; by default a file that does not exist, so that the machine's
    // own /etc/pelorin.conf never counts.
    std::string Settings;
    // Runs with the child's pid once its standard input is fed and closed (to kill it, say).
    std::function<void(pid_t)> WhenFed;

    TRunOptions& WithFileSizeLimit(rlim_t Bytes) {
        FileSizeLimit = Bytes;
        return *this;
    }
    // The limit with SIGXFSZ left at its default action: only usrpass itself can ignore it.
    TRunOptions& WithFileSizeLimitAndSignal(rlim_t Bytes) {
        FileSizeLimit = Bytes;
        FileSizeSignalKills = true;
        return *this;
    }
    TRunOptions& WithUmask(mode_t Mask) {
        Umask = Mask;
        return *this;
    }
    TRunOptions& WithStdinClosed() {
        StdinClosed = true;
        return *this;
    }
    TRunOptions& WithSettings(std::string Path) {
        Settings = std::move(Path);
        return *this;
    }
    TRunOptions& OnceFed(std::function<void(pid_t)> Step) {
        WhenFed = std::move(Step);
        return *this;
    }
};

inline TRunOptions Input(std::string Stdin) {
    TRunOptions Options;
    Options.Stdin = std::move(Stdin);
    return Options;
}

struct TRunResult {
    int ExitCode = -1; // -1 when the child did not exit normally
    std::string Out;
    std::string Err;
};

// The child runs in a new session, so it has no controlling terminal.
TRunResult RunUsrpass(const std::vector<std::string>& Args, const TRunOptions& Options = {});

struct TTerminalRun {
    int ExitCode = -1;
    std::string Screen; // everything the child wrote to its terminal
};

// Runs usrpass on a pseudo-terminal and types Answers[i] followed by Enter after the i-th
// password prompt appears on its screen.
TTerminalRun RunUsrpassOnTerminal(const std::vector<std::string>& Args,
                                  const std::vector<std::string>& Answers);
