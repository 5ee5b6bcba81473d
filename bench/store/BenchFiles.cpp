#include "bench/store/BenchFiles.h"

#include "bench/common/BenchUsersFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& What) {
    std::fprintf(stderr, "bench_store: %s\n", What.c_str());
    std::exit(1);
}

std::string MakeDir() {
    const char* Chosen = std::getenv("PELORIN_BENCH_DIR");
    const std::filesystem::path Parent =
        Chosen != nullptr ? std::filesystem::path(Chosen) : std::filesystem::temp_directory_path();
    std::string Template = (Parent / "bench-store-XXXXXX").string();
    if (mkdtemp(Template.data()) == nullptr)
        Fail("cannot create a directory in " + Parent.string());
    return Template;
}

void WriteFile(const std::string& Path, const std::vector<uint8_t>& Bytes) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Bytes.data()),
              static_cast<std::streamsize>(Bytes.size()));
    Out.close();
    if (!Out)
        Fail("cannot write " + Path);
}

struct TOwnedFiles : TBenchFiles {
    TOwnedFiles() {
        Dir = MakeDir();
        UsersFile = Dir + "/UsrPass.dat";
        PlainFile = Dir + "/plain.dat";
        MakeBenchUsersFile(UsersFile, static_cast<int>(BenchUsers));
        FileSize = static_cast<std::size_t>(std::filesystem::file_size(UsersFile));
        WriteFile(PlainFile, std::vector<uint8_t>(FileSize, 0x5A));
    }
    ~TOwnedFiles() {
        std::error_code Ignored;
        std::filesystem::remove_all(Dir, Ignored);
    }
    TOwnedFiles(const TOwnedFiles&) = delete;
    TOwnedFiles& operator=(const TOwnedFiles&) = delete;
};

} // namespace

const TBenchFiles& BenchFiles() {
    static const TOwnedFiles Files;
    return Files;
}
