// bench_plain_read FILE: the least that loading a file costs: reads it into memory in one
// buffer. The yardstick of usrpass check in bench_process.
#include "runtime/File.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    CLI::App Cli{"Reads FILE into memory."};
    std::string Path;
    Cli.add_option("FILE", Path, "the file to read")->required();
    CLI11_PARSE(Cli, argc, argv);

    TFile In;
    const int64_t Size = In.Open(Path, TFileMode::ReadOnly) ? In.Size() : -1;
    const auto Len = static_cast<std::size_t>(Size < 0 ? 0 : Size);
    const auto Bytes = std::make_unique_for_overwrite<uint8_t[]>(Len);
    if (Size < 0 || In.ReadAt(0, Bytes.get(), Len) != Size) {
        std::perror(("bench_plain_read: " + Path).c_str());
        return 1;
    }
    return 0;
}
