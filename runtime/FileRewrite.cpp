#include "runtime/FileRewrite.h"

#include "runtime/InPlaceRewrite.h"
#include "runtime/OwnerHandover.h"
#include "runtime/Path.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <string_view>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

enum class TMode { Temporary, InPlace, Failed };

// Where the directory does not let this process create the temporary file, the in-place write
// is the only way left; other failures leave the original alone.
bool DirectoryRefusesFiles(int Err) {
    return Err == EACCES || Err == EPERM || Err == EROFS;
}

// Copies the original's bytes from Offset to its end into the temporary file at Offset.
bool CopyTail(const TFile& Original, int OutFd, int64_t Offset, int64_t End) {
    constexpr int64_t Chunk = 1 << 20;
    std::vector<uint8_t> Buffer(static_cast<std::size_t>(std::min(End - Offset, Chunk)));
    while (Offset < End) {
        const auto Want = static_cast<std::size_t>(std::min(End - Offset, Chunk));
        if (Original.ReadAt(Offset, Buffer.data(), Want) != static_cast<int64_t>(Want))
            return false;
        if (!WriteAllAt(OutFd, Offset, Buffer.data(), Want))
            return false;
        Offset += static_cast<int64_t>(Want);
    }
    return true;
}

TRewriteResult WriteInPlace(const TFile& Original, std::span<const uint8_t> Head,
                            uint64_t LengthStep) {
    return WriteHeadInPlace(Original.Fd(), Head, LengthStep) ? TRewriteResult::WrittenInPlace
                                                             : TRewriteResult::Failed;
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

// Removes the temporary files that rewrites killed before their rename left behind. Only the
// holder of the file's lock rewrites it, so no other rewrite can be using one of them now.
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

// Six characters of the kind mkstemp puts at the end of a temporary name.
std::string RandomSuffix() {
    static constexpr char Alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    uint8_t Bytes[6] = {};
    if (::getrandom(Bytes, sizeof Bytes, 0) != static_cast<ssize_t>(sizeof Bytes)) {
        // Only the uniqueness matters, and a taken name is tried again.
        static unsigned Counter = 0;
        const unsigned Mix = static_cast<unsigned>(::getpid()) * 2654435761u + ++Counter;
        for (std::size_t I = 0; I < sizeof Bytes; ++I)
            Bytes[I] = static_cast<uint8_t>(Mix >> (I * 5));
    }
    std::string Suffix;
    for (uint8_t B : Bytes)
        Suffix += Alphabet[B % (sizeof Alphabet - 1)];
    return Suffix;
}

std::string DirectoryOf(const std::string& Path) {
    const std::size_t Slash = Path.rfind('/');
    return Slash == 0 ? "/" : Path.substr(0, Slash);
}

} // namespace

struct TFileRewrite::TState {
    const TFile& Original;
    const uint64_t LengthStep;
    struct stat Old {};
    TMode Mode = TMode::Failed;
    std::string Target; // the file's real path
    std::string Dir;
    std::string TempName;
    int TempFd = -1;
    bool Renamed = false;
    bool KeepPrevious = false;
    bool PreviousKept = false;
    std::string PreviousName; // where the original stays as the previous version
    bool AheadFailed = false;
    uint64_t AheadBegin = 0; // WriteAhead has written [AheadBegin, AheadEnd)
    uint64_t AheadEnd = 0;
    std::vector<uint8_t> Kept; // in place: the head, with the pieces given to WriteAhead

    TState(const TFile& AOriginal, uint64_t ALengthStep)
        : Original(AOriginal), LengthStep(ALengthStep) {}
    void Prepare(const std::string& Path);
    bool PrepareTemporary();
    std::string TempPrefix() const;
    bool NamesTheOriginal(const std::string& Name) const;
    bool LinkPrevious();
    void DropPreviousOfTheOriginal();
    // Puts the temporary file, whose first HeadLen bytes are the new head, in the original's
    // place. Head: those bytes, or empty when the caller has not kept them.
    TRewriteResult Replace(uint64_t HeadLen, std::span<const uint8_t> Head);
};

std::string TFileRewrite::TState::TempPrefix() const {
    const std::string Base = Target.substr(Dir.size() == 1 ? 1 : Dir.size() + 1);
    return "." + Base.substr(0, 200) + ".tmp-";
}

bool TFileRewrite::TState::NamesTheOriginal(const std::string& Name) const {
    struct stat St {};
    return ::lstat(Name.c_str(), &St) == 0 && S_ISREG(St.st_mode) && St.st_dev == Old.st_dev &&
           St.st_ino == Old.st_ino;
}

