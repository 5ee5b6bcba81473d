#include "runtime/FileRewrite.h"

#include "runtime/FileSystem.h"
#include "runtime/InPlaceRewrite.h"
#include "runtime/OwnerHandover.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <new>
#include <string_view>
#include <sys/random.h>
#include <unistd.h>
#include <vector>

namespace {

// Six characters of the kind mkstemp puts at the end of a temporary name.
constexpr std::size_t SuffixLen = 6;

std::string RandomSuffix() {
    static constexpr char Alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    uint8_t Bytes[SuffixLen] = {};
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

// The new contents before their rename, and the file as it was before it gets its second name:
// hidden names that only these rewrites make, each followed by a random suffix.
std::string TemporaryPrefix(const std::string& FileName) {
    return "." + FileName.substr(0, 200) + ".tmp-";
}
std::string PendingPrefix(const std::string& FileName) {
    return "." + FileName.substr(0, 200) + ".prev-";
}

bool HasSuffixOf(std::string_view Name, const std::string& Prefix) {
    if (Name.size() != Prefix.size() + SuffixLen || !Name.starts_with(Prefix))
        return false;
    const std::string_view Suffix = Name.substr(Prefix.size());
    return std::all_of(Suffix.begin(), Suffix.end(),
                       [](char C) { return std::isalnum(static_cast<unsigned char>(C)); });
}

bool IsRegular(const TPinnedDirectory& Dir, const std::string& Name) {
    struct stat St {};
    return Fs().FStatAt(Dir.Fd(), Name.c_str(), &St) == 0 && S_ISREG(St.st_mode);
}

// Where the directory does not let this process create the temporary file, the in-place write
// is the only way left; other failures leave the original alone.
bool DirectoryRefusesFiles(int Err) {
    return Err == EACCES || Err == EPERM || Err == EROFS;
}

// Gives the new file the original's extended attributes (access control lists among them).
// False when one of them cannot be carried over.
bool CopyAttributes(int FromFd, int ToFd) {
    TFileSystem& F = Fs();
    const ssize_t ListLen = F.FListXattr(FromFd, nullptr, 0);
    if (ListLen < 0)
        return errno == ENOTSUP; // a file system without them
    std::vector<char> Names(static_cast<std::size_t>(ListLen));
    const ssize_t Got = F.FListXattr(FromFd, Names.data(), Names.size());
    if (Got < 0)
        return false;
    for (std::size_t At = 0; At < static_cast<std::size_t>(Got);) {
        const char* Name = Names.data() + At;
        At += std::strlen(Name) + 1;
        const ssize_t ValueLen = F.FGetXattr(FromFd, Name, nullptr, 0);
        if (ValueLen < 0)
            return false;
        std::vector<char> Value(static_cast<std::size_t>(ValueLen));
        const ssize_t ValueGot = F.FGetXattr(FromFd, Name, Value.data(), Value.size());
        if (ValueGot < 0 ||
            F.FSetXattr(ToFd, Name, Value.data(), static_cast<std::size_t>(ValueGot)) != 0)
            return false;
    }
    return true;
}

// Copies the original's bytes from Offset to its end into the new file at Offset.
bool CopyTail(const TFile& Original, TFile& Out, int64_t Offset, int64_t End) {
    constexpr int64_t Chunk = 1 << 20;
    std::vector<uint8_t> Buffer(static_cast<std::size_t>(std::min(End - Offset, Chunk)));
    while (Offset < End) {
        const auto Want = static_cast<std::size_t>(std::min(End - Offset, Chunk));
        if (Original.ReadAt(Offset, Buffer.data(), Want) != static_cast<int64_t>(Want) ||
            !Out.WriteAt(Offset, Buffer.data(), Want))
            return false;
        Offset += static_cast<int64_t>(Want);
    }
    return true;
}

enum class TPrepared { Ready, InPlace, Failed };

} // namespace

// One way of rewriting: what Write and Commit do.
class TFileRewrite::TWay {
public:
    virtual ~TWay() = default;
    virtual void Write(uint64_t Offset, std::span<const uint8_t> Piece) = 0;
    virtual TRewriteResult Commit() = 0;
    bool Kept() const { return FKept; }

protected:
    bool FKept = false;
};

namespace {

// A rewrite that cannot be made: Commit reports why.
class TNoWay final : public TFileRewrite::TWay {
public:
    explicit TNoWay(TRewriteResult Result) : FResult(Result) {}
    void Write(uint64_t, std::span<const uint8_t>) override {}
    TRewriteResult Commit() override { return FResult; }

private:
    TRewriteResult FResult;
};

// The pieces of the head, kept in memory and checked to cover it.
class THeadPieces {
public:
    explicit THeadPieces(uint64_t HeadLen) : FHeadLen(HeadLen) {}
    // False for a piece outside the head.
    bool Take(uint64_t Offset, std::size_t Len) {
        if (Offset > FHeadLen || Len > FHeadLen - Offset)
            return false;
        FCovered += Len;
        return true;
    }
    bool Complete() const { return FCovered == FHeadLen; }

private:
    uint64_t FHeadLen;
    uint64_t FCovered = 0;
};

// In place: the head is gathered in memory, so that the front is written in one go and readers
// that take no lock see it half written for as short a time as may be.
class TInPlaceWay final : public TFileRewrite::TWay {
public:
    TInPlaceWay(const TFile& Original, const TPinnedDirectory& Dir, const TRewritePlan& Plan,
                const struct stat& Old)
        : FOriginal(Original), FDir(Dir), FPlan(Plan), FOld(Old), FPieces(Plan.HeadLen) {
        try {
            FHead.resize(static_cast<std::size_t>(Plan.HeadLen));
        } catch (const std::bad_alloc&) {
            FFailed = true;
        }
    }
    // With the whole head at once: one read back from a temporary file whose rename was refused.
    TInPlaceWay(const TFile& Original, const TPinnedDirectory& Dir, const TRewritePlan& Plan,
                const struct stat& Old, std::vector<uint8_t> Head)
        : FOriginal(Original), FDir(Dir), FPlan(Plan), FOld(Old), FPieces(Plan.HeadLen),
          FHead(std::move(Head)) {
        FFailed = !FPieces.Take(0, FHead.size());
    }
    void Write(uint64_t Offset, std::span<const uint8_t> Piece) override {
        if (FFailed || !FPieces.Take(Offset, Piece.size())) {
            FFailed = true;
            return;
        }
        std::copy(Piece.begin(), Piece.end(), FHead.begin() + static_cast<std::ptrdiff_t>(Offset));
    }
    TRewriteResult Commit() override {
        if (FFailed || !FPieces.Complete())
            return TRewriteResult::Failed;
        // A previous version that is the file itself, which an older rewrite killed between its
        // link and its rename could leave, would take the new contents too: it goes.
        const std::string Previous = PreviousVersionName(FDir.FileName());
        if (FPlan.KeepAs == Previous && FDir.Names(Previous, FOld))
            Fs().UnlinkAt(FDir.Fd(), Previous.c_str());
        return WriteHeadInPlace(FOriginal.Fd(), FHead, FPlan.LengthStep) == TInPlaceResult::Written
                   ? TRewriteResult::WrittenInPlace
                   : TRewriteResult::Failed;
    }

private:
    const TFile& FOriginal;
    const TPinnedDirectory& FDir;
    const TRewritePlan FPlan;
    const struct stat FOld;
    THeadPieces FPieces;
    std::vector<uint8_t> FHead;
    bool FFailed = false;
};

// Replacing: the pieces go to the temporary file as they come; the commit completes it, keeps
// the file as it was under its second name, and renames the new file into place.
class TReplaceWay final : public TFileRewrite::TWay {
public:
    TReplaceWay(const TFile& Original, const TPinnedDirectory& Dir, const TRewritePlan& Plan,
                const struct stat& Old)
        : FOriginal(Original), FDir(Dir), FPlan(Plan), FOld(Old), FPieces(Plan.HeadLen) {}
    ~TReplaceWay() override {
        (void)FTemp.Close();
        if (!FTempName.empty() && !FRenamed)
            Fs().UnlinkAt(FDir.Fd(), FTempName.c_str());
    }

