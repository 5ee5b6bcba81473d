#include "runtime/PinnedDirectory.h"

#include "runtime/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <utility>

namespace {

constexpr int PinFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

} // namespace

std::string DirectoryPart(const std::string& Path) {
    const std::size_t Slash = Path.rfind('/');
    if (Slash == std::string::npos)
        return ".";
    return Slash == 0 ? "/" : Path.substr(0, Slash);
}

std::string NamePart(const std::string& Path) {
    const std::size_t Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

TPinnedDirectory::~TPinnedDirectory() {
    if (FFd >= 0)
        Fs().Close(FFd);
}

TPinnedDirectory::TPinnedDirectory(TPinnedDirectory&& Other) noexcept
    : FFd(std::exchange(Other.FFd, -1)), FPath(std::move(Other.FPath)),
      FFileName(std::move(Other.FFileName)) {}

TPinnedDirectory& TPinnedDirectory::operator=(TPinnedDirectory&& Other) noexcept {
    if (this != &Other) {
        if (FFd >= 0)
            Fs().Close(FFd);
        FFd = std::exchange(Other.FFd, -1);
        FPath = std::move(Other.FPath);
        FFileName = std::move(Other.FFileName);
    }
    return *this;
}

bool TPinnedDirectory::OpenDirectory(const std::string& DirPath) {
    *this = TPinnedDirectory();
    // A path descriptor: the *at calls need only the right to search the directory, as the
    // path-based calls did, and the directory itself may not be a symbolic link.
    const int Fd = Fs().Open(DirPath.c_str(), PinFlags | O_NOFOLLOW, 0);
    if (Fd < 0)
        return false;
    FFd = Fd;
    // Absolute, for the messages and the audit trail, which outlive the working directory.
    std::string Absolute = std::filesystem::absolute(DirPath).lexically_normal().string();
    if (Absolute.size() > 1 && Absolute.back() == '/')
        Absolute.pop_back();
    FPath = Absolute;
    return true;
}

bool TPinnedDirectory::PinDirectoryOf(const std::string& Path) {
    // Nothing is locked yet; HoldsFile checks, once the lock is held, that the name resolved
    // here still leads to the locked file.
    *this = TPinnedDirectory();
    std::string Real;
    if (!Fs().RealPath(Path.c_str(), Real) || !OpenDirectory(DirectoryPart(Real)))
        return false;
    FFileName = NamePart(Real);
    return true;
}

bool TPinnedDirectory::HoldsFile(const TFile& Locked) const {
    struct stat Mine {};
    return Locked.Stat(Mine) && Names(FFileName, Mine);
}

bool TPinnedDirectory::PinForNewFile(const std::string& DirPath, const std::string& FileName) {
    if (!OpenDirectory(DirPath))
        return false;
    FFileName = FileName;
    return true;
}

TPinnedDirectory TPinnedDirectory::Duplicate(const std::string& FileName) const {
    TPinnedDirectory Copy;
    if (FFd >= 0) {
        Copy.FFd = Fs().OpenAt(FFd, ".", PinFlags, 0);
        Copy.FPath = FPath;
        Copy.FFileName = FileName;
    }
    return Copy;
}

std::string TPinnedDirectory::PathOf(const std::string& Name) const {
    return FPath == "/" ? "/" + Name : FPath + "/" + Name;
}

bool TPinnedDirectory::Names(const std::string& Name, const struct stat& St) const {
    struct stat Entry {};
    return FFd >= 0 && Fs().FStatAt(FFd, Name.c_str(), &Entry) == 0 && S_ISREG(Entry.st_mode) &&
           Entry.st_dev == St.st_dev && Entry.st_ino == St.st_ino;
}

bool TPinnedDirectory::Has(const std::string& Name) const {
    struct stat Entry {};
    return FFd >= 0 && Fs().FStatAt(FFd, Name.c_str(), &Entry) == 0;
}

bool TPinnedDirectory::Sync() const {
    // A directory is flushed through a descriptor opened for reading, which needs the right to
    // read it; a directory that may be written but not read cannot be flushed.
    const int Fd = FFd >= 0 ? Fs().OpenAt(FFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0) : -1;
    if (Fd < 0)
        return false;
    bool Flushed = false;
    for (int Attempt = 0; Attempt < 2 && !Flushed; ++Attempt)
        Flushed = Fs().Sync(Fd) == 0 || errno == EINVAL;
    Fs().Close(Fd);
    return Flushed;
}
