#pragma once
// What changed from one list of users to another, in the form of usrpass diff: one line per user
// added, deleted or changed, with the fields that changed (never a password, only that one
// changed), or one JSON object. usrpass diff prints it for two files, the writing commands'
// --dry-run for the file as loaded and as the command would save it.

#include "store/UserManager.h"
#include "store/UserRec.h"

#include <span>
#include <string>
#include <vector>

// The records of a store's users in list order: a copy, which stays as it is while the store
// changes.
std::vector<TUserRec> UserRecords(const TUserManager& Users);

enum class TReportForm { Text, Json };

// Users are matched by Id (the k-th with an Id in Old meets the k-th in New). Deleted and changed
// users in Old's order, then the added ones in New's. Text: one line each, ending in "\n", nothing
// when nothing changed; Json: {"added":[...],"deleted":[...],"changed":[...]} and "\n". Uses the
// random generator to decode passwords: a password set again to the same value is no change.
std::string ChangeReport(std::span<const TUserRec> Old, std::span<const TUserRec> New,
                         TReportForm Form);
