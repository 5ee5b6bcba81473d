#pragma once
// While it lives, SIGTERM, SIGINT and SIGHUP end the run in order instead of killing the
// process: the signal is handed to the event loop, which calls Application.Terminate() (the
// open dialogs close as Cancel and the main loop quits), so the program's own halt still runs.
// Create it after Application.Initialize and destroy it before Application.Finalize.

#include <memory>

class QSocketNotifier;

class TTerminationSignals {
public:
    TTerminationSignals();
    ~TTerminationSignals();
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

    bool Active() const { return FNotifier != nullptr; }

private:
    void Drain();

    int FReadEnd = -1;
    std::unique_ptr<QSocketNotifier> FNotifier;
};