    // Creates the temporary file with the original's owner (or the saver as owner,
    // OwnerHandover.h), group, mode and attributes.
    TPrepared Prepare();
    void Write(uint64_t Offset, std::span<const uint8_t> Piece) override {
        if (FFailed || !FPieces.Take(Offset, Piece.size()) ||
            !FTemp.WriteAt(static_cast<int64_t>(Offset), Piece.data(), Piece.size())) {
            FFailed = true;
            return;
        }
        // Start the transfer to the disk now; the final flush then has little left to wait for.
        Fs().StartWriteBack(FTemp.Fd(), static_cast<off_t>(Offset),
                            static_cast<off_t>(Piece.size()));
    }
    TRewriteResult Commit() override;

private:
    bool LinkOriginal();
    void UnlinkOriginalsSecondName();
    TRewriteResult WriteInPlaceInstead();

    const TFile& FOriginal;
    const TPinnedDirectory& FDir;
    const TRewritePlan FPlan;
    const struct stat FOld;
    THeadPieces FPieces;
    TFile FTemp;
    std::string FTempName;
    std::string FSecondName;   // where the file as it was got its second name, before the rename
    bool FKeptAlready = false; // it stands under KeepAs already
    bool FFailed = false;
    bool FRenamed = false;
};

TPrepared TReplaceWay::Prepare() {
    FTempName = CreateTemporaryFile(FDir, FDir.FileName(), FTemp);
    if (FTempName.empty())
        return DirectoryRefusesFiles(errno) ? TPrepared::InPlace : TPrepared::Failed;
    struct stat New {};
    if (!FTemp.Stat(New))
        return TPrepared::Failed;
    TFileSystem& F = Fs();
    if ((New.st_uid != FOld.st_uid || New.st_gid != FOld.st_gid) &&
        F.FChown(FTemp.Fd(), FOld.st_uid, FOld.st_gid) != 0) {
        if (errno != EPERM)
            return TPrepared::Failed;
        // Only root or the owner may keep the file the owner's. Another administrator may still
        // replace it and become its owner where nobody loses access by that; else write in place.
        if (!OwnerMayBeHandedOver(FOriginal.Fd(), FOld) ||
            (New.st_gid != FOld.st_gid &&
             F.FChown(FTemp.Fd(), static_cast<uid_t>(-1), FOld.st_gid) != 0))
            return TPrepared::InPlace;
    }
    // After fchown, which may clear set-id bits; an access control list then refines the mode.
    if (F.FChmod(FTemp.Fd(), FOld.st_mode & 07777) != 0)
        return TPrepared::Failed;
    return CopyAttributes(FOriginal.Fd(), FTemp.Fd()) ? TPrepared::Ready : TPrepared::InPlace;
}

// Gives the file as it was its second name, flushed, before the new file takes its place, so
// that a kill or a power cut never leaves it without a name. The previous version first gets a
// pending name, renamed over the older one only once the new file is in place: until then the
// older one stays, and ClearLeftovers finishes the job after a kill.
bool TReplaceWay::LinkOriginal() {
    const int Dir = FDir.Fd();
    const char* File = FDir.FileName().c_str();
    if (FPlan.ReplaceKept && FDir.Names(FPlan.KeepAs, FOld)) {
        FKeptAlready = true; // left so by an older rewrite killed after its link
        return true;
    }
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        const std::string Name =
            FPlan.ReplaceKept ? PendingPrefix(FDir.FileName()) + RandomSuffix() : FPlan.KeepAs;
        if (Fs().LinkAt(Dir, File, Dir, Name.c_str()) != 0) {
            if (errno == EEXIST && FPlan.ReplaceKept)
                continue;
            return false;
        }
        // The name is linked from the directory entry, which must still be the locked file.
        if (!FDir.Names(Name, FOld)) {
            Fs().UnlinkAt(Dir, Name.c_str());
            return false;
        }
        FSecondName = Name;
        (void)FDir.Sync();
        return true;
    }
    return false;
}

void TReplaceWay::UnlinkOriginalsSecondName() {
    if (!FSecondName.empty() && FDir.Names(FSecondName, FOld))
        Fs().UnlinkAt(FDir.Fd(), FSecondName.c_str());
    FSecondName.clear();
}

TRewriteResult TReplaceWay::Commit() {
    if (FFailed || !FPieces.Complete())
        return TRewriteResult::Failed;
    const auto HeadEnd = static_cast<int64_t>(FPlan.HeadLen);
    if ((!FPlan.HeadOnly && FOld.st_size > HeadEnd &&
         !CopyTail(FOriginal, FTemp, HeadEnd, FOld.st_size)) ||
        !FTemp.Flush() || !FTemp.Close())
        return TRewriteResult::Failed;

    if (!FPlan.KeepAs.empty() && !LinkOriginal() && FPlan.MustKeep)
        return TRewriteResult::Refused;
    // Replaced behind the lock by something that ignores it: that file is left alone.
    if (!FDir.Names(FDir.FileName(), FOld)) {
        UnlinkOriginalsSecondName();
        return TRewriteResult::Failed;
    }
    if (Fs().RenameAt(FDir.Fd(), FTempName.c_str(), FDir.Fd(), FDir.FileName().c_str()) != 0) {
        UnlinkOriginalsSecondName();
        return WriteInPlaceInstead();
    }
    FRenamed = true;
    // The new contents are in place whatever follows; only their durability is in question.
    const bool Flushed = FDir.Sync();
    // The previous version's own name is not flushed: should a power cut take it back, its
    // pending name is on the disk, and the next writer gives it its name (ClearLeftovers).
    FKept = FKeptAlready ||
            (!FSecondName.empty() &&
             (FSecondName == FPlan.KeepAs ||
              Fs().RenameAt(FDir.Fd(), FSecondName.c_str(), FDir.Fd(), FPlan.KeepAs.c_str()) == 0));
    return Flushed ? TRewriteResult::Replaced : TRewriteResult::ReplacedNotFlushed;
}

// The name cannot be replaced (a bind-mounted file, a file that a network share holds open
// elsewhere, ...): the file itself can still be written, with the head read back from the
// temporary file.
TRewriteResult TReplaceWay::WriteInPlaceInstead() {
    if (FPlan.MustKeep)
        return TRewriteResult::Refused;
    if (FPlan.HeadOnly)
        return TRewriteResult::Failed;
    std::vector<uint8_t> Head;
    try {
        Head.resize(static_cast<std::size_t>(FPlan.HeadLen));
    } catch (const std::bad_alloc&) {
        return TRewriteResult::Failed;
    }
    TFile Temp;
    if (!Temp.OpenAt(FDir.Fd(), FTempName, TFileMode::ReadOnly) ||
        Temp.ReadAt(0, Head.data(), Head.size()) != static_cast<int64_t>(Head.size()))
        return TRewriteResult::Failed;
    return TInPlaceWay(FOriginal, FDir, FPlan, FOld, std::move(Head)).Commit();
}

} // namespace

