#pragma once
#include <cstdint>

// a * b / c without intermediate overflow, rounded to the nearest integer with halves away from
// zero; -1 for a zero divisor or a result outside 32 bits, as the Windows call does.
inline int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0)
        return -1;
    int64_t num = static_cast<int64_t>(a) * b;
    int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const int64_t half = den / 2;
    const int64_t q = num >= 0 ? (num + half) / den : -((-num + half) / den);
    if (q > INT32_MAX || q < INT32_MIN)
        return -1;
    return static_cast<int32_t>(q);
}
