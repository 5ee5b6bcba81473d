#include "runtime/FileRewrite.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

// A temporary file that removes itself unless it was renamed into place.
class TTempFile {
public:
    explicit TTempFile(std::string Template) : FName(std::move(Template)) {
        FFd = ::mkostemp(FName.data(), O_CLOEXEC);
        FCreated = FFd >= 0;
    }
    ~TTempFile() {
        if (FFd >= 0)
            ::close(FFd);
        if (FCreated && !FKept)
            ::unlink(FName.c_str());
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;

    bool Created() const { return FCreated; }
    int Fd() const { return FFd; }
    const std::string& Name() const { return FName; }
    bool CloseChecked() {
        const int Rc = ::close(FFd);
        FFd = -1;
        return Rc == 0;
    }
    void Keep() { FKept = true; }

private:
    std::string FName;
    int FFd = -1;
    bool FCreated = false;
    bool FKept = false;
};

// Where the directory does not let this process create the temporary file, the in-place write
// is the only way left; other failures leave the original alone.
bool DirectoryRefusesFiles(int Err) {
    return Err == EACCES || Err == EPERM || Err == EROFS;
}

bool WriteAll(int Fd, const uint8_t* Data, std::size_t Len, int64_t Offset) {
    while (Len > 0) {
        const ssize_t N = ::pwrite(Fd, Data, Len, Offset);
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            return false;
        Data += N;
        Len -= static_cast<std::size_t>(N);
        Offset += N;
    }
    return true;
}

// Copies the original's bytes from Offset to its end into the temporary file at Offset.
bool CopyTail(const TFile& Original, int OutFd, int64_t Offset, int64_t End) {
    std::vector<uint8_t> Chunk(static_cast<std::size_t>(std::min<int64_t>(End - Offset, 1 << 20)));
    while (Offset < End) {
        const auto Want = static_cast<std::size_t>(std::min<int64_t>(End - Offset, 1 << 20));
        if (Original.ReadAt(Offset, Chunk.data(), Want) != static_cast<int64_t>(Want))
            return false;
        if (!WriteAll(OutFd, Chunk.data(), Want, Offset))
            return false;
        Offset += static_cast<int64_t>(Want);
    }
    return true;
}

bool SyncDirectory(const std::string& Dir) {
    const int Fd = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd < 0)
        return false;
    // Some file systems cannot sync a directory; their renames are as durable as they get.
    const bool Ok = ::fsync(Fd) == 0 || errno == EINVAL;
    ::close(Fd);
    return Ok;
}

TRewriteResult WriteInPlace(const TFile& Original, std::span<const uint8_t> Head, int64_t OldSize) {
    const int Fd = Original.Fd();
    const auto NewEnd = static_cast<int64_t>(Head.size());
    // Claim the room for a longer file first, so that a full disk or a size limit stops the
    // save before a single byte of the original is overwritten.
    if (NewEnd > OldSize) {
        const int Err = ::posix_fallocate(Fd, OldSize, NewEnd - OldSize);
        if (Err != 0) {
            // Give back whatever room was taken; should that fail too, the extra zero bytes
            // after the old end are all that changed.
            const bool Restored = ::ftruncate(Fd, OldSize) == 0;
            static_cast<void>(Restored);
            return TRewriteResult::Failed;
        }
    }
    if (!WriteAll(Fd, Head.data(), Head.size(), 0) || ::fsync(Fd) != 0)
        return TRewriteResult::Failed;
    return TRewriteResult::WrittenInPlace;
}

// Gives the new file the original's extended attributes (access control lists among them).
// False when one of them cannot be carried over.
bool CopyAttributes(int FromFd, int ToFd) {
    const ssize_t ListLen = ::flistxattr(FromFd, nullptr, 0);
    if (ListLen < 0)
        return errno == ENOTSUP; // a file system without them
    std::vector<char> Names(static_cast<std::size_t>(ListLen));
    const ssize_t Got = ::flistxattr(FromFd, Names.data(), Names.size());
    if (Got < 0)
        return false;
    for (std::size_t At = 0; At < static_cast<std::size_t>(Got);) {
        const char* Name = Names.data() + At;
        At += std::strlen(Name) + 1;
        const ssize_t ValueLen = ::fgetxattr(FromFd, Name, nullptr, 0);
        if (ValueLen < 0)
            return false;
        std::vector<char> Value(static_cast<std::size_t>(ValueLen));
        const ssize_t ValueGot = ::fgetxattr(FromFd, Name, Value.data(), Value.size());
        if (ValueGot < 0 ||
            ::fsetxattr(ToFd, Name, Value.data(), static_cast<std::size_t>(ValueGot), 0) != 0)
            return false;
    }
    return true;
}

