#pragma once
// The files the benchmarks work on: a user file with the most users the format holds, and a
// plain file of the same size, in one directory (PELORIN_BENCH_DIR, else the temp directory) so
// that both go to the same disk. Made once, removed at exit.

#include <cstddef>
#include <string>

inline constexpr std::size_t BenchUsers = 65535;

struct TBenchFiles {
    std::string Dir;
    std::string UsersFile;
    std::string PlainFile;
    std::size_t FileSize = 0;
};

const TBenchFiles& BenchFiles(); // aborts with a message when the files cannot be made
