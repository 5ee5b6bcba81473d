#pragma once
// The four commands of usrpass. Each returns the exit code of a success (0) or throws TToolError.

#include "tools/Arguments.h"

int RunInit(const TArguments& Args);
int RunList(const TArguments& Args);
int RunCheck(const TArguments& Args);
int RunPasswd(const TArguments& Args);
