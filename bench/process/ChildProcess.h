#pragma once
// Runs a program as a child process and times it from its spawn to its end, as a user waits
// for it: the process's own start, its loading and its exit included.

#include <stdexcept>
#include <string>
#include <sys/types.h>
#include <vector>

// Why the benchmark cannot go on. Thrown, so that children still running are killed and the
// files removed on the way out; bench_process's main reports it.
class TBenchFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws TBenchFailure with What and, when there is one, a failed program's standard error.
[[noreturn]] void FailWith(const std::string& What, const std::string& ErrFile = {});

double MonotonicMs(); // a monotonic clock in milliseconds

struct TChildEnd {
    double Ms = 0;                // from the spawn to the end
    int Status = 0;               // as waitpid gives it
    bool Ok() const;              // exited with 0
    std::string Describe() const; // "exit code 3", "signal 9"
};

class TChild {
public:
    // Starts Argv[0] with Argv; standard input from StdinFile (else /dev/null), standard output
    // to OutFile (else /dev/null), standard error to ErrFile. Fails when it cannot start.
    TChild(const std::vector<std::string>& Argv, const std::string& StdinFile,
           const std::string& ErrFile, const std::string& OutFile = {});
    ~TChild(); // kills and reaps a child still running
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    pid_t Pid() const { return FPid; }
    double StartMs() const { return FStartMs; }
    // Waits up to TimeoutMs for the end; false when it did not come (the child still runs).
    bool Wait(double TimeoutMs, TChildEnd& End);

private:
    pid_t FPid = -1;
    double FStartMs = 0;
};

// Runs a program to its end (at most LimitMs); fails when the program does.
TChildEnd RunToEnd(const std::vector<std::string>& Argv, const std::string& StdinFile,
                   const std::string& ErrFile, const std::string& OutFile = {},
                   double LimitMs = 60'000);

// Runs a program to its end and returns the peak of its resident memory in kilobytes, read as it
// exits from the high-water mark of the memory it got at exec. (The maximum that wait4 reports
// would count the memory of the process that started it as well.) Fails when the program does.
long PeakRssKb(const std::vector<std::string>& Argv, const std::string& StdinFile,
               const std::string& ErrFile);
