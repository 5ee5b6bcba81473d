#pragma once
// A file handle that closes itself, with the one-byte lock the user file's writers take.
// Every opener lets others read and write the file; the lock is an open-file-description
// lock, so it excludes a second opener even inside the same process, never blocks a reader
// that takes no lock, and vanishes when its holder closes the file or dies.

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

// True when Path names an existing file (symbolic links followed); false for a directory.
bool FileExists(const std::string& Path);

// Writes all Len bytes to the descriptor (WriteAllAt at Offset, without moving its position),
// repeating interrupted and short writes; false (errno set) when any of them was not written.
bool WriteAll(int Fd, const void* Buf, std::size_t Len);
bool WriteAllAt(int Fd, int64_t Offset, const void* Buf, std::size_t Len);
// Reads up to Len bytes at Offset, repeating interrupted and short reads; returns the number read
// (less than Len only at the end of the file) or -1 on failure.
int64_t ReadAllAt(int Fd, int64_t Offset, void* Buf, std::size_t Len);

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so that no file the
// program opens later takes the place of standard input or output. False when that failed.
bool OpenStandardDescriptors();

// Flushes the directory's entries (a rename or a link in it) to the disk. File systems that cannot
// flush a directory count as flushed: their renames are as durable as they get.
bool SyncDirectory(const std::string& Dir);

enum class TFileMode { ReadOnly, ReadWrite };
enum class TLockResult { Locked, Refused, Failed };

class TFile {
public:
    TFile() = default;
    ~TFile() { Close(); }
    TFile(TFile&& Other) noexcept;
    TFile& operator=(TFile&& Other) noexcept;
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Opens an existing regular file; false (errno set) when it cannot be opened or is not a
    // regular file. A file without any write permission bit is read-only for everybody, root
    // included, as a read-only attribute would be. Closes whatever this object held before.
    bool Open(const std::string& Path, TFileMode Mode);
    // Creates a new file for reading and writing; false when it exists or cannot be created.
    bool Create(const std::string& Path, mode_t Mode);
    // Closes the handle (which drops a lock it holds); false when the close reported an error.
    bool Close();

    bool IsOpen() const { return FFd >= 0; }
    int Fd() const { return FFd; }

    int64_t Size() const; // -1 on failure
    bool Seek(int64_t Offset);
    // Reads up to Len bytes from the current position, retrying short reads; returns the
    // number read (less than Len only at the end of the file) or -1 on failure.
    int64_t Read(void* Buf, std::size_t Len);
    // Writes all Len bytes at the current position; false when any of them was not written.
    bool Write(const void* Buf, std::size_t Len);
    // Reads/writes at an offset without moving the position.
    int64_t ReadAt(int64_t Offset, void* Buf, std::size_t Len) const;
    bool WriteAt(int64_t Offset, const void* Buf, std::size_t Len);
    // Pushes written data and metadata to the disk.
    bool Flush();

    // Locks one byte for writing without waiting. Refused when another open of the file holds
    // a conflicting lock. The file must be open for writing.
    TLockResult LockByte(int64_t Offset);

    // True when Path (symbolic links followed) still names the file this handle has open.
    bool IsSameFileAs(const std::string& Path) const;

private:
    int FFd = -1;
};
