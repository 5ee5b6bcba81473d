#pragma once
// The file and directory operations of the user file's opens and saves, behind one small
// interface, so that a test can put a simulated file system in their place (one that records
// every operation and plays a power cut). Each operation is the POSIX call of the same shape:
// -1 (or false) with errno set on failure. The real file system is the default; nothing else in
// the program replaces it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

class TFileSystem {
public:
    virtual ~TFileSystem() = default;

    // open(2)/openat(2). Never waits on a FIFO in a file's place; the descriptor is blocking.
    virtual int Open(const char* Path, int Flags, mode_t Mode) = 0;
    virtual int OpenAt(int DirFd, const char* Name, int Flags, mode_t Mode) = 0;
    virtual int Close(int Fd) = 0;
    virtual ssize_t PRead(int Fd, void* Buf, std::size_t Len, off_t Offset) = 0;
    virtual ssize_t PWrite(int Fd, const void* Buf, std::size_t Len, off_t Offset) = 0;
    virtual int Truncate(int Fd, off_t Length) = 0;
    // fallocate(2) with FALLOC_FL_KEEP_SIZE: room reserved past the end, the length unchanged.
    virtual int Reserve(int Fd, off_t Offset, off_t Len) = 0;
    // fsync(2), of a file or of a directory's entries.
    virtual int Sync(int Fd) = 0;
    // Starts writing a range back to the disk without waiting (a hint; nothing to report).
    virtual void StartWriteBack(int Fd, off_t Offset, off_t Len) = 0;

    virtual int Stat(const char* Path, struct stat* St) = 0; // symbolic links followed
    virtual int FStat(int Fd, struct stat* St) = 0;
    virtual int FStatAt(int DirFd, const char* Name, struct stat* St) = 0; // no link followed
    // realpath(3): false when Path cannot be resolved. Only before a lock is taken.
    virtual bool RealPath(const char* Path, std::string& Resolved) = 0;

    // linkat(2) without following a link; renameat(2).
    virtual int LinkAt(int FromDir, const char* From, int ToDir, const char* To) = 0;
    virtual int RenameAt(int FromDir, const char* From, int ToDir, const char* To) = 0;
    virtual int UnlinkAt(int DirFd, const char* Name) = 0;
    // The names in the directory, "." and ".." left out.
    virtual int ReadDirectory(int DirFd, std::vector<std::string>& Names) = 0;

    // A write lock on one byte, without waiting (an open file description lock).
    virtual int LockByte(int Fd, off_t Offset) = 0;

    // Owner, mode and extended attributes, carried over to a file that replaces another.
    virtual int FChown(int Fd, uid_t Owner, gid_t Group) = 0;
    virtual int FChmod(int Fd, mode_t Mode) = 0;
    virtual ssize_t FListXattr(int Fd, char* List, std::size_t Size) = 0;
    virtual ssize_t FGetXattr(int Fd, const char* Name, void* Value, std::size_t Size) = 0;
    virtual int FSetXattr(int Fd, const char* Name, const void* Value, std::size_t Size) = 0;
};

// The file system in use: the real one unless a test put another in its place.
TFileSystem& Fs();
// For tests: makes Replacement the file system in use (nullptr: the real one again).
void UseFileSystem(TFileSystem* Replacement);