TFileRewrite::TFileRewrite(const TFile& Original, const TPinnedDirectory& Dir, TRewritePlan Plan) {
    struct stat Old {};
    if (!Original.IsOpen() || !Dir.IsPinned() || !Original.Stat(Old) ||
        !Dir.Names(Dir.FileName(), Old)) {
        FWay = std::make_unique<TNoWay>(TRewriteResult::Failed);
        return;
    }
    const auto InPlace = [&]() -> std::unique_ptr<TWay> {
        if (Plan.MustKeep)
            return std::make_unique<TNoWay>(TRewriteResult::Refused);
        return std::make_unique<TInPlaceWay>(Original, Dir, Plan, Old);
    };
    // A rename would split a file with further hard links from its other names; its own previous
    // version, left by an older rewrite killed between its link and its rename, is none of them.
    const bool FurtherLinks =
        Old.st_nlink > 1 &&
        !(Old.st_nlink == 2 && Dir.Names(PreviousVersionName(Dir.FileName()), Old));
    if (FurtherLinks && !Plan.HeadOnly) {
        FWay = InPlace();
        return;
    }
    auto Replace = std::make_unique<TReplaceWay>(Original, Dir, Plan, Old);
    switch (Replace->Prepare()) {
    case TPrepared::Ready:
        FWay = std::move(Replace);
        break;
    case TPrepared::InPlace:
        FWay = Plan.HeadOnly ? std::make_unique<TNoWay>(TRewriteResult::Refused) : InPlace();
        break;
    case TPrepared::Failed:
        FWay = std::make_unique<TNoWay>(TRewriteResult::Failed);
        break;
    }
}

