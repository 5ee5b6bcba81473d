#pragma once
// The unit User: the record, the user object, the store and the one global store Users.

#include "store/Rights.h"
#include "store/UserC.h"
#include "store/UserManager.h"
#include "store/UserRec.h"

// Created empty before main runs. FinalizeUsers saves it (when opened for writing) and frees
// it; the program calls it at its halt while its application object still exists, and it runs
// by itself at process exit when nobody did.
extern TUserManager* Users;
void FinalizeUsers();
