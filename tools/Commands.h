#pragma once
// The commands of usrpass. Each returns the exit code of a success (0), or 7 when its one save
// failed, or throws TToolError.

#include "tools/Arguments.h"

int RunInit(const TArguments& Args);
int RunList(const TArguments& Args);
int RunCheck(const TArguments& Args);
int RunPasswd(const TArguments& Args);
int RunAdd(const TArguments& Args);
int RunSet(const TArguments& Args);
int RunDel(const TArguments& Args);
int RunChpasswd(const TArguments& Args);
int RunImport(const TArguments& Args);
int RunDiff(const TArguments& Args);
int RunRestore(const TArguments& Args);
// restore --dry-run: the change a restore would make, printed; nothing written.
