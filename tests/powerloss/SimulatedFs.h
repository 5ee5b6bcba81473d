#pragma once
// An in-memory file system with one directory, "/sim", for power-loss tests. It records every
// change made since each file's and the directory's last flush, stops at a chosen operation as
// if the power failed there, and gives the states the disk may then hold under this model:
// - A file's data written since its last flush may be lost, or partly there: a prefix of its
//   writes and truncations in order, the last write torn in whole 512-byte sectors (its last
//   sectors lost first); or any subset of the unflushed sectors of a window of 32, the sectors
//   written before the window there and those after it lost, lengths as last set.
// - Each entry of the directory made, linked, renamed or removed since the directory's last
//   flush may or may not be there, independently of the others (a rename moves its file
//   whole, or not at all).
// - A flush makes everything before it durable for that file or that directory.
// Owners, modes and attributes are not modelled; they take effect at once.

#include "runtime/FileSystem.h"

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace sim {

inline constexpr const char* Dir = "/sim";

struct TFileImage {
    std::vector<uint8_t> Data;
    mode_t Mode = 0600;
    uid_t Uid = 0;
    gid_t Gid = 0;
};

// What the disk holds: the directory's entries (name to file number) and the files.
struct TDisk {
    std::map<std::string, int> Entries;
    std::map<int, TFileImage> Files;

    // A file of its own under Name.
    void Put(const std::string& Name, std::vector<uint8_t> Data, mode_t Mode = 0600);
    // A second name of the file under Existing.
    void Link(const std::string& Existing, const std::string& Name);
    const std::vector<uint8_t>* Bytes(const std::string& Name) const;
};

struct TOptions {
    bool Root = true;            // may give a file any owner
    uid_t Uid = 0;               // the owner of the files the process makes
    bool CanReserve = true;      // fallocate is supported
    std::string RenameRefusedTo; // a rename onto this name fails with EBUSY (a bind mount)
};

class TSimulatedFs final : public TFileSystem {
public:
    TSimulatedFs(const TDisk& Disk, TOptions Options);
    ~TSimulatedFs() override;
    TSimulatedFs(const TSimulatedFs&) = delete;
    TSimulatedFs& operator=(const TSimulatedFs&) = delete;

    // The power fails before the CrashAt-th change (0 the first); every later operation fails
    // with EIO and changes nothing. -1: never.
    void CrashBefore(int CrashAt) { FCrashAt = CrashAt; }
    bool Crashed() const { return FCrashAt >= 0 && FChanges >= FCrashAt; }
    int Changes() const { return FChanges; } // changes made (operations that may be crash points)

    // The states a power cut at this moment may leave: everything unflushed lost, everything
    // kept, the directory's changes kept with the files' lost and the reverse, and Mixtures
    // drawn at random from the model.
    std::vector<TDisk> PowerCutStates(std::mt19937& Rng, int Mixtures) const;

    int Open(const char* Path, int Flags, mode_t Mode) override;
    int OpenAt(int DirFd, const char* Name, int Flags, mode_t Mode) override;
    int Close(int Fd) override;
    ssize_t PRead(int Fd, void* Buf, std::size_t Len, off_t Offset) override;
    ssize_t PWrite(int Fd, const void* Buf, std::size_t Len, off_t Offset) override;
    int Truncate(int Fd, off_t Length) override;
    int Reserve(int Fd, off_t Offset, off_t Len) override;
    int Sync(int Fd) override;
    void StartWriteBack(int, off_t, off_t) override {}
    int Stat(const char* Path, struct stat* St) override;
    int FStat(int Fd, struct stat* St) override;
    int FStatAt(int DirFd, const char* Name, struct stat* St) override;
    bool RealPath(const char* Path, std::string& Resolved) override;
    int LinkAt(int FromDir, const char* From, int ToDir, const char* To) override;
    int RenameAt(int FromDir, const char* From, int ToDir, const char* To) override;
    int UnlinkAt(int DirFd, const char* Name) override;
    int ReadDirectory(int DirFd, std::vector<std::string>& Names) override;
    int LockByte(int Fd, off_t Offset) override;
    int FChown(int Fd, uid_t Owner, gid_t Group) override;
    int FChmod(int Fd, mode_t Mode) override;
    ssize_t FListXattr(int, char*, std::size_t) override { return 0; }
    ssize_t FGetXattr(int Fd, const char* Name, void* Value, std::size_t Size) override;
    int FSetXattr(int Fd, const char* Name, const void* Value, std::size_t Size) override;

    struct TChange { // one write or truncation of a file, since its last flush
        bool IsWrite = true;
        uint64_t Offset = 0; // of a write; the new length of a truncation
        std::vector<uint8_t> Bytes;
    };
    struct TInode {
        TFileImage Now;
        std::vector<uint8_t> Flushed;
        std::vector<TChange> Unflushed;
    };
    // One change of the directory: each name to a file, or to none (removed).
    using TEntryChange = std::vector<std::pair<std::string, std::optional<int>>>;

private:
    struct TOpenFile {
        int Inode = 0; // 0: the directory
        bool Writable = false;
    };
    bool Change(); // false (errno EIO) when the power has failed
    bool Failed(); // errno EIO when the power has failed
    TOpenFile* Find(int Fd);
    int FileOf(const std::string& Name) const;
    void ChangeEntries(TEntryChange Entries);
    void FillStat(int Inode, struct stat* St) const;

    TOptions FOptions;
    std::map<int, TInode> FInodes;
    std::map<std::string, int> FEntries;        // the directory now
    std::map<std::string, int> FFlushedEntries; // as it was at its last flush
    std::vector<TEntryChange> FUnflushedEntries;
    std::map<int, TOpenFile> FOpen;
    int FNextFd = 1000;
    int FNextInode = 1;
    int FChanges = 0;
    int FCrashAt = -1;
};

} // namespace sim
