#include "runtime/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// Files are opened without waiting, so that a FIFO in a file's place cannot hang the open, and
// are blocking again afterwards; directories and path descriptors need neither.
int OpenFlagsOf(int Flags) {
    return (Flags & (O_PATH | O_DIRECTORY)) != 0 ? Flags : Flags | O_NONBLOCK;
}

int MadeBlocking(int Fd) {
    if (Fd < 0)
        return Fd;
    const int Flags = ::fcntl(Fd, F_GETFL);
    if (Flags < 0 ||
        ((Flags & O_NONBLOCK) != 0 && ::fcntl(Fd, F_SETFL, Flags & ~O_NONBLOCK) != 0)) {
        const int Err = errno;
        ::close(Fd);
        errno = Err;
        return -1;
    }
    return Fd;
}

class TPosixFileSystem final : public TFileSystem {
public:
    int Open(const char* Path, int Flags, mode_t Mode) override {
        return MadeBlocking(::open(Path, OpenFlagsOf(Flags), Mode));
    }
    int OpenAt(int DirFd, const char* Name, int Flags, mode_t Mode) override {
        return MadeBlocking(::openat(DirFd, Name, OpenFlagsOf(Flags), Mode));
    }
    int Close(int Fd) override { return ::close(Fd); }
    ssize_t PRead(int Fd, void* Buf, std::size_t Len, off_t Offset) override {
        return ::pread(Fd, Buf, Len, Offset);
    }
    ssize_t PWrite(int Fd, const void* Buf, std::size_t Len, off_t Offset) override {
        return ::pwrite(Fd, Buf, Len, Offset);
    }
    int Truncate(int Fd, off_t Length) override { return ::ftruncate(Fd, Length); }
    int Reserve(int Fd, off_t Offset, off_t Len) override {
        return ::fallocate(Fd, FALLOC_FL_KEEP_SIZE, Offset, Len);
    }
    int Sync(int Fd) override { return ::fsync(Fd); }
    void StartWriteBack(int Fd, off_t Offset, off_t Len) override {
        ::sync_file_range(Fd, Offset, Len, SYNC_FILE_RANGE_WRITE);
    }

    int Stat(const char* Path, struct stat* St) override { return ::stat(Path, St); }
    int FStat(int Fd, struct stat* St) override { return ::fstat(Fd, St); }
    int FStatAt(int DirFd, const char* Name, struct stat* St) override {
        return ::fstatat(DirFd, Name, St, AT_SYMLINK_NOFOLLOW);
    }
    bool RealPath(const char* Path, std::string& Resolved) override {
        char Buf[PATH_MAX];
        // A path call, but only to pin the directory before anything in it is opened or
        // locked; after the lock the entry is checked through the pinned descriptor.
        if (::realpath(Path, Buf) == nullptr)
            return false;
        Resolved = Buf;
        return true;
    }

    int LinkAt(int FromDir, const char* From, int ToDir, const char* To) override {
        return ::linkat(FromDir, From, ToDir, To, 0);
    }
    int RenameAt(int FromDir, const char* From, int ToDir, const char* To) override {
        return ::renameat(FromDir, From, ToDir, To);
    }
    int UnlinkAt(int DirFd, const char* Name) override { return ::unlinkat(DirFd, Name, 0); }
    int ReadDirectory(int DirFd, std::vector<std::string>& Names) override {
        // A descriptor of its own: closedir closes it, and the caller's stays at its position.
        const int Fd = ::openat(DirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (Fd < 0)
            return -1;
        DIR* D = ::fdopendir(Fd);
        if (D == nullptr) {
            ::close(Fd);
            return -1;
        }
        errno = 0;
        while (const dirent* E = ::readdir(D)) {
            const std::string_view Name = E->d_name;
            if (Name != "." && Name != "..")
                Names.emplace_back(Name);
        }
        const int Err = errno;
        ::closedir(D);
        errno = Err;
        return Err == 0 ? 0 : -1;
    }

    int LockByte(int Fd, off_t Offset) override {
        struct flock Lock {};
        Lock.l_type = F_WRLCK;
        Lock.l_whence = SEEK_SET;
        Lock.l_start = Offset;
        Lock.l_len = 1;
        Lock.l_pid = 0; // required by open file description locks
        return ::fcntl(Fd, F_OFD_SETLK, &Lock);
    }

    int FChown(int Fd, uid_t Owner, gid_t Group) override { return ::fchown(Fd, Owner, Group); }
    int FChmod(int Fd, mode_t Mode) override { return ::fchmod(Fd, Mode); }
    ssize_t FListXattr(int Fd, char* List, std::size_t Size) override {
        return ::flistxattr(Fd, List, Size);
    }
    ssize_t FGetXattr(int Fd, const char* Name, void* Value, std::size_t Size) override {
        return ::fgetxattr(Fd, Name, Value, Size);
    }
    int FSetXattr(int Fd, const char* Name, const void* Value, std::size_t Size) override {
        return ::fsetxattr(Fd, Name, Value, Size, 0);
    }
};

// Never destroyed: the store may save from the process's last static destructor.
TFileSystem& RealFileSystem() {
    static auto* Real = new TPosixFileSystem;
    return *Real;
}

TFileSystem* Replaced = nullptr;

} // namespace

TFileSystem& Fs() {
    return Replaced != nullptr ? *Replaced : RealFileSystem();
}

void UseFileSystem(TFileSystem* Replacement) {
    Replaced = Replacement;
}