// Removes the temporary files that saves killed before their rename left behind. Only the
// holder of the file's lock saves, so no other save can be using one of them now.
void RemoveLeftovers(const std::string& Dir, const std::string& Prefix) {
    DIR* D = ::opendir(Dir.c_str());
    if (D == nullptr)
        return;
    while (const dirent* E = ::readdir(D)) {
        const std::string_view Name = E->d_name;
        if (Name.size() != Prefix.size() + 6 || !Name.starts_with(Prefix))
            continue;
        const std::string_view Suffix = Name.substr(Prefix.size());
        if (!std::all_of(Suffix.begin(), Suffix.end(),
                         [](char C) { return std::isalnum(static_cast<unsigned char>(C)); }))
            continue;
        struct stat St {};
        const std::string Full = Dir + "/" + std::string(Name);
        if (::lstat(Full.c_str(), &St) == 0 && S_ISREG(St.st_mode))
            ::unlink(Full.c_str());
    }
    ::closedir(D);
}

std::string DirectoryOf(const std::string& Path) {
    const std::size_t Slash = Path.rfind('/');
    return Slash == 0 ? "/" : Path.substr(0, Slash);
}

} // namespace

TRewriteResult RewriteFileHead(const TFile& Original, const std::string& Path,
                               std::span<const uint8_t> Head) {
    struct stat Old {};
    if (!Original.IsOpen() || ::fstat(Original.Fd(), &Old) != 0)
        return TRewriteResult::Failed;

    // Replace the file a symbolic link points to, never the link; and only when the name still
    // leads to the file that is open.
    char Resolved[PATH_MAX];
    if (::realpath(Path.c_str(), Resolved) == nullptr || !Original.IsSameFileAs(Resolved))
        return TRewriteResult::Failed;
    const std::string Target = Resolved;
    const std::string Dir = DirectoryOf(Target);

    // A rename would split a file with further hard links from its other names.
    if (Old.st_nlink > 1)
        return WriteInPlace(Original, Head, Old.st_size);

    const std::string Base = Target.substr(Dir.size() == 1 ? 1 : Dir.size() + 1);
    const std::string Prefix = "." + Base.substr(0, 200) + ".tmp-";
    RemoveLeftovers(Dir, Prefix);
    TTempFile Temp(Dir + "/" + Prefix + "XXXXXX");
    if (!Temp.Created()) {
        if (DirectoryRefusesFiles(errno))
            return WriteInPlace(Original, Head, Old.st_size);
        return TRewriteResult::Failed;
    }

    struct stat New {};
    if (::fstat(Temp.Fd(), &New) != 0)
        return TRewriteResult::Failed;
    if ((New.st_uid != Old.st_uid || New.st_gid != Old.st_gid) &&
        ::fchown(Temp.Fd(), Old.st_uid, Old.st_gid) != 0) {
        // Only the owner's own write keeps the file his: write it in place instead.
        if (errno == EPERM)
            return WriteInPlace(Original, Head, Old.st_size);
        return TRewriteResult::Failed;
    }
    // After fchown, which may clear set-id bits; an access control list then refines the mode.
    if (::fchmod(Temp.Fd(), Old.st_mode & 07777) != 0)
        return TRewriteResult::Failed;
    if (!CopyAttributes(Original.Fd(), Temp.Fd()))
        return WriteInPlace(Original, Head, Old.st_size);

    const auto HeadEnd = static_cast<int64_t>(Head.size());
    if (!WriteAll(Temp.Fd(), Head.data(), Head.size(), 0) ||
        (Old.st_size > HeadEnd && !CopyTail(Original, Temp.Fd(), HeadEnd, Old.st_size)) ||
        ::fsync(Temp.Fd()) != 0 || !Temp.CloseChecked())
        return TRewriteResult::Failed;

    if (::rename(Temp.Name().c_str(), Target.c_str()) != 0)
        return TRewriteResult::Failed;
    Temp.Keep();
    // The new contents are in place; the failure is reported because a crash could still
    // bring back the old directory entry.
    if (!SyncDirectory(Dir))
        return TRewriteResult::Failed;
    return TRewriteResult::Replaced;
}
