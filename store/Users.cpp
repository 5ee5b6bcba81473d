#include "store/User.h"

TUserManager* Users = new TUserManager;

void FinalizeUsers() {
    TUserManager* Store = Users;
    if (Store == nullptr)
        return;
    Users = nullptr;
    (void)Store->Save(); // a failure is reported by Save itself
    delete Store;
}

namespace {

// Saves and frees the store at process exit when the program did not do it at its halt.
struct TUsersFinalizer {
    TUsersFinalizer() = default;
    TUsersFinalizer(const TUsersFinalizer&) = delete;
    TUsersFinalizer& operator=(const TUsersFinalizer&) = delete;
    ~TUsersFinalizer() { FinalizeUsers(); }
} UsersFinalizer;

} // namespace
