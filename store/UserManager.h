#pragma once
// The store: an owning list of TUserC with the user file, its header, lock and checks.

#include "runtime/File.h"
#include "runtime/FileRewrite.h"
#include "runtime/PinnedDirectory.h"
#include "store/ExCls.h"
#include "store/SessionAudit.h"
#include "store/UserC.h"
#include "store/UserRec.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Open results.
enum : int {
    ueOk = 0,
    ueNoFile = 1,
    ueCreate = 2,
    ueOpen = 3,
    ueBadFile = 4,
    ueLocked = 5,
    ueDamaged = 6
};

// Message-box flags of every message the store shows: the error icon and one OK button.
inline constexpr int mbError = 16;

// How the store shows a message: text (UTF-8), caption, Windows message-box flags; returns the
// button pressed. The GUI plugs in its message box, the command-line tool prints, tests record.
using TMessageBoxFn =
    std::function<int(const std::string& Text, const std::string& Caption, int Flags)>;
void SetStoreMessageBox(TMessageBoxFn Fn); // an empty function restores the default (stderr)
int StoreMessageBox(const std::string& Text, const std::string& Caption, int Flags);

// The message of an open result 1..6 (UTF-8), or an empty string for any other code.
std::string UserFileErrorText(int Code);
inline constexpr const char* SaveFailedText = "Nie można zapisać pliku z użytkownikami";
// On standard error when the file was replaced but the directory could not be flushed.
inline constexpr const char* SaveNotDurableText =
    "Ostrzeżenie: zapis pliku z użytkownikami może nie przetrwać awarii zasilania";

class TUserManager : public TObjList {
public:
    TUserManager() = default;
    ~TUserManager() override = default;

    // An open result (ue...). Called once, on an empty store. A writer keeps the file open with
    // byte 14 locked until Save, and from the lock on works only relative to the directory that
    // holds the locked file (runtime/PinnedDirectory.h); a reader has closed it again on return.
    int Open(const std::string& FileName, bool ForWriting);
    // Open for the entry Name of a pinned directory, never following a symbolic link: a file
    // being made under a temporary name, or the previous version beside the file being restored.
    int OpenAt(const TPinnedDirectory& Dir, const std::string& Name, bool ForWriting);
    // A writer's open for usrpass restore, which also holds a file that is no user file or is
    // damaged (ueBadFile, ueDamaged): locked, with no users, so that RestoreFrom can replace it.
    int OpenForRestore(const std::string& FileName);
    // Writes the list back when opened for writing (a fresh seed each time; the file keeps
    // its length and stale records), then closes the file, dropping the lock; afterwards the
    // store holds no file, whatever the outcome. When the session changed the users (added,
    // deleted or changed one), the file as it was stays as its previous version where it is
    // replaced, and the audit trail gets a line per user changed and one for the save; an
    // unchanged session keeps the older previous version and writes no audit line. Returns
    // false, after showing SaveFailedText with mbError, when the file could not be written (or
    // the list is empty); the file's contents are then as they were. Not opened for writing:
    // writes nothing, returns true.
    [[nodiscard]] bool Save();
    // usrpass restore: Source's users and LastId in place of this writer's, saved so that the file
    // as it was stays as the previous version, or, when it was held damaged (OpenForRestore),
    // under AsideName, a new name beside it; the previous version then stays as it is. Refused,
    // with nothing written, where the file as it was cannot be kept so (it would be written in
    // place, or the file system makes no hard links). Reports nothing itself; the store holds no
    // file afterwards. SourceName names the source in the audit line.
    [[nodiscard]] TRewriteResult RestoreFrom(const TUserManager& Source,
                                             const std::string& SourceName,
                                             const std::string& AsideName);
    // The pinned directory of a writer's file, and the file's name in it.
    const TPinnedDirectory& Directory() const { return FDir; }
    uint16_t Logon(std::string_view UserName, std::string_view Password) const;
    TUserC* UserById(uint16_t Id) const;
    bool LogonNameUsed(std::string_view UserName, uint16_t Id) const;
    bool IsAdmin(uint16_t Id) const;
    void ShowUserFileError(int Code) const;

    TUserC* Items(int Index) const { return static_cast<TUserC*>(TObjList::Items(Index)); }
    bool IsForWriting() const { return ForWriting; }
    // For a file being made (usrpass init): the users it was opened with count as none, so the
    // audit names every user as added; no previous version is kept, and Save writes no audit line
    // about the file, whose creation the caller reports.
    void AuditAsNewFile();

    TUserFileHeader Header{};

private:
    // Where Open finds the file: a path, or an entry of a pinned directory.
    struct TWhere {
        const std::string* Path = nullptr;
        const TPinnedDirectory* Dir = nullptr;
        std::string Name;
    };
    // OpenChecked's outcome when the file was replaced between its open and its lock.
    static constexpr int OpenStartOver = -1;
    int OpenFile(const TWhere& Where, bool Writing, bool HoldDamaged);
    int OpenChecked(const TWhere& Where, bool Writing, bool HoldDamaged);
    int LockPinAndReread(const TWhere& Where); // for a writer, between its open and its checks
    int LoadRecords(int RecordCount);          // reads, checks and appends the area's users
    // The transaction of every save: the records encoded under a fresh seed into the rewrite of
    // the file, which is committed by Plan; then the file is closed, which drops the lock.
    TRewriteResult WriteBack(TRewritePlan Plan, bool& Kept);

    TFile Handle;
    bool ForWriting = false;
    TPinnedDirectory FDir;  // a writer's, from its lock on
    TSessionAudit FSession; // what a writer loaded, to tell what its session changed
    bool FNewFile = false;
    bool FHeldDamaged = false; // OpenForRestore holds a file it could not load
};
