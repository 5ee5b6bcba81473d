#pragma once
// The store: an owning list of TUserC with the user file, its header, lock and checks.

#include "runtime/File.h"
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
    // byte 14 locked until Save; a reader has closed it again on return.
    int Open(const std::string& FileName, bool ForWriting);
    // Writes the list back when opened for writing (a fresh seed each time; the file keeps
    // its length and stale records), then closes the file, dropping the lock; afterwards the
    // store holds no file, whatever the outcome. When the session changed the users (added,
    // deleted or changed one), the file as it was stays as its previous version where it is
    // replaced (TFileRewrite::KeepPrevious), and the audit trail gets a line per user changed
    // and one for the save; an unchanged session keeps the older previous version and writes
    // no audit line. Returns false, after showing SaveFailedText
    // with mbError, when the file could not be written (or the list is empty); the file's
    // contents are then as they were (or as the next writer's Open completes an in-place
    // write). Not opened for writing: writes nothing, returns true.
    bool Save();
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
    // OpenChecked's outcome when the file was replaced between its open and its lock.
    static constexpr int OpenStartOver = -1;
    int OpenChecked(bool Writing);    // opens, checks and loads FFileName
    int LockAndReread();              // for a writer, between its open and its checks
    int LoadRecords(int RecordCount); // reads, checks and appends the area's users

    TFile Handle;
    bool ForWriting = false;
    std::string FFileName; // as given to Open; Save replaces the file it names
    TSessionAudit Session; // what a writer loaded, to tell what its session changed
    bool NewFile = false;
};
