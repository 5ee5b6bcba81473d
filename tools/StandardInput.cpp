#include "tools/StandardInput.h"

#include "tools/ToolError.h"

#include <iostream>
#include <iterator>

std::string ReadStandardInput() {
    std::string Text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    if (std::cin.bad())
        throw TToolError(ExitData, "nie można odczytać standardowego wejścia");
    return Text;
}
