#include "tools/PasswordInput.h"

#include "tools/Terminal.h"
#include "tools/ToolError.h"

#include <iostream>

std::string ReadPasswordFromStdin() {
    std::string Line;
    if (!std::getline(std::cin, Line) && Line.empty())
        throw TToolError(ExitData, "brak hasła na standardowym wejściu");
    if (!Line.empty() && Line.back() == '\r')
        Line.pop_back();
    return Line;
}

std::string AskPasswordTwice() {
    TTerminal Tty;
    std::string First = Tty.AskHidden("Wprowadź nowe hasło: ");
    std::string Second = Tty.AskHidden("Powtórz nowe hasło: ");
    if (First != Second)
        throw TToolError(ExitData, "hasło zostało wprowadzone błędnie");
    return First;
}