// Gives the original the name of the previous version: first a temporary name that
// RemoveLeftovers recognises, then a rename over the older previous version, so that a kill
// leaves the one or the other.
bool TFileRewrite::TState::LinkPrevious() {
    if (NamesTheOriginal(PreviousName))
        return true; // left so by a rewrite killed after its link
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        const std::string Temp = Dir + "/" + TempPrefix() + RandomSuffix();
        if (::link(Target.c_str(), Temp.c_str()) != 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool Linked =
            NamesTheOriginal(Temp) && ::rename(Temp.c_str(), PreviousName.c_str()) == 0;
        if (!Linked)
            ::unlink(Temp.c_str());
        return Linked;
    }
    return false;
}

// A previous version that is the original itself would take the new contents of an in-place
// write: it goes, and the older one with it.
void TFileRewrite::TState::DropPreviousOfTheOriginal() {
    if (!PreviousName.empty() && NamesTheOriginal(PreviousName))
        ::unlink(PreviousName.c_str());
    PreviousKept = false;
}

void TFileRewrite::TState::Prepare(const std::string& Path) {
    if (!Original.IsOpen())
        return;
    // Replace the file a symbolic link points to, never the link; and only when the name still
    // leads to the file that is open.
    char Resolved[PATH_MAX];
    if (::realpath(Path.c_str(), Resolved) == nullptr || !Original.IsSameFileAs(Resolved))
        return;
    Target = Resolved;
    PreviousName = Target + "-";
    Dir = DirectoryOf(Target);
    // Before the count of links is taken: a leftover may be a further name of this very file.
    RemoveLeftovers(Dir, TempPrefix());
    if (::fstat(Original.Fd(), &Old) != 0)
        return;
    // A rename would split a file with further hard links from its other names; its own previous
    // version, which a rewrite killed between its link and its rename leaves, is none of them.
    if (Old.st_nlink > 1 && !(Old.st_nlink == 2 && NamesTheOriginal(PreviousName))) {
        Mode = TMode::InPlace;
        return;
    }
    Mode = PrepareTemporary() ? TMode::Temporary : Mode;
}

// Creates the temporary file with the original's owner (or the saver as owner, OwnerHandover.h),
// group, mode and attributes. Sets the in-place mode where that is the way left, and returns
// false then or on failure.
bool TFileRewrite::TState::PrepareTemporary() {
    std::string Name = Dir + "/" + TempPrefix() + "XXXXXX";
    TempFd = ::mkostemp(Name.data(), O_CLOEXEC);
    if (TempFd < 0) {
        if (DirectoryRefusesFiles(errno))
            Mode = TMode::InPlace;
        return false;
    }
    TempName = Name;

    struct stat New {};
    if (::fstat(TempFd, &New) != 0)
        return false;
    if ((New.st_uid != Old.st_uid || New.st_gid != Old.st_gid) &&
        ::fchown(TempFd, Old.st_uid, Old.st_gid) != 0) {
        if (errno != EPERM)
            return false;
        // Only root or the owner may keep the file the owner's. Another administrator may still
        // replace it and become its owner where nobody loses access by that; else write in place.
        if (!OwnerMayBeHandedOver(Original.Fd(), Old) ||
            (New.st_gid != Old.st_gid &&
             ::fchown(TempFd, static_cast<uid_t>(-1), Old.st_gid) != 0)) {
            Mode = TMode::InPlace;
            return false;
        }
    }
    // After fchown, which may clear set-id bits; an access control list then refines the mode.
    if (::fchmod(TempFd, Old.st_mode & 07777) != 0)
        return false;
    if (!CopyAttributes(Original.Fd(), TempFd)) {
        Mode = TMode::InPlace;
        return false;
    }
    return true;
}

TFileRewrite::TFileRewrite(const TFile& Original, const std::string& Path, uint64_t LengthStep)
    : F(std::make_unique<TState>(Original, LengthStep)) {
    F->Prepare(Path);
}

TFileRewrite::~TFileRewrite() {
    if (F->TempFd >= 0)
        ::close(F->TempFd);
    if (!F->TempName.empty() && !F->Renamed)
        ::unlink(F->TempName.c_str());
}

void TFileRewrite::WriteAhead(uint64_t Offset, std::span<const uint8_t> Piece) {
    TState& S = *F;
    if ((S.Mode != TMode::Temporary && S.Mode != TMode::InPlace) || S.AheadFailed || Piece.empty())
        return;
    if (S.AheadEnd == S.AheadBegin) {
        S.AheadBegin = S.AheadEnd = Offset;
    } else if (Offset != S.AheadEnd) {
        return; // not the next piece: Commit writes it
    }
    if (S.Mode == TMode::InPlace) {
        // The journal takes the whole head at once: it is kept here for CommitAhead, whose
        // caller has not kept it, behind room for the front.
        try {
            if (S.Kept.empty())
                S.Kept.resize(Offset);
            S.Kept.insert(S.Kept.end(), Piece.begin(), Piece.end());
        } catch (const std::bad_alloc&) {
            S.AheadFailed = true;
            return;
        }
    } else {
        const auto At = static_cast<int64_t>(Offset);
        if (!WriteAllAt(S.TempFd, At, Piece.data(), Piece.size())) {
            S.AheadFailed = true;
            return;
        }
        // Start the transfer to the disk now; the final flush then has little left to wait for.
        ::sync_file_range(S.TempFd, At, static_cast<int64_t>(Piece.size()), SYNC_FILE_RANGE_WRITE);
    }
    S.AheadEnd = Offset + Piece.size();
}

