#include "bench/store/BenchFiles.h"

#include "store/Rights.h"
#include "store/UserManager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// All-zero records sum to 0, so a header over them is a valid file; the store then gives every
// user a name, rights and a password and saves it scrambled, as a real file would be.
void MakeUsersFile(const std::string& Path) {
    std::vector<uint8_t> Image(UserFileHeaderSize + BenchUsers * UserRecSize, 0);
    TUserFileHeader Header{};
    Header.Magic = UserFileMagic;
    Header.Count = static_cast<uint16_t>(BenchUsers);
    std::memcpy(Image.data(), &Header, sizeof Header);
    WriteFile(Path, Image);

    TUserManager Store;
    if (Store.Open(Path, true) != ueOk)
        Fail("the store does not open " + Path);
    for (int I = 0; I < Store.Count(); ++I) {
        TUserC& User = *Store.Items(I);
        User.Rec.Id = static_cast<uint16_t>(I + 1);
        User.Rec.Rights = rtLogon | rtExtracts | rtParcelGroup;
        User.Rec.UserName.Assign("user" + std::to_string(I + 1));
        User.Rec.Name.Assign("Benchmark user " + std::to_string(I + 1));
        User.SetPass("password" + std::to_string(I % 1000));
        User.SetNetPass("");
    }
    Store.Header.LastId = static_cast<uint16_t>(BenchUsers);
    if (!Store.Save())
        Fail("the store does not save " + Path);
}

struct TOwnedFiles : TBenchFiles {
    TOwnedFiles() {
        Dir = MakeDir();
        UsersFile = Dir + "/UsrPass.dat";
        PlainFile = Dir + "/plain.dat";
        MakeUsersFile(UsersFile);
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
