#include "runtime/Path.h"

std::string ExtractFileDir(const std::string& FileName) {
    const std::size_t Slash = FileName.rfind('/');
    if (Slash == std::string::npos)
        return {};
    // Keep the separator when dropping it would leave the root (or a run of separators) bare.
    const bool KeepSlash = Slash == 0 || FileName[Slash - 1] == '/';
    return FileName.substr(0, KeepSlash ? Slash + 1 : Slash);
}
