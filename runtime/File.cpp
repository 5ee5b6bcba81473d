#include "runtime/File.h"

#include "runtime/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

// Calls Transfer(Done), one read or write of the bytes from Done on, until Len bytes are moved,
// the end of the file is met (a transfer of 0) or a call fails; interrupted calls are repeated.
// Returns the number of bytes moved, or -1 on failure.
template <class TTransfer> int64_t TransferAll(std::size_t Len, TTransfer Transfer) {
    std::size_t Done = 0;
    while (Done < Len) {
        const ssize_t N = Transfer(Done);
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0)
            return -1;
        if (N == 0)
            break;
        Done += static_cast<std::size_t>(N);
    }
    return static_cast<int64_t>(Done);
}

constexpr int OpenFlags = O_CLOEXEC | O_NOCTTY;

int AccessOf(TFileMode Mode) {
    return Mode == TFileMode::ReadWrite ? O_RDWR : O_RDONLY;
}

} // namespace

bool WriteAll(int Fd, const void* Buf, std::size_t Len) {
    const auto* P = static_cast<const char*>(Buf);
    return TransferAll(Len, [&](std::size_t Done) { return ::write(Fd, P + Done, Len - Done); }) ==
           static_cast<int64_t>(Len);
}

bool WriteAllAt(int Fd, int64_t Offset, const void* Buf, std::size_t Len) {
    const auto* P = static_cast<const char*>(Buf);
    TFileSystem& F = Fs();
    return TransferAll(Len, [&](std::size_t Done) {
               return F.PWrite(Fd, P + Done, Len - Done, Offset + static_cast<int64_t>(Done));
           }) == static_cast<int64_t>(Len);
}

int64_t ReadAllAt(int Fd, int64_t Offset, void* Buf, std::size_t Len) {
    auto* P = static_cast<char*>(Buf);
    TFileSystem& F = Fs();
    return TransferAll(Len, [&](std::size_t Done) {
        return F.PRead(Fd, P + Done, Len - Done, Offset + static_cast<int64_t>(Done));
    });
}

bool OpenStandardDescriptors() {
    for (int Fd = 0; Fd <= 2; ++Fd) {
        if (::fcntl(Fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // Every lower descriptor is open, so the new one is Fd itself.
        const int Got = ::open("/dev/null", Fd == 0 ? O_RDONLY : O_WRONLY);
        if (Got != Fd) {
            if (Got >= 0)
                ::close(Got);
            return false;
        }
    }
    return true;
}

bool FileExists(const std::string& Path) {
    struct stat St {};
    return Fs().Stat(Path.c_str(), &St) == 0 && !S_ISDIR(St.st_mode);
}

TFile::TFile(TFile&& Other) noexcept : FFd(std::exchange(Other.FFd, -1)) {}

TFile& TFile::operator=(TFile&& Other) noexcept {
    if (this != &Other) {
        (void)Close();
        FFd = std::exchange(Other.FFd, -1);
    }
    return *this;
}

// Keeps Fd when it is a regular file that may be opened in Mode; closes it otherwise.
bool TFile::Adopt(int Fd, TFileMode Mode) {
    if (Fd < 0)
        return false;
    struct stat St {};
    int Err = 0;
    if (Fs().FStat(Fd, &St) != 0)
        Err = errno;
    else if (!S_ISREG(St.st_mode))
        Err = EINVAL;
    else if (Mode == TFileMode::ReadWrite && (St.st_mode & 0222) == 0)
        Err = EACCES;
    if (Err != 0) {
        Fs().Close(Fd);
        errno = Err;
        return false;
    }
    FFd = Fd;
    return true;
}

bool TFile::Open(const std::string& Path, TFileMode Mode) {
    (void)Close();
    return Adopt(Fs().Open(Path.c_str(), AccessOf(Mode) | OpenFlags, 0), Mode);
}

bool TFile::OpenAt(int DirFd, const std::string& Name, TFileMode Mode) {
    (void)Close();
    return Adopt(Fs().OpenAt(DirFd, Name.c_str(), AccessOf(Mode) | OpenFlags | O_NOFOLLOW, 0),
                 Mode);
}

bool TFile::CreateAt(int DirFd, const std::string& Name, mode_t Mode) {
    (void)Close();
    const int Fd =
        Fs().OpenAt(DirFd, Name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | OpenFlags, Mode);
    if (Fd < 0)
        return false;
    FFd = Fd;
    return true;
}

bool TFile::Close() {
    if (FFd < 0)
        return true;
    // Linux releases the descriptor even when close reports an error: never retry.
    return Fs().Close(std::exchange(FFd, -1)) == 0;
}

int64_t TFile::Size() const {
    struct stat St {};
    return Stat(St) ? St.st_size : -1;
}

bool TFile::Stat(struct stat& St) const {
    return FFd >= 0 && Fs().FStat(FFd, &St) == 0;
}

int64_t TFile::ReadAt(int64_t Offset, void* Buf, std::size_t Len) const {
    return ReadAllAt(FFd, Offset, Buf, Len);
}

bool TFile::WriteAt(int64_t Offset, const void* Buf, std::size_t Len) {
    return WriteAllAt(FFd, Offset, Buf, Len);
}

bool TFile::Flush() {
    return FFd >= 0 && Fs().Sync(FFd) == 0;
}

TLockResult TFile::LockByte(int64_t Offset) {
    if (Fs().LockByte(FFd, Offset) == 0)
        return TLockResult::Locked;
    return (errno == EAGAIN || errno == EACCES) ? TLockResult::Refused : TLockResult::Failed;
}
