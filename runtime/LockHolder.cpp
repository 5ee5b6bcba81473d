#include "runtime/LockHolder.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// One lock as /proc/locks and /proc/PID/fdinfo show it, e.g.
// "1: OFDLCK ADVISORY  WRITE -1 fe:00:10953076 14 14" (the device in hex, then the inode).
struct TLockLine {
    std::string Kind; // POSIX, OFDLCK, FLOCK, ...
    long Pid = 0;     // -1 where the lock belongs to no process
    unsigned Major = 0, Minor = 0;
    unsigned long long Inode = 0;
    long long Start = 0;
    std::optional<long long> End; // none for EOF
};

template <class T> bool ParseNumber(std::string_view Text, T& Value, int Base = 10) {
    const auto [Ptr, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value, Base);
    return Error == std::errc() && Ptr == Text.data() + Text.size();
}

// The text after "N:" (and after "lock:" in fdinfo); waiters, shown with "->", are not holders.
std::optional<TLockLine> ParseLockLine(const std::string& Text) {
    std::istringstream In(Text);
    std::string Number, Kind, Mode, Access, Pid, Device, Start, End;
    if (!(In >> Number >> Kind) || Kind == "->")
        return std::nullopt;
    if (!(In >> Mode >> Access >> Pid >> Device >> Start >> End))
        return std::nullopt;
    TLockLine Line;
    Line.Kind = Kind;
    const std::size_t First = Device.find(':');
    const std::size_t Second = Device.find(':', First + 1);
    if (First == std::string::npos || Second == std::string::npos ||
        !ParseNumber(std::string_view(Pid), Line.Pid) ||
        !ParseNumber(std::string_view(Device).substr(0, First), Line.Major, 16) ||
        !ParseNumber(std::string_view(Device).substr(First + 1, Second - First - 1), Line.Minor,
                     16) ||
        !ParseNumber(std::string_view(Device).substr(Second + 1), Line.Inode) ||
        !ParseNumber(std::string_view(Start), Line.Start))
        return std::nullopt;
    long long Last = 0;
    if (End != "EOF") {
        if (!ParseNumber(std::string_view(End), Last))
            return std::nullopt;
        Line.End = Last;
    }
    return Line;
}

struct TTarget {
    struct stat File;
    int64_t Offset;

    bool Covers(const TLockLine& L) const {
        return L.Major == major(File.st_dev) && L.Minor == minor(File.st_dev) &&
               L.Inode == File.st_ino && L.Start <= Offset && (!L.End || Offset <= *L.End);
    }
};

std::optional<TLockHolder> Describe(pid_t Pid) {
    const std::string Dir = "/proc/" + std::to_string(Pid);
    struct stat St {};
    if (::stat(Dir.c_str(), &St) != 0)
        return std::nullopt;
    TLockHolder Holder;
    Holder.Pid = Pid;
    Holder.Uid = St.st_uid;
    std::ifstream Comm(Dir + "/comm");
    std::getline(Comm, Holder.Command);
    return Holder;
}

// The processes whose open files hold an open-file-description lock that covers the target.
void SearchOpenFiles(const TTarget& Target, std::vector<TLockHolder>& Holders) {
    DIR* Proc = ::opendir("/proc");
    if (Proc == nullptr)
        return;
    while (const dirent* Entry = ::readdir(Proc)) {
        pid_t Pid = 0;
        if (!ParseNumber(std::string_view(Entry->d_name), Pid))
            continue;
        const std::string FdInfo = "/proc/" + std::string(Entry->d_name) + "/fdinfo";
        DIR* Fds = ::opendir(FdInfo.c_str());
        if (Fds == nullptr)
            continue; // not ours to see, or gone
        bool Holds = false;
        while (const dirent* Fd = ::readdir(Fds)) {
            if (Holds || Fd->d_name[0] == '.')
                continue;
            std::ifstream Info(FdInfo + "/" + Fd->d_name);
            for (std::string Line; !Holds && std::getline(Info, Line);) {
                if (Line.rfind("lock:", 0) != 0)
                    continue;
                const std::optional<TLockLine> Lock = ParseLockLine(Line.substr(5));
                Holds = Lock && Target.Covers(*Lock);
            }
        }
        ::closedir(Fds);
        if (Holds) {
            if (std::optional<TLockHolder> Holder = Describe(Pid))
                Holders.push_back(std::move(*Holder));
        }
    }
    ::closedir(Proc);
}

} // namespace

std::vector<TLockHolder> FindLockHolders(const std::string& Path, int64_t Offset) {
    TTarget Target{{}, Offset};
    if (::stat(Path.c_str(), &Target.File) != 0)
        return {};
    std::vector<TLockHolder> Holders;
    bool WithoutProcess = false;
    std::ifstream Locks("/proc/locks");
    for (std::string Line; std::getline(Locks, Line);) {
        const std::optional<TLockLine> Lock = ParseLockLine(Line);
        if (!Lock || !Target.Covers(*Lock))
            continue;
        if (Lock->Pid > 0) {
            if (std::optional<TLockHolder> Holder = Describe(static_cast<pid_t>(Lock->Pid)))
                Holders.push_back(std::move(*Holder));
        } else {
            WithoutProcess = true;
        }
    }
    if (WithoutProcess)
        SearchOpenFiles(Target, Holders);
    std::sort(Holders.begin(), Holders.end(),
              [](const TLockHolder& A, const TLockHolder& B) { return A.Pid < B.Pid; });
    Holders.erase(
        std::unique(Holders.begin(), Holders.end(),
                    [](const TLockHolder& A, const TLockHolder& B) { return A.Pid == B.Pid; }),
        Holders.end());
    return Holders;
}
