#pragma once
// A fast 64-bit hash of a few bytes, for telling whether they changed (not for security).

#include <cstddef>
#include <cstdint>

uint64_t Hash64(const void* Data, std::size_t Len);
