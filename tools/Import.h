#pragma once
// An import document applied to the users in memory.

#include "store/UserManager.h"
#include "tools/ImportDocument.h"

#include <vector>

// Every entry with an Id changes that user; every other one is added as add adds, in document
// order after the existing users. With DeleteMissing the users whose Id no entry names are
// removed, never the administrator. Then every added or changed user must pass the editor's
// rules in the final list. Throws TToolError (65) naming the entry; the store is then to be
// dropped unsaved.
void ApplyImport(TUserManager& Store, const std::vector<TImportEntry>& Entries, bool DeleteMissing);
