// Who holds the writers' lock, as the message for a waiting writer names him.
#include "runtime/LockHolder.h"

#include "FileBytes.h"
#include "HoldingChild.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>

namespace {

// An open-file-description lock, which /proc/locks shows without a process, is found among the
// holder's open files; a POSIX lock /proc/locks names itself. A lock on another byte is nobody's.
TEST(LockHolder, NamesTheProcessOfEitherKindOfLock) {
    TTempDir Dir;
    const std::string Path = Dir / "UsrPass.dat";
    WriteBytes(Path, std::vector<uint8_t>(100, 0));
    for (const int Command : {F_OFD_SETLK, F_SETLK}) {
        THoldingChild Child([&] {
            const int Fd = ::open(Path.c_str(), O_RDWR);
            struct flock Lock {};
            Lock.l_type = F_WRLCK;
            Lock.l_whence = SEEK_SET;
            Lock.l_start = 14;
            Lock.l_len = 1;
            return Fd >= 0 && ::fcntl(Fd, Command, &Lock) == 0;
        });
        ASSERT_TRUE(Child.Holding()) << Command;
        const std::vector<TLockHolder> Holders = FindLockHolders(Path, 14);
        ASSERT_EQ(Holders.size(), 1u) << Command;
        EXPECT_EQ(Holders[0].Pid, Child.Pid());
        EXPECT_EQ(Holders[0].Command, "pelorin_runtime"); // the test program, as comm cuts it
        EXPECT_EQ(Holders[0].Uid, ::geteuid());
        EXPECT_TRUE(FindLockHolders(Path, 13).empty()) << Command;
    }
    EXPECT_TRUE(FindLockHolders(Path, 14).empty());
}

} // namespace
