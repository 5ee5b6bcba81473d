#pragma once
// A forked child that runs Take (opening and locking a file, say), reports whether it worked,
// and then keeps what it holds until it is killed: another process holding the lock.

#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

class THoldingChild {
public:
    explicit THoldingChild(const std::function<bool()>& Take) {
        int Ready[2];
        if (::pipe(Ready) != 0)
            return;
        std::fflush(nullptr); // no buffered output printed twice
        FPid = ::fork();
        if (FPid == 0) {
            ::close(Ready[0]);
            const char Report = Take() ? 'y' : 'n';
            if (::write(Ready[1], &Report, 1) != 1)
                ::_exit(2);
            ::pause();
            ::_exit(0);
        }
        ::close(Ready[1]);
        char Report = 0;
        FHolding = FPid > 0 && ::read(Ready[0], &Report, 1) == 1 && Report == 'y';
        ::close(Ready[0]);
    }
    ~THoldingChild() { Kill(); }
    THoldingChild(const THoldingChild&) = delete;
    THoldingChild& operator=(const THoldingChild&) = delete;

    // True when the child is running and Take succeeded in it.
    bool Holding() const { return FHolding; }
    pid_t Pid() const { return FPid; }
    // Kills the child and waits for it, so whatever it held is released.
    void Kill() {
        if (FPid > 0) {
            ::kill(FPid, SIGKILL);
            ::waitpid(FPid, nullptr, 0);
            FPid = -1;
        }
        FHolding = false;
    }

private:
    pid_t FPid = -1;
    bool FHolding = false;
};
