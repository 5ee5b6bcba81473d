#include "runtime/File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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

} // namespace

bool WriteAll(int Fd, const void* Buf, std::size_t Len) {
    const auto* P = static_cast<const char*>(Buf);
    return TransferAll(Len, [&](std::size_t Done) { return ::write(Fd, P + Done, Len - Done); }) ==
           static_cast<int64_t>(Len);
}

bool WriteAllAt(int Fd, int64_t Offset, const void* Buf, std::size_t Len) {
    const auto* P = static_cast<const char*>(Buf);
    return TransferAll(Len, [&](std::size_t Done) {
               return ::pwrite(Fd, P + Done, Len - Done, Offset + static_cast<int64_t>(Done));
           }) == static_cast<int64_t>(Len);
}

int64_t ReadAllAt(int Fd, int64_t Offset, void* Buf, std::size_t Len) {
    auto* P = static_cast<char*>(Buf);
    return TransferAll(Len, [&](std::size_t Done) {
        return ::pread(Fd, P + Done, Len - Done, Offset + static_cast<int64_t>(Done));
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
    return ::stat(Path.c_str(), &St) == 0 && !S_ISDIR(St.st_mode);
}

TFile::TFile(TFile&& Other) noexcept : FFd(std::exchange(Other.FFd, -1)) {}

TFile& TFile::operator=(TFile&& Other) noexcept {
    if (this != &Other) {
        Close();
        FFd = std::exchange(Other.FFd, -1);
    }
    return *this;
}

bool TFile::Open(const std::string& Path, TFileMode Mode) {
    Close();
    const int Access = Mode == TFileMode::ReadWrite ? O_RDWR : O_RDONLY;
    // Non-blocking so that a FIFO in the file's place cannot hang the open.
    const int Fd = ::open(Path.c_str(), Access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (Fd < 0)
        return false;
    struct stat St {};
    if (::fstat(Fd, &St) != 0 || !S_ISREG(St.st_mode)) {
        ::close(Fd);
        errno = EINVAL;
        return false;
    }
    if (Mode == TFileMode::ReadWrite && (St.st_mode & 0222) == 0) {
        ::close(Fd);
        errno = EACCES;
        return false;
    }
    const int Flags = ::fcntl(Fd, F_GETFL);
    if (Flags < 0 || ::fcntl(Fd, F_SETFL, Flags & ~O_NONBLOCK) != 0) {
        const int Err = errno;
        ::close(Fd);
        errno = Err;
        return false;
    }
    FFd = Fd;
    return true;
}

bool TFile::Create(const std::string& Path, mode_t Mode) {
    Close();
    const int Fd = ::open(Path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, Mode);
    if (Fd < 0)
        return false;
    FFd = Fd;
    return true;
}

bool TFile::Close() {
    if (FFd < 0)
        return true;
    // Linux releases the descriptor even when close reports an error: never retry.
    const int Rc = ::close(std::exchange(FFd, -1));
    return Rc == 0;
}

int64_t TFile::Size() const {
    struct stat St {};
    if (FFd < 0 || ::fstat(FFd, &St) != 0)
        return -1;
    return St.st_size;
}

bool TFile::Seek(int64_t Offset) {
    return FFd >= 0 && Offset >= 0 && ::lseek(FFd, Offset, SEEK_SET) == Offset;
}

int64_t TFile::Read(void* Buf, std::size_t Len) {
    auto* P = static_cast<char*>(Buf);
    return TransferAll(Len, [&](std::size_t Done) { return ::read(FFd, P + Done, Len - Done); });
}

bool TFile::Write(const void* Buf, std::size_t Len) {
    return WriteAll(FFd, Buf, Len);
}

int64_t TFile::ReadAt(int64_t Offset, void* Buf, std::size_t Len) const {
    return ReadAllAt(FFd, Offset, Buf, Len);
}

bool TFile::WriteAt(int64_t Offset, const void* Buf, std::size_t Len) {
    return WriteAllAt(FFd, Offset, Buf, Len);
}

bool TFile::Flush() {
    return FFd >= 0 && ::fsync(FFd) == 0;
}

TLockResult TFile::LockByte(int64_t Offset) {
    struct flock Lock {};
    Lock.l_type = F_WRLCK;
    Lock.l_whence = SEEK_SET;
    Lock.l_start = Offset;
    Lock.l_len = 1;
    Lock.l_pid = 0; // required by open-file-description locks
    if (::fcntl(FFd, F_OFD_SETLK, &Lock) == 0)
        return TLockResult::Locked;
    return (errno == EAGAIN || errno == EACCES) ? TLockResult::Refused : TLockResult::Failed;
}

bool TFile::IsSameFileAs(const std::string& Path) const {
    struct stat Mine {};
    struct stat Named {};
    return FFd >= 0 && ::fstat(FFd, &Mine) == 0 && ::stat(Path.c_str(), &Named) == 0 &&
           Mine.st_dev == Named.st_dev && Mine.st_ino == Named.st_ino;
}

bool SyncDirectory(const std::string& Dir) {
    const int Fd = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd < 0)
        return false;
    const bool Ok = ::fsync(Fd) == 0 || errno == EINVAL;
    ::close(Fd);
    return Ok;
}
