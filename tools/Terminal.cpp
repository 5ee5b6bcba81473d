#include "tools/Terminal.h"

#include "runtime/File.h"
#include "tools/ToolError.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// What a signal handler needs to give the terminal its echo back before the process dies.
volatile sig_atomic_t SavedFd = -1;
termios SavedMode{};

constexpr std::array<int, 4> EndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void RestoreAndRedeliver(int Signal) {
    if (SavedFd >= 0)
        tcsetattr(SavedFd, TCSAFLUSH, &SavedMode);
    std::signal(Signal, SIG_DFL);
    raise(Signal);
}

// Echo off for its lifetime; the signals that would end the process restore it first.
class TEchoOff {
public:
    explicit TEchoOff(int Fd) {
        if (tcgetattr(Fd, &SavedMode) != 0)
            throw TToolError(ExitUsage, "nie można wyłączyć wyświetlania hasła na terminalu");
        struct sigaction Action {};
        Action.sa_handler = RestoreAndRedeliver;
        sigemptyset(&Action.sa_mask);
        for (std::size_t I = 0; I < EndingSignals.size(); ++I)
            sigaction(EndingSignals[I], &Action, &Previous[I]);
        SavedFd = Fd;
        termios Hidden = SavedMode;
        Hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        Hidden.c_lflag |= ECHONL; // the Enter still moves to the next line
        if (tcsetattr(Fd, TCSAFLUSH, &Hidden) != 0) {
            Restore();
            throw TToolError(ExitUsage, "nie można wyłączyć wyświetlania hasła na terminalu");
        }
    }
    ~TEchoOff() { Restore(); }
    TEchoOff(const TEchoOff&) = delete;
    TEchoOff& operator=(const TEchoOff&) = delete;

private:
    void Restore() {
        if (SavedFd >= 0)
            tcsetattr(SavedFd, TCSAFLUSH, &SavedMode);
        SavedFd = -1;
        for (std::size_t I = 0; I < EndingSignals.size(); ++I)
            sigaction(EndingSignals[I], &Previous[I], nullptr);
    }

    std::array<struct sigaction, EndingSignals.size()> Previous{};
};

} // namespace

TTerminal::TTerminal() : FFd(open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    if (FFd < 0)
        throw TToolError(ExitUsage, "brak terminala do wprowadzenia hasła; użyj --password-stdin");
}

TTerminal::~TTerminal() {
    close(FFd);
}

std::string TTerminal::AskHidden(std::string_view Prompt) {
    // Echo goes off before the prompt shows, so that nothing typed after it can appear.
    TEchoOff Hidden(FFd);
    if (!WriteAll(FFd, Prompt.data(), Prompt.size()))
        throw TToolError(ExitUsage, "nie można pisać na terminal");
    std::string Line;
    for (;;) {
        char C = 0;
        const ssize_t N = read(FFd, &C, 1);
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0)
            throw TToolError(ExitData, "nie można odczytać hasła z terminala");
        if (N == 0) {
            if (Line.empty())
                throw TToolError(ExitData, "przerwano wprowadzanie hasła");
            return Line;
        }
        if (C == '\n')
            return Line;
        Line.push_back(C);
    }
}
