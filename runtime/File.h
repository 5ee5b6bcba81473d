#pragma once
// A file handle that closes itself, with the one-byte lock the user file's writers take.
// Every opener lets others read and write the file; the lock is an open-file-description
// lock, so it excludes a second opener even inside the same process, never blocks a reader
// that takes no lock, and vanishes when its holder closes the file or dies. Every operation
// goes through the file system in use (FileSystem.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

// True when Path names an existing file (symbolic links followed); false for a directory.
bool FileExists(const std::string& Path);

// Writes all Len bytes to the descriptor (a terminal, a pipe) at its position, repeating
// interrupted and short writes; false (errno set) when any of them was not written.
bool WriteAll(int Fd, const void* Buf, std::size_t Len);
// The same at Offset of a file, through the file system in use, without moving its position.
bool WriteAllAt(int Fd, int64_t Offset, const void* Buf, std::size_t Len);
// Reads up to Len bytes at Offset, repeating interrupted and short reads; returns the number read
// (less than Len only at the end of the file) or -1 on failure.
int64_t ReadAllAt(int Fd, int64_t Offset, void* Buf, std::size_t Len);

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so that no file the
// program opens later takes the place of standard input or output. False when that failed.
bool OpenStandardDescriptors();

enum class TFileMode { ReadOnly, ReadWrite };
enum class TLockResult { Locked, Refused, Failed };

class TFile {
public:
    TFile() = default;
    ~TFile() { (void)Close(); }
    TFile(TFile&& Other) noexcept;
    TFile& operator=(TFile&& Other) noexcept;
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Opens an existing regular file; false (errno set) when it cannot be opened or is not a
    // regular file. A file without any write permission bit is read-only for everybody, root
    // included, as a read-only attribute would be. Closes whatever this object held before.
    [[nodiscard]] bool Open(const std::string& Path, TFileMode Mode);
    // The same for the entry Name of the open directory DirFd, never following a symbolic link.
    [[nodiscard]] bool OpenAt(int DirFd, const std::string& Name, TFileMode Mode);
    // Creates the new file Name in the open directory DirFd for reading and writing; false when
    // the name exists (even as a symbolic link) or the file cannot be made.
    [[nodiscard]] bool CreateAt(int DirFd, const std::string& Name, mode_t Mode);
    // Closes the handle (which drops a lock it holds); false when the close reported an error,
    // which for a written file may mean that its data did not reach the disk.
    [[nodiscard]] bool Close();

    bool IsOpen() const { return FFd >= 0; }
    int Fd() const { return FFd; }

    int64_t Size() const;                           // -1 on failure
    [[nodiscard]] bool Stat(struct stat& St) const; // fstat
    // Reads up to Len bytes at Offset; returns the number read (less than Len only at the end of
    // the file) or -1 on failure.
    int64_t ReadAt(int64_t Offset, void* Buf, std::size_t Len) const;
    // Writes all Len bytes at Offset; false when any of them was not written.
    [[nodiscard]] bool WriteAt(int64_t Offset, const void* Buf, std::size_t Len);
    // Pushes written data and metadata to the disk.
    [[nodiscard]] bool Flush();

    // Locks one byte for writing without waiting. Refused when another open of the file holds
    // a conflicting lock. The file must be open for writing.
    TLockResult LockByte(int64_t Offset);

private:
    bool Adopt(int Fd, TFileMode Mode);

    int FFd = -1;
};
