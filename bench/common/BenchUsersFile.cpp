#include "bench/common/BenchUsersFile.h"

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
    std::fprintf(stderr, "bench: %s\n", What.c_str());
    std::exit(1);
}

} // namespace

void MakeBenchUsersFile(const std::string& Path, int Users) {
    if (Users < 1 || Users > 0xFFFF)
        Fail("a user file holds 1 to 65535 users");
    // All-zero records sum to 0, so a header over them is a valid file; the store then fills the
    // users in and saves the file scrambled.
    std::vector<char> Image(UserFileHeaderSize + static_cast<std::size_t>(Users) * UserRecSize, 0);
    TUserFileHeader Header{};
    Header.Magic = UserFileMagic;
    Header.Count = static_cast<uint16_t>(Users);
    std::memcpy(Image.data(), &Header, sizeof Header);
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(Image.data(), static_cast<std::streamsize>(Image.size()));
    Out.close();
    if (!Out)
        Fail("cannot write " + Path);
    // As the file is kept, readable by its owner only (usrpass check warns about anything else).
    std::filesystem::permissions(Path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write);

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
    Store.Header.LastId = static_cast<uint16_t>(Users);
    if (!Store.Save())
        Fail("the store does not save " + Path);
}
