#pragma once
// An import document applied to the users in memory.

#include "store/UserManager.h"
#include "tools/ImportDocument.h"

#include <vector>

struct TImportOptions {
    bool DeleteMissing = false; // --delete-missing
    bool EmptyPassword = false; // --empty-password
};

// Every entry with an Id changes that user; every other one is added as add adds, in document
// order after the existing users. With DeleteMissing the users whose Id no entry names are
// removed, never the administrator. Then every added or changed user must pass the editor's
// rules in the final list, and may not come to log on with an empty password (unless
// EmptyPassword); an entry's rightsText must name the rights the user ends with. Throws
// TToolError (65) naming the entry; the store is then to be dropped unsaved. Takes time in
// proportion to the users and entries.
void ApplyImport(TUserManager& Store, const std::vector<TImportEntry>& Entries,
                 const TImportOptions& Options);
