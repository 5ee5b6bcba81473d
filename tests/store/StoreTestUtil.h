#pragma once
// Helpers of the store's tests: files on disk, recorded message boxes, child processes.

#include "FileBytes.h"
#include "RefFile.h"
#include "TempDir.h"
#include "store/UserManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The user's record as it stands in memory.
inline ref::TRecordBytes RecordBytes(const TUserC& User) {
    static_assert(sizeof User.Rec == ref::RecordSize);
    ref::TRecordBytes Bytes;
    std::memcpy(Bytes.data(), &User.Rec, Bytes.size());
    return Bytes;
}

// A record in memory made of Bytes, or of User as the independent encoder writes it.
inline TUserRec RecordOf(const ref::TRecordBytes& Bytes) {
    TUserRec Rec;
    std::memcpy(&Rec, Bytes.data(), sizeof Rec);
    return Rec;
}
inline TUserRec RecordOf(const ref::TUser& User) {
    return RecordOf(ref::EncodeRecord(User));
}

inline struct stat StatOf(const std::string& Path) {
    struct stat St {};
    if (::lstat(Path.c_str(), &St) != 0)
        ADD_FAILURE() << "lstat " << Path;
    return St;
}

inline std::vector<std::string> DirEntries(const std::filesystem::path& Dir) {
    std::vector<std::string> Names;
    for (const auto& E : std::filesystem::directory_iterator(Dir))
        Names.push_back(E.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
}

// Records the store's message boxes while it lives; the default comes back afterwards.
class TMessageLog {
public:
    struct TCall {
        std::string Text, Caption;
        int Flags;
    };
    TMessageLog() {
        SetStoreMessageBox([this](const std::string& Text, const std::string& Caption, int Flags) {
            Calls.push_back({Text, Caption, Flags});
            return 1;
        });
    }
    ~TMessageLog() { SetStoreMessageBox({}); }
    TMessageLog(const TMessageLog&) = delete;
    TMessageLog& operator=(const TMessageLog&) = delete;
    std::vector<TCall> Calls;
};

// A user with a logon right, distinct names and passwords, seeds and Reserved bytes.
inline ref::TUser SampleUser(int N) {
    ref::TUser U;
    U.Id = static_cast<uint16_t>(100 + N);
    U.PassSeed = 1000 + N * 7919;
    U.NetPassSeed = 0x7FFFFFFE - N;
    U.Rights = 0x00000001u | (static_cast<uint32_t>(N) << 8 & 0x00001F00u) | 0x80000000u;
    U.Objects = 0x80000001u ^ static_cast<uint32_t>(N);
    U.Name = "Pan Nr " + std::to_string(N) + " \xA3\xF3\x9F"; // "Łóź" in code page 1250
    U.UserName = "user" + std::to_string(N);
    U.NetUserName = "net" + std::to_string(N);
    U.Pass = "pw" + std::to_string(N);
    U.NetPass = "np" + std::to_string(N);
    for (std::size_t I = 0; I < U.Reserved.size(); ++I)
        U.Reserved[I] = static_cast<uint8_t>(N + I * 3);
    U.Filler = static_cast<uint8_t>(0xC0 + N);
    return U;
}

inline ref::TFileContents SampleContents(int Users, int StaleRecords = 0) {
    ref::TFileContents Contents;
    Contents.LastId = static_cast<uint16_t>(100 + Users + 5);
    Contents.Seed = 0x0BADF00D;
    for (int I = 0; I < Users; ++I)
        Contents.Users.push_back(SampleUser(I));
    for (int I = 0; I < StaleRecords * 205; ++I)
        Contents.Trailer.push_back(static_cast<uint8_t>(0x5A ^ I));
    return Contents;
}

// Runs Body in a child process and returns its exit code (or 128 + the signal that ended it).
// Body reports failure through its result; gtest assertions do not cross the fork.
inline int RunInChild(const std::function<int()>& Body) {
    std::fflush(nullptr);
    const pid_t Child = ::fork();
    if (Child < 0)
        return -1;
    if (Child == 0)
        ::_exit(Body());
    int Status = 0;
    ::waitpid(Child, &Status, 0);
    if (WIFEXITED(Status))
        return WEXITSTATUS(Status);
    return 128 + WTERMSIG(Status);
}

inline constexpr uid_t NobodyId = 65534;

// In a child process: gives up root so that file permissions apply (tests run as root in CI),
// keeping only the further Groups. Returns false when that failed.
inline bool DropRoot(const std::vector<gid_t>& Groups = {}) {
    if (::geteuid() != 0)
        return true;
    return ::setgroups(Groups.size(), Groups.data()) == 0 && ::setgid(NobodyId) == 0 &&
           ::setuid(NobodyId) == 0;
}
