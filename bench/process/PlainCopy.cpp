// bench_plain_copy FILE: the least that replacing a file with the same bytes costs. Reads the
// file into memory, writes a temporary file beside it, flushes that and renames it over the
// original. The yardstick of usrpass passwd in bench_process.
#include "runtime/File.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const std::string& What) {
    std::perror(("bench_plain_copy: " + What).c_str());
    std::exit(1);
}

} // namespace

int main(int argc, char** argv) {
    CLI::App Cli{"Copies FILE over itself through a temporary file, flushed, then renamed."};
    std::string Path;
    Cli.add_option("FILE", Path, "the file to copy")->required();
    CLI11_PARSE(Cli, argc, argv);

    TFile In;
    if (!In.Open(Path, TFileMode::ReadOnly))
        Fail(Path);
    const int64_t Size = In.Size();
    const auto Len = static_cast<std::size_t>(Size < 0 ? 0 : Size);
    const auto Bytes = std::make_unique_for_overwrite<uint8_t[]>(Len);
    if (Size < 0 || In.ReadAt(0, Bytes.get(), Len) != Size)
        Fail("read " + Path);
    (void)In.Close();

    std::string Temp = Path + ".copy-XXXXXX";
    const int Out = ::mkostemp(Temp.data(), O_CLOEXEC);
    if (Out < 0)
        Fail("mkostemp");
    if (!WriteAll(Out, Bytes.get(), Len) || ::fsync(Out) != 0 || ::close(Out) != 0 ||
        ::rename(Temp.c_str(), Path.c_str()) != 0) {
        ::unlink(Temp.c_str());
        Fail("write " + Temp);
    }
    return 0;
}