TFileRewrite::~TFileRewrite() = default;

void TFileRewrite::Write(uint64_t Offset, std::span<const uint8_t> Piece) {
    FWay->Write(Offset, Piece);
}

TRewriteResult TFileRewrite::Commit() {
    return FWay->Commit();
}

bool TFileRewrite::Kept() const {
    return FWay->Kept();
}

void ClearLeftovers(const TFile& Locked, const TPinnedDirectory& Dir) {
    std::vector<std::string> Names;
    struct stat Mine {};
    if (!Dir.IsPinned() || !Locked.Stat(Mine) || Fs().ReadDirectory(Dir.Fd(), Names) != 0)
        return;
    const std::string Temporary = TemporaryPrefix(Dir.FileName());
    const std::string Pending = PendingPrefix(Dir.FileName());
    bool Changed = false;
    for (const std::string& Name : Names) {
        if (HasSuffixOf(Name, Temporary) && IsRegular(Dir, Name)) {
            Changed |= Fs().UnlinkAt(Dir.Fd(), Name.c_str()) == 0;
        } else if (HasSuffixOf(Name, Pending) && IsRegular(Dir, Name)) {
            // Still the file itself: its rewrite never renamed the new file into place. Another
            // file: the one that rewrite replaced, which is the previous version now.
            const std::string Previous = PreviousVersionName(Dir.FileName());
            Changed |= (Dir.Names(Name, Mine) ? Fs().UnlinkAt(Dir.Fd(), Name.c_str())
                                              : Fs().RenameAt(Dir.Fd(), Name.c_str(), Dir.Fd(),
                                                              Previous.c_str())) == 0;
        }
    }
    if (Changed)
        (void)Dir.Sync();
}

std::string CreateTemporaryFile(const TPinnedDirectory& Dir, const std::string& FileName,
                                TFile& File) {
    const std::string Prefix = TemporaryPrefix(FileName);
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        const std::string Name = Prefix + RandomSuffix();
        if (File.CreateAt(Dir.Fd(), Name, 0600))
            return Name;
        if (errno != EEXIST)
            return {};
    }
    errno = EEXIST;
    return {};
}

std::string PreviousVersionName(const std::string& FileName) {
    return FileName + "-";
}
