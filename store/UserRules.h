#pragma once
// The rules for a new or changed user that the window and usrpass both keep: the user editor's
// checks on OK and the main window's Add.

#include "store/UserC.h"
#include "store/UserManager.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

inline constexpr uint16_t UserIdLimit = 0xFFF5; // identifiers at and above it are not handed out
inline constexpr int MaxUserCount = 0xFFFF;     // the file counts its users in 16 bits
inline constexpr const char* NoMoreUsersText = "Nie można dodawać więcej użytkowników";

// The editor's refusals on OK, in the order in which it checks them.
enum class TRefusal {
    NoUserName,        // the logon name is empty
    AdminWithoutLogon, // the administrator must keep the logon right
    LogonNameTaken,    // another user with the logon right has the logon name
};
// The editor's own message (UTF-8).
const char* RefusalText(TRefusal Refusal);

// The logon names of the users who hold the logon right, gathered in one pass: LogonNameUsed for
// many users at once. Holds views of the users' names; valid while the store and their names stay
// as they were.
class TLogonNames {
public:
    explicit TLogonNames(const TUserManager& Store);
    // As TUserManager::LogonNameUsed.
    bool Used(std::string_view UserName, uint16_t Id) const;

private:
    struct THolders {
        uint16_t FirstId;
        bool OtherIds; // a holder with another Id than FirstId
    };
    std::unordered_map<std::string_view, THolders> FNames;
};

// The editor's first refusal for User with the logon name UserName (CP1250) as the store now
// stands; none when the editor accepts him. Names: the logon names of the store.
std::optional<TRefusal> EditorRule(const TUserManager& Store, const TLogonNames& Names,
                                   std::string_view UserName, const TUserC& User);
// The same for one user, with the editor's message (UTF-8).
std::optional<std::string> EditorRefusal(const TUserManager& Store, std::string_view UserName,
                                         const TUserC& User);

// The LastId of a file that has handed out none yet: a random start value 1..63000, drawn from
// the clock.
uint16_t DrawFirstLastId();
// Whether Add may hand out LastId + 1: below the identifier limit and within the file's count.
bool CanAddUser(const TUserManager& Store);
// The Id of the next new user, as Add hands them out: LastId + 1, with LastId first drawn from the
// clock when it is 0 (the draw stays, even when the Add is then cancelled). Taken (usrpass) makes
// it pass over Ids that users already have. None when no Id is left below the limit or the file
// cannot count another user (NoMoreUsersText). Takes no Id: the caller sets LastId to it once the
// user is added.
std::optional<uint16_t> NewUserId(TUserManager& Store,
                                  const std::function<bool(uint16_t)>& Taken = {});
// A user as Add makes him: a zeroed record with Id, both passwords set to the empty string.
std::unique_ptr<TUserC> MakeNewUser(uint16_t Id);
