#include "app/OpenForRun.h"

#include <new>

int OpenUserFileForRun(TUserManager& Store, const std::string& FileName) {
    try {
        return Store.Open(FileName, true);
    } catch (const std::bad_alloc&) {
        return OpenOutOfMemory;
    }
}
