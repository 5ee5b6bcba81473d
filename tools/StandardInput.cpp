#include "tools/StandardInput.h"

#include "tools/ToolError.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

std::string ReadStandardInput() {
    // In large reads straight from the descriptor: a listing of every user is megabytes, which
    // std::cin would hand over a character at a time.
    std::string Text;
    std::size_t Used = 0;
    for (;;) {
        if (Text.size() - Used < 65536)
            Text.resize(std::max<std::size_t>(Text.size() * 2, 131072));
        const ssize_t N = ::read(STDIN_FILENO, Text.data() + Used, Text.size() - Used);
        if (N == 0)
            break;
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0)
            throw TToolError(ExitData, "nie można odczytać standardowego wejścia");
        Used += static_cast<std::size_t>(N);
        if (Used > MaxInputBytes)
            throw TToolError(ExitData, "standardowe wejście jest dłuższe niż " +
                                           std::to_string(MaxInputBytes >> 20) + " MB");
    }
    Text.resize(Used);
    return Text;
}
