#include "runtime/Path.h"

#include <climits>
#include <cstdlib>

std::string ExtractFileDir(const std::string& FileName) {
    const std::size_t Slash = FileName.rfind('/');
    if (Slash == std::string::npos)
        return {};
    // Keep the separator when dropping it would leave the root (or a run of separators) bare.
    const bool KeepSlash = Slash == 0 || FileName[Slash - 1] == '/';
    return FileName.substr(0, KeepSlash ? Slash + 1 : Slash);
}

std::string RealFilePath(const std::string& Path) {
    char Resolved[PATH_MAX];
    return ::realpath(Path.c_str(), Resolved) != nullptr ? std::string(Resolved) : Path;
}
