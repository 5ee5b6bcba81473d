#include "fuzz/ScratchFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

std::string ScratchParent() {
    if (access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return std::filesystem::temp_directory_path().string();
}

[[noreturn]] void Fail(const char* What) {
    std::fprintf(stderr, "fuzz_open: %s\n", What);
    std::abort();
}

} // namespace

TScratchFile::TScratchFile() {
    std::string Template = ScratchParent() + "/fuzz-open-XXXXXX";
    if (mkdtemp(Template.data()) == nullptr)
        Fail("cannot create the scratch directory");
    FDir = Template;
    FPath = FDir + "/UsrPass.dat";
}

TScratchFile::~TScratchFile() {
    std::error_code Ignored;
    std::filesystem::remove_all(FDir, Ignored);
}

void TScratchFile::Write(const uint8_t* Data, std::size_t Size) const {
    std::ofstream Out(FPath, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
    Out.close();
    if (!Out)
        Fail("cannot write the scratch file");
}

std::vector<uint8_t> TScratchFile::Read() const {
    std::ifstream In(FPath, std::ios::binary);
    if (!In)
        Fail("cannot read the scratch file");
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

std::size_t TScratchFile::EntriesInDirectory() const {
    std::size_t N = 0;
    for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator(FDir))
        ++N;
    return N;
}