TRewriteResult TFileRewrite::Commit(std::span<const uint8_t> Head) {
    TState& S = *F;
    if (S.Mode == TMode::InPlace) {
        S.DropPreviousOfTheOriginal();
        return WriteInPlace(S.Original, Head, S.LengthStep);
    }
    if (S.Mode != TMode::Temporary || S.AheadFailed || S.AheadEnd > Head.size())
        return TRewriteResult::Failed;
    const auto Before = static_cast<std::size_t>(S.AheadBegin);
    const auto After = static_cast<std::size_t>(S.AheadEnd);
    if (!WriteAllAt(S.TempFd, 0, Head.data(), Before) ||
        !WriteAllAt(S.TempFd, static_cast<int64_t>(After), Head.data() + After,
                    Head.size() - After))
        return TRewriteResult::Failed;
    return S.Replace(Head.size(), Head);
}

TRewriteResult TFileRewrite::CommitAhead(std::span<const uint8_t> Front, uint64_t HeadLen) {
    TState& S = *F;
    const bool NoPieces = S.AheadEnd == S.AheadBegin;
    const bool Covered =
        NoPieces ? Front.size() == HeadLen : S.AheadBegin == Front.size() && S.AheadEnd == HeadLen;
    if (S.AheadFailed || !Covered)
        return TRewriteResult::Failed;
    if (S.Mode == TMode::InPlace) {
        S.DropPreviousOfTheOriginal();
        if (NoPieces)
            return WriteInPlace(S.Original, Front, S.LengthStep);
        std::copy(Front.begin(), Front.end(), S.Kept.begin());
        return WriteInPlace(S.Original, S.Kept, S.LengthStep);
    }
    if (S.Mode != TMode::Temporary || !WriteAllAt(S.TempFd, 0, Front.data(), Front.size()))
        return TRewriteResult::Failed;
    return S.Replace(HeadLen, {});
}

TRewriteResult TFileRewrite::TState::Replace(uint64_t HeadLen, std::span<const uint8_t> Head) {
    const auto HeadEnd = static_cast<int64_t>(HeadLen);
    if ((Old.st_size > HeadEnd && !CopyTail(Original, TempFd, HeadEnd, Old.st_size)) ||
        ::fsync(TempFd) != 0)
        return TRewriteResult::Failed;
    if (::close(std::exchange(TempFd, -1)) != 0)
        return TRewriteResult::Failed;

    if (KeepPrevious)
        PreviousKept = LinkPrevious();
    if (::rename(TempName.c_str(), Target.c_str()) != 0) {
        // The name cannot be replaced (a bind-mounted file, a file that a network share holds
        // open elsewhere, ...): the file itself can still be written. A head the caller has not
        // kept is read back from the temporary file first.
        std::vector<uint8_t> ReadBack;
        if (Head.empty() && HeadLen != 0) {
            TFile Temp;
            ReadBack.resize(static_cast<std::size_t>(HeadLen));
            if (!Temp.Open(TempName, TFileMode::ReadOnly) ||
                Temp.ReadAt(0, ReadBack.data(), ReadBack.size()) != HeadEnd)
                return TRewriteResult::Failed;
            Head = ReadBack;
        }
        ::unlink(TempName.c_str());
        TempName.clear();
        DropPreviousOfTheOriginal();
        if (!Original.IsSameFileAs(Target))
            return TRewriteResult::Failed;
        return WriteInPlace(Original, Head, LengthStep);
    }
    Renamed = true;
    // The new contents are in place whatever follows; only their durability is in question.
    if (SyncDirectory(Dir) || SyncDirectory(Dir))
        return TRewriteResult::Replaced;
    return TRewriteResult::ReplacedNotFlushed;
}

void TFileRewrite::KeepPrevious() {
    F->KeepPrevious = true;
}

bool TFileRewrite::PreviousKept() const {
    return F->PreviousKept;
}

std::string PreviousVersionPath(const std::string& Path) {
    return RealFilePath(Path) + "-";
}

TRewriteResult RewriteFileHead(const TFile& Original, const std::string& Path,
                               std::span<const uint8_t> Head, uint64_t LengthStep) {
    return TFileRewrite(Original, Path, LengthStep).Commit(Head);
}
