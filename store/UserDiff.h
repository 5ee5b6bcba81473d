#pragma once
// What changed between two versions of the users: users matched by Id, and for each pair the
// fields that differ. One engine serves the audit of a save, the test for an unchanged session
// and usrpass diff.

#include "store/UserRec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class TUserField {
    Name,
    UserName,
    NetUserName,
    Rights,
    Objects,
    Password,
    NetPassword,
    OtherBytes, // Reserved, the bytes after a name's characters, rights bits without a meaning
};

// Passwords compared by the password a block decodes to (a block set again to the same password
// is no change), or by the stored block and its seed (every setting of the password counts).
enum class TPasswordCompare { ByValue, ByBlock };

struct TFieldChange {
    TUserField Field;
    // Names: CP1250; rights: RightsCodes; objects: ObjectsText; empty for the other fields.
    std::string Before;
    std::string After;
};

// The fields in which New differs from Old, in the order of TUserField; Id is not compared. With
// ByBlock every byte of the record belongs to a field, so records that differ in any byte but the
// Id differ in a field. Uses the random generator (RandSeed) to decode passwords.
std::vector<TFieldChange> CompareUsers(const TUserRec& Old, const TUserRec& New,
                                       TPasswordCompare How);

// How a changed field reads in a report: a word for each field in the order of TUserField (the
// whole text for the passwords and other bytes), the arrow between the values before and after,
// and how names (CP1250) and rights or object codes are quoted.
struct TChangeWording {
    std::array<const char*, 8> Words;
    const char* Arrow;
    std::string (*QuoteName)(std::string_view Cp1250);
    std::string (*QuoteCodes)(std::string_view Codes);
};
// "rights "L" -> "L Dm"", "password changed": never a password.
std::string ChangeText(const TFieldChange& Change, const TChangeWording& Wording);

// "L Id Dm": L for the logon right, then the codes of the main window's list; "" for none.
std::string RightsCodes(uint32_t Rights);
// "1-5,7,8,32": the numbers of the objects held, runs of three or more as ranges; "" for none.
std::string ObjectsText(uint32_t Objects);
// The password a block decodes to, the network one decoded as the Zortan one. Uses RandSeed.
std::string DecodedPassword(const TUserRec& Rec, bool Net);

// A user's fingerprint: a 64-bit hash of its 205 bytes.
uint64_t RecordHash(const TUserRec& Rec);

// Two lists of users matched by Id: the k-th user with an Id in the old list is the k-th one with
// that Id in the new list.
struct TUserMatching {
    std::vector<std::pair<std::size_t, std::size_t>> Pairs; // old, new index; in the new order
    std::vector<std::size_t> Deleted;                       // old indexes, in order
    std::vector<std::size_t> Added;                         // new indexes, in order
};
TUserMatching MatchUsers(std::span<const uint16_t> OldIds, std::span<const uint16_t> NewIds);
