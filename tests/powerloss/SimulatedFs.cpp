#include "SimulatedFs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <string_view>

namespace sim {

namespace {

constexpr uint64_t SectorSize = 512;
constexpr std::size_t Window = 32; // sectors that may reach the disk in any order

std::string_view NameIn(std::string_view Path) {
    const std::string_view Prefix = "/sim/";
    return Path.starts_with(Prefix) ? Path.substr(Prefix.size()) : std::string_view();
}

bool IsDirectory(std::string_view Path) {
    return Path == Dir || Path == "/sim/" || Path == "/sim/.";
}

void Apply(std::vector<uint8_t>& Data, const TSimulatedFs::TChange& C,
           const std::set<uint64_t>* KeptSectors) {
    if (!C.IsWrite) {
        Data.resize(C.Offset, 0);
        return;
    }
    const uint64_t End = C.Offset + C.Bytes.size();
    if (KeptSectors == nullptr) {
        if (Data.size() < End)
            Data.resize(End, 0);
        std::copy(C.Bytes.begin(), C.Bytes.end(), Data.begin() + static_cast<long>(C.Offset));
        return;
    }
    for (uint64_t Sector = C.Offset / SectorSize; Sector * SectorSize < End; ++Sector) {
        if (KeptSectors->count(Sector) == 0)
            continue;
        const uint64_t From = std::max(C.Offset, Sector * SectorSize);
        const uint64_t To = std::min(End, (Sector + 1) * SectorSize);
        if (Data.size() < To)
            Data.resize(To, 0);
        std::copy(C.Bytes.begin() + static_cast<long>(From - C.Offset),
                  C.Bytes.begin() + static_cast<long>(To - C.Offset),
                  Data.begin() + static_cast<long>(From));
    }
}

std::vector<uint64_t> SectorsOf(const TSimulatedFs::TChange& C) {
    std::vector<uint64_t> Sectors;
    if (!C.IsWrite || C.Bytes.empty())
        return Sectors;
    for (uint64_t S = C.Offset / SectorSize; S * SectorSize < C.Offset + C.Bytes.size(); ++S)
        Sectors.push_back(S);
    return Sectors;
}

enum class TKeep { Nothing, Everything, Drawn };

// A file's data after a power cut: its flushed data and some of the changes since.
std::vector<uint8_t> DataAfterCut(const TSimulatedFs::TInode& Inode, TKeep Keep,
                                  std::mt19937& Rng) {
    std::vector<uint8_t> Data = Inode.Flushed;
    const std::vector<TSimulatedFs::TChange>& Changes = Inode.Unflushed;
    if (Keep == TKeep::Nothing || Changes.empty())
        return Keep == TKeep::Nothing ? Data : Inode.Now.Data;
    if (Keep == TKeep::Everything)
        return Inode.Now.Data;
    if (std::uniform_int_distribution<int>(0, 1)(Rng) == 0) {
        // A prefix of the changes in order, the next write torn: its first sectors only.
        const std::size_t Done = std::uniform_int_distribution<std::size_t>(0, Changes.size())(Rng);
        for (std::size_t I = 0; I < Done; ++I)
            Apply(Data, Changes[I], nullptr);
        if (Done < Changes.size() && Changes[Done].IsWrite) {
            const std::vector<uint64_t> Sectors = SectorsOf(Changes[Done]);
            const std::size_t Kept =
                std::uniform_int_distribution<std::size_t>(0, Sectors.size())(Rng);
            const std::set<uint64_t> First(Sectors.begin(),
                                           Sectors.begin() + static_cast<long>(Kept));
            Apply(Data, Changes[Done], &First);
        }
        return Data;
    }
    // Any subset of the sectors of a window: those written before it there, those after lost.
    std::vector<std::pair<std::size_t, uint64_t>> Written; // change, sector
    for (std::size_t I = 0; I < Changes.size(); ++I)
        for (uint64_t S : SectorsOf(Changes[I]))
            Written.emplace_back(I, S);
    const std::size_t Start = std::uniform_int_distribution<std::size_t>(0, Written.size())(Rng);
    std::vector<std::set<uint64_t>> Kept(Changes.size());
    for (std::size_t W = 0; W < Written.size(); ++W) {
        const bool InWindow = W >= Start && W < Start + Window;
        if (W < Start || (InWindow && std::uniform_int_distribution<int>(0, 1)(Rng) == 1))
            Kept[Written[W].first].insert(Written[W].second);
    }
    for (std::size_t I = 0; I < Changes.size(); ++I)
        Apply(Data, Changes[I], &Kept[I]);
    return Data;
}

} // namespace

void TDisk::Put(const std::string& Name, std::vector<uint8_t> Data, mode_t Mode) {
    const int Inode = Files.empty() ? 1 : Files.rbegin()->first + 1;
    Files[Inode] = TFileImage{std::move(Data), Mode, 0, 0};
    Entries[Name] = Inode;
}

void TDisk::Link(const std::string& Existing, const std::string& Name) {
    Entries[Name] = Entries.at(Existing);
}

const std::vector<uint8_t>* TDisk::Bytes(const std::string& Name) const {
    const auto E = Entries.find(Name);
    return E == Entries.end() ? nullptr : &Files.at(E->second).Data;
}

TSimulatedFs::TSimulatedFs(const TDisk& Disk, TOptions Options) : FOptions(std::move(Options)) {
    for (const auto& [Number, Image] : Disk.Files) {
        TInode& Inode = FInodes[Number];
        Inode.Now = Image;
        Inode.Flushed = Image.Data;
        FNextInode = std::max(FNextInode, Number + 1);
    }
    FEntries = FFlushedEntries = Disk.Entries;
    UseFileSystem(this);
}

TSimulatedFs::~TSimulatedFs() {
    UseFileSystem(nullptr);
}

std::vector<TDisk> TSimulatedFs::PowerCutStates(std::mt19937& Rng, int Mixtures) const {
    const auto Cut = [&](bool KeepEntries, bool DrawEntries, TKeep KeepData) {
        TDisk Disk;
        Disk.Entries = FFlushedEntries;
        for (const TEntryChange& C : FUnflushedEntries) {
            if (!KeepEntries && !(DrawEntries && std::uniform_int_distribution<int>(0, 1)(Rng)))
                continue;
            for (const auto& [Name, Inode] : C) {
                if (Inode)
                    Disk.Entries[Name] = *Inode;
                else
                    Disk.Entries.erase(Name);
            }
        }
        for (const auto& [Name, Number] : Disk.Entries) {
            if (Disk.Files.count(Number) != 0)
                continue;
            const TInode& Inode = FInodes.at(Number);
            TFileImage Image = Inode.Now;
            Image.Data = DataAfterCut(Inode, KeepData, Rng);
            Disk.Files[Number] = std::move(Image);
        }
        return Disk;
    };
    std::vector<TDisk> States = {
        Cut(false, false, TKeep::Nothing), Cut(true, false, TKeep::Everything),
        Cut(true, false, TKeep::Nothing), Cut(false, false, TKeep::Everything)};
    for (int I = 0; I < Mixtures; ++I)
        States.push_back(Cut(false, true, TKeep::Drawn));
    return States;
}

bool TSimulatedFs::Failed() {
    if (!Crashed())
        return false;
    errno = EIO;
    return true;
}

bool TSimulatedFs::Change() {
    if (Failed())
        return false;
    ++FChanges;
    if (Crashed()) { // the power failed before this change
        errno = EIO;
        return false;
    }
    return true;
}

TSimulatedFs::TOpenFile* TSimulatedFs::Find(int Fd) {
    const auto F = FOpen.find(Fd);
    if (F == FOpen.end()) {
        errno = EBADF;
        return nullptr;
    }
    return &F->second;
}

int TSimulatedFs::FileOf(const std::string& Name) const {
    const auto E = FEntries.find(Name);
    return E == FEntries.end() ? 0 : E->second;
}

void TSimulatedFs::ChangeEntries(TEntryChange Entries) {
    for (const auto& [Name, Inode] : Entries) {
        if (Inode)
            FEntries[Name] = *Inode;
        else
            FEntries.erase(Name);
    }
    FUnflushedEntries.push_back(std::move(Entries));
}

void TSimulatedFs::FillStat(int Inode, struct stat* St) const {
    *St = {};
    St->st_dev = 42;
    St->st_ino = static_cast<ino_t>(Inode);
    if (Inode == 0) {
        St->st_mode = S_IFDIR | 0755;
        St->st_nlink = 2;
        return;
    }
    const TInode& I = FInodes.at(Inode);
    St->st_mode = S_IFREG | I.Now.Mode;
    St->st_uid = I.Now.Uid;
    St->st_gid = I.Now.Gid;
    St->st_size = static_cast<off_t>(I.Now.Data.size());
    St->st_nlink = static_cast<nlink_t>(std::count_if(
        FEntries.begin(), FEntries.end(), [&](const auto& E) { return E.second == Inode; }));
}

int TSimulatedFs::Open(const char* Path, int Flags, mode_t Mode) {
    if (Failed())
        return -1;
    if (IsDirectory(Path)) {
        FOpen[FNextFd] = TOpenFile{};
        return FNextFd++;
    }
    const std::string Name(NameIn(Path));
    if (Name.empty() || Name.find('/') != std::string::npos) {
        errno = ENOENT;
        return -1;
    }
    FOpen[FNextFd] = TOpenFile{};
    const int DirFd = FNextFd++;
    const int Fd = OpenAt(DirFd, Name.c_str(), Flags, Mode);
    FOpen.erase(DirFd);
    return Fd;
}

int TSimulatedFs::OpenAt(int DirFd, const char* Name, int Flags, mode_t Mode) {
    const TOpenFile* D = Find(DirFd);
    if (D == nullptr || Failed())
        return -1;
    if (D->Inode != 0) {
        errno = ENOTDIR;
        return -1;
    }
    if (std::string_view(Name) == ".") {
        FOpen[FNextFd] = TOpenFile{};
        return FNextFd++;
    }
    int Inode = FileOf(Name);
    if (Inode != 0 && (Flags & O_CREAT) != 0 && (Flags & O_EXCL) != 0) {
        errno = EEXIST;
        return -1;
    }
    if (Inode != 0 && (Flags & O_DIRECTORY) != 0) {
        errno = ENOTDIR;
        return -1;
    }
    if (Inode == 0) {
        if ((Flags & O_CREAT) == 0) {
            errno = ENOENT;
            return -1;
        }
        if (!Change())
            return -1;
        Inode = FNextInode++;
        TInode& New = FInodes[Inode];
        New.Now.Mode = Mode & 07777;
        New.Now.Uid = FOptions.Uid;
        ChangeEntries({{Name, Inode}});
    }
    FOpen[FNextFd] = TOpenFile{Inode, (Flags & O_ACCMODE) != O_RDONLY};
    return FNextFd++;
}

int TSimulatedFs::Close(int Fd) {
    return FOpen.erase(Fd) == 1 ? 0 : (errno = EBADF, -1);
}

ssize_t TSimulatedFs::PRead(int Fd, void* Buf, std::size_t Len, off_t Offset) {
    const TOpenFile* F = Find(Fd);
    if (F == nullptr || Failed())
        return -1;
    const std::vector<uint8_t>& Data = FInodes.at(F->Inode).Now.Data;
    const auto At = static_cast<std::size_t>(Offset);
    if (At >= Data.size())
        return 0;
    const std::size_t N = std::min(Len, Data.size() - At);
    std::memcpy(Buf, Data.data() + At, N);
    return static_cast<ssize_t>(N);
}

ssize_t TSimulatedFs::PWrite(int Fd, const void* Buf, std::size_t Len, off_t Offset) {
    const TOpenFile* F = Find(Fd);
    if (F == nullptr)
        return -1;
    if (!F->Writable) {
        errno = EBADF;
        return -1;
    }
    if (!Change())
        return -1;
    TInode& Inode = FInodes.at(F->Inode);
    TChange C;
    C.Offset = static_cast<uint64_t>(Offset);
    const auto* P = static_cast<const uint8_t*>(Buf);
    C.Bytes.assign(P, P + Len);
    Apply(Inode.Now.Data, C, nullptr);
    Inode.Unflushed.push_back(std::move(C));
    return static_cast<ssize_t>(Len);
}

int TSimulatedFs::Truncate(int Fd, off_t Length) {
    const TOpenFile* F = Find(Fd);
    if (F == nullptr || !Change())
        return -1;
    TInode& Inode = FInodes.at(F->Inode);
    TChange C;
    C.IsWrite = false;
    C.Offset = static_cast<uint64_t>(Length);
    Apply(Inode.Now.Data, C, nullptr);
    Inode.Unflushed.push_back(std::move(C));
    return 0;
}

int TSimulatedFs::Reserve(int Fd, off_t, off_t) {
    if (Find(Fd) == nullptr || !Change())
        return -1;
    if (!FOptions.CanReserve) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return 0;
}

int TSimulatedFs::Sync(int Fd) {
    const TOpenFile* F = Find(Fd);
    if (F == nullptr || !Change())
        return -1;
    if (F->Inode == 0) {
        FFlushedEntries = FEntries;
        FUnflushedEntries.clear();
    } else {
        TInode& Inode = FInodes.at(F->Inode);
        Inode.Flushed = Inode.Now.Data;
        Inode.Unflushed.clear();
    }
    return 0;
}

int TSimulatedFs::Stat(const char* Path, struct stat* St) {
    if (Failed())
        return -1;
    if (IsDirectory(Path)) {
        FillStat(0, St);
        return 0;
    }
    const int Inode = FileOf(std::string(NameIn(Path)));
    if (Inode == 0) {
        errno = ENOENT;
        return -1;
    }
    FillStat(Inode, St);
    return 0;
}

int TSimulatedFs::FStat(int Fd, struct stat* St) {
    const TOpenFile* F = Find(Fd);
    if (F == nullptr || Failed())
        return -1;
    FillStat(F->Inode, St);
    return 0;
}

int TSimulatedFs::FStatAt(int DirFd, const char* Name, struct stat* St) {
    if (Find(DirFd) == nullptr || Failed())
        return -1;
    const int Inode = FileOf(Name);
    if (Inode == 0) {
        errno = ENOENT;
        return -1;
    }
    FillStat(Inode, St);
    return 0;
}

bool TSimulatedFs::RealPath(const char* Path, std::string& Resolved) {
    if (Failed())
        return false;
    if (!IsDirectory(Path) && FileOf(std::string(NameIn(Path))) == 0) {
        errno = ENOENT;
        return false;
    }
    Resolved = IsDirectory(Path) ? Dir : Path;
    return true;
}

int TSimulatedFs::LinkAt(int FromDir, const char* From, int ToDir, const char* To) {
    if (Find(FromDir) == nullptr || Find(ToDir) == nullptr)
        return -1;
    const int Inode = FileOf(From);
    if (Inode == 0 || FileOf(To) != 0) {
        errno = Inode == 0 ? ENOENT : EEXIST;
        return -1;
    }
    if (!Change())
        return -1;
    ChangeEntries({{To, Inode}});
    return 0;
}

int TSimulatedFs::RenameAt(int FromDir, const char* From, int ToDir, const char* To) {
    if (Find(FromDir) == nullptr || Find(ToDir) == nullptr)
        return -1;
    const int Inode = FileOf(From);
    if (Inode == 0) {
        errno = ENOENT;
        return -1;
    }
    if (To == FOptions.RenameRefusedTo) {
        errno = EBUSY;
        return -1;
    }
    if (!Change())
        return -1;
    if (FileOf(To) == Inode)
        return 0; // two names of one file: nothing happens
    ChangeEntries({{To, Inode}, {From, std::nullopt}});
    return 0;
}

int TSimulatedFs::UnlinkAt(int DirFd, const char* Name) {
    if (Find(DirFd) == nullptr)
        return -1;
    if (FileOf(Name) == 0) {
        errno = ENOENT;
        return -1;
    }
    if (!Change())
        return -1;
    ChangeEntries({{Name, std::nullopt}});
    return 0;
}

int TSimulatedFs::ReadDirectory(int DirFd, std::vector<std::string>& Names) {
    if (Find(DirFd) == nullptr || Failed())
        return -1;
    for (const auto& E : FEntries)
        Names.push_back(E.first);
    return 0;
}

int TSimulatedFs::LockByte(int Fd, off_t) {
    const TOpenFile* F = Find(Fd);
    if (F == nullptr || Failed())
        return -1;
    if (!F->Writable) {
        errno = EBADF;
        return -1;
    }
    return 0;
}

int TSimulatedFs::FChown(int Fd, uid_t Owner, gid_t Group) {
    const TOpenFile* F = Find(Fd);
    if (F == nullptr || !Change())
        return -1;
    TFileImage& Image = FInodes.at(F->Inode).Now;
    if (Owner != static_cast<uid_t>(-1) && Owner != Image.Uid && !FOptions.Root) {
        errno = EPERM;
        return -1;
    }
    if (Owner != static_cast<uid_t>(-1))
        Image.Uid = Owner;
    if (Group != static_cast<gid_t>(-1))
        Image.Gid = Group;
    return 0;
}

int TSimulatedFs::FChmod(int Fd, mode_t Mode) {
    const TOpenFile* F = Find(Fd);
    if (F == nullptr || !Change())
        return -1;
    FInodes.at(F->Inode).Now.Mode = Mode & 07777;
    return 0;
}

ssize_t TSimulatedFs::FGetXattr(int Fd, const char*, void*, std::size_t) {
    if (Find(Fd) == nullptr || Failed())
        return -1;
    errno = ENODATA;
    return -1;
}

int TSimulatedFs::FSetXattr(int Fd, const char*, const void*, std::size_t) {
    if (Find(Fd) == nullptr || !Change())
        return -1;
    return 0;
}

} // namespace sim
