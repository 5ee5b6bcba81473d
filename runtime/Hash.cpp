#include "runtime/Hash.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

uint64_t Hash64(const void* Data, std::size_t Len) {
    return XXH3_64bits(Data, Len);
}
