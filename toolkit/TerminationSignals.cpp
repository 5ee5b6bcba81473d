#include "toolkit/TerminationSignals.h"

#include "toolkit/Application.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array Handled = {SIGTERM, SIGINT, SIGHUP};

// The write end of the self-pipe; the handler may touch nothing else.
volatile std::sig_atomic_t WriteEnd = -1;
std::array<struct sigaction, Handled.size()> Previous{};

extern "C" void OnSignal(int Signal) {
    const int SavedErrno = errno;
    const char Byte = static_cast<char>(Signal);
    if (WriteEnd >= 0) [[maybe_unused]]
        const ssize_t Ignored = write(WriteEnd, &Byte, 1);
    errno = SavedErrno;
}

} // namespace

TTerminationSignals::TTerminationSignals() {
    int Ends[2];
    if (WriteEnd >= 0 || pipe2(Ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // one instance at a time; without a pipe the signals keep their default
    FReadEnd = Ends[0];
    WriteEnd = Ends[1];
    FNotifier = std::make_unique<QSocketNotifier>(FReadEnd, QSocketNotifier::Read);
    QObject::connect(FNotifier.get(), &QSocketNotifier::activated, FNotifier.get(),
                     [this] { Drain(); });
    struct sigaction Action {};
    Action.sa_handler = OnSignal;
    sigemptyset(&Action.sa_mask);
    Action.sa_flags = SA_RESTART;
    for (std::size_t I = 0; I < Handled.size(); ++I)
        sigaction(Handled[I], &Action, &Previous[I]);
}

TTerminationSignals::~TTerminationSignals() {
    if (!FNotifier)
        return;
    for (std::size_t I = 0; I < Handled.size(); ++I)
        sigaction(Handled[I], &Previous[I], nullptr);
    FNotifier.reset();
    close(WriteEnd);
    WriteEnd = -1;
    close(FReadEnd);
}

void TTerminationSignals::Drain() {
    char Bytes[16];
    while (read(FReadEnd, Bytes, sizeof Bytes) > 0) {
    }
    Application.Terminate();
}
