#pragma once
// PELORIN_CPU_CLONES before a function with a plain, vectorisable loop compiles it twice, for
// AVX2 and for the baseline processor; the loader picks the one the processor can run.

#if defined(__x86_64__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define PELORIN_CPU_CLONES __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef PELORIN_CPU_CLONES
#define PELORIN_CPU_CLONES
#endif
