#pragma once
// Times pelorin as its user sees it, on the X display of $DISPLAY: from the start of the process
// to its logon window on the screen (mapped), and from SIGTERM to the end of the process, which
// includes the save at the halt.

#include <memory>
#include <string>

class TChild;

struct TLogonTimes {
    double StartToLogonMs = 0;
    double TermToExitMs = 0;
};

class TLogonProbe {
public:
    TLogonProbe(); // connects to the display; fails when there is none
    ~TLogonProbe();
    TLogonProbe(const TLogonProbe&) = delete;
    TLogonProbe& operator=(const TLogonProbe&) = delete;

    // Runs Program (a pelorin beside its user file) once; its standard error goes to ErrFile.
    // Fails when the logon window does not come or the program does not end well.
    TLogonTimes Run(const std::string& Program, const std::string& ErrFile);

private:
    // Milliseconds from the child's start until its logon window was mapped.
    double WaitForLogonWindow(const TChild& Child, const std::string& ErrFile);

    struct TState;
    std::unique_ptr<TState> F;
};
