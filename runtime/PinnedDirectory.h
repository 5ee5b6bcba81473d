#pragma once
// The directory that holds a locked file, opened once and then kept. Every later step of a save
// (temporary files, the previous version, the final rename, the flush) is made relative to it:
// nobody who may write a directory on the way, or the directory itself, can then redirect a save
// to another place by swapping a directory or a symbolic link in between, since no path is
// resolved again. Within the pinned directory a name is only ever looked at without following a
// symbolic link.

#include "runtime/File.h"

#include <string>
#include <sys/stat.h>

class TPinnedDirectory {
public:
    TPinnedDirectory() = default;
    ~TPinnedDirectory();
    TPinnedDirectory(TPinnedDirectory&& Other) noexcept;
    TPinnedDirectory& operator=(TPinnedDirectory&& Other) noexcept;
    TPinnedDirectory(const TPinnedDirectory&) = delete;
    TPinnedDirectory& operator=(const TPinnedDirectory&) = delete;

    // Pins the directory of the real file that Path names (symbolic links followed, once, now)
    // and names the file in it. Done before the file is opened and locked: the one time a path
    // is resolved. False, with nothing pinned, when Path leads nowhere.
    [[nodiscard]] bool PinDirectoryOf(const std::string& Path);
    // Whether the pinned entry is, now, the very file Locked has open: whatever happened to the
    // path meanwhile, a lock is worth something only on the file the name leads to.
    [[nodiscard]] bool HoldsFile(const TFile& Locked) const;
    // Pins the directory DirPath, for a file that is to be made in it, and names the file.
    [[nodiscard]] bool PinForNewFile(const std::string& DirPath, const std::string& FileName);
    // Another file of the same directory, for a file made under a temporary name.
    [[nodiscard]] TPinnedDirectory Duplicate(const std::string& FileName) const;

    bool IsPinned() const { return FFd >= 0; }
    int Fd() const { return FFd; }
    // The pinned file's entry in the directory.
    const std::string& FileName() const { return FFileName; }
    // The directory's path as it was resolved when pinned: for messages and the audit only.
    const std::string& Path() const { return FPath; }
    std::string PathOf(const std::string& Name) const;
    std::string FilePath() const { return PathOf(FFileName); }

    // Whether the entry Name is the file whose status is St (a symbolic link never is).
    bool Names(const std::string& Name, const struct stat& St) const;
    // Whether the entry Name exists at all (as anything, a dangling link included).
    bool Has(const std::string& Name) const;
    // Flushes the directory's entries to the disk; a file system that cannot flush a directory
    // counts as flushed. Tried twice.
    [[nodiscard]] bool Sync() const;

private:
    bool OpenDirectory(const std::string& DirPath);

    int FFd = -1;
    std::string FPath;
    std::string FFileName;
};

// The directory part and the last part of a path ("." for a bare name).
std::string DirectoryPart(const std::string& Path);
std::string NamePart(const std::string& Path);
