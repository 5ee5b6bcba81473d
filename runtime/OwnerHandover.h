#pragma once
// Whether a file may be replaced by a copy that belongs to whoever replaces it. Only root or the
// owner may give a new file the old owner; for another member of the file's group the rewrite
// hands the file over to him instead, where nobody loses access by that.

#include <sys/stat.h>

// True when the open file Fd (whose status is Old) may get a new owner: it has no set-user-ID,
// set-group-ID or sticky bit (a change of owner would clear or alter them), and its owner keeps
// at least the access he has now once he is no longer the owner: he is root, or he belongs to the
// file's group (as his primary group or in the group database) and that group is granted it (by
// the mode, or by the access control list, which then must have no entry of his own). The new
// file must also get the group, the mode and the extended attributes of the old one; that is the
// caller's part.
bool OwnerMayBeHandedOver(int Fd, const struct stat& Old);
