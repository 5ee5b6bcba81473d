#pragma once
// The controlling terminal, opened for a prompt whose answer must not be shown.

#include <string>
#include <string_view>

class TTerminal {
public:
    TTerminal(); // throws TToolError (64) when the process has no terminal
    ~TTerminal();
    TTerminal(const TTerminal&) = delete;
    TTerminal& operator=(const TTerminal&) = delete;

    // Writes Prompt, reads one line with echo off and restores the echo, also when a signal
    // ends the process meanwhile. End of input before any line is an error (65).
    std::string AskHidden(std::string_view Prompt);

private:
    int FFd;
};
