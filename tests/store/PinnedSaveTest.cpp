// A save works only in the directory that holds the file it locked: whatever a member of the
// directory's group swaps in between, at any step of the open or the save, nothing outside it is
// created or replaced; and what a killed or refused save leaves never costs a version.
#include "InterceptingFs.h"
#include "StoreTestUtil.h"

#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>

namespace {

class PinnedSave : public ::testing::Test {
protected:
    TTempDir Dir;
    std::string Shared = Dir / "shared"; // the administrators' group directory
    std::string Victim = Dir / "victim"; // another user's own directory
    TMessageLog Messages;

    void SetUp() override {
        ASSERT_EQ(::mkdir(Shared.c_str(), 0775), 0);
        ASSERT_EQ(::mkdir(Victim.c_str(), 0700), 0);
    }
};

// The attacker's user file lies in a directory of his own inside the shared one, the shared name
// is a symbolic link to it, and a second link leads to the victim's directory, which holds a file
// of the user file's name that is no user file (her ~/.bashrc, say). At each step of an open and
// a save in turn, the attacker exchanges his directory and the link to the victim's.
TEST_F(PinnedSave, DirectorySwappedAtAnyStepNeverRedirectsTheSave) {
    const std::vector<uint8_t> Hers = {'#', ' ', 'b', 'a', 's', 'h', 'r', 'c', '\n'};
    const std::vector<uint8_t> His = ref::EncodeFile(SampleContents(3));
    const std::string Link = Shared + "/UsrPass.dat";
    int Steps = 0, Saved = 0, Refused = 0;
    for (int SwapAt = 0;; ++SwapAt) {
        std::filesystem::remove_all(Shared);
        ASSERT_EQ(::mkdir(Shared.c_str(), 0775), 0);
        ASSERT_EQ(::mkdir((Shared + "/sub").c_str(), 0775), 0);
        WriteBytes(Shared + "/sub/UsrPass.dat", His);
        WriteBytes(Victim + "/UsrPass.dat", Hers);
        ::chmod((Victim + "/UsrPass.dat").c_str(), 0600);
        ASSERT_EQ(::symlink("sub/UsrPass.dat", Link.c_str()), 0);
        ASSERT_EQ(::symlink(Victim.c_str(), (Shared + "/swap").c_str()), 0);
        const struct stat HersBefore = StatOf(Victim + "/UsrPass.dat");

        bool Swapped = false;
        int Step = 0;
        bool Ok = false;
        {
            TInterceptingFs Fs([&](std::string_view, std::string_view) {
                if (Step++ == SwapAt && !Swapped) {
                    Swapped = ::renameat2(AT_FDCWD, (Shared + "/sub").c_str(), AT_FDCWD,
                                          (Shared + "/swap").c_str(), RENAME_EXCHANGE) == 0;
                }
                return 0;
            });
            TUserManager Store;
            if (Store.Open(Link, true) == ueOk) {
                Store.DeleteAndFree(2);
                Ok = Store.Save();
            }
        }
        EXPECT_EQ(DirEntries(Victim), std::vector<std::string>{"UsrPass.dat"}) << SwapAt;
        EXPECT_EQ(ReadBytes(Victim + "/UsrPass.dat"), Hers) << SwapAt;
        const struct stat HersAfter = StatOf(Victim + "/UsrPass.dat");
        EXPECT_EQ(HersAfter.st_ino, HersBefore.st_ino);
        EXPECT_EQ(HersAfter.st_mode, HersBefore.st_mode);
        if (Ok) {
            // Saved where the file it locked lives, whatever that directory is called now.
            const std::string Mine = Shared + (Swapped ? "/swap" : "/sub");
            EXPECT_EQ(ref::DecodeFile(ReadBytes(Mine + "/UsrPass.dat")).Users.size(), 2u);
            EXPECT_EQ(ReadBytes(Mine + "/UsrPass.dat-"), His);
        }
        Saved += Ok;
        Refused += !Ok;
        if (!Swapped) {
            Steps = Step;
            break; // past the last step
        }
    }
    EXPECT_GT(Saved, 0);
    std::printf("the directory swapped at each of %d steps: %d saves went where the file was "
                "locked, %d opens found no user file\n",
                Steps, Saved, Refused);
}

// A writer that holds the lock clears away what killed saves left (every password is in them)
// before anything else, also when it then refuses the file.
TEST_F(PinnedSave, LeftoversGoEvenWhenTheWriterRefusesTheFile) {
    const std::string Path = Shared + "/UsrPass.dat";
    std::vector<uint8_t> Damaged = ref::EncodeFile(SampleContents(2));
    Damaged[40] ^= 1;
    WriteBytes(Path, Damaged);
    WriteBytes(Shared + "/.UsrPass.dat.tmp-Ab12Cd", ref::EncodeFile(SampleContents(2)));
    TUserManager Store;
    EXPECT_EQ(Store.Open(Path, true), ueDamaged);
    EXPECT_EQ(DirEntries(Shared), std::vector<std::string>{"UsrPass.dat"});
}

// Where the rename of the new file is refused (a bind-mounted file), the save is written in place
// and the older previous version stays as it was.
TEST_F(PinnedSave, RefusedRenameKeepsTheOlderPreviousVersion) {
    const std::string Path = Shared + "/UsrPass.dat";
    const std::vector<uint8_t> Older = ref::EncodeFile(SampleContents(1));
    WriteBytes(Path, ref::EncodeFile(SampleContents(3)));
    WriteBytes(Path + "-", Older);
    TInterceptingFs Fs([](std::string_view Op, std::string_view Name) {
        return Op == "RenameAt" && Name == "UsrPass.dat" ? EBUSY : 0;
    });
    TUserManager Store;
    ASSERT_EQ(Store.Open(Path, true), ueOk);
    Store.DeleteAndFree(1);
    ASSERT_TRUE(Store.Save());
    EXPECT_EQ(ref::DecodeFile(ReadBytes(Path)).Users.size(), 2u);
    EXPECT_EQ(ReadBytes(Path + "-"), Older);
    EXPECT_EQ(DirEntries(Shared), (std::vector<std::string>{"UsrPass.dat", "UsrPass.dat-"}));
}

// An in-place save whose K-th write fails (a full disk, on a file system that cannot reserve
// room) reports failure and leaves the file byte for byte as it was; where every write from the
// K-th on fails, so that not even the old front can be put back, the next writer puts it back.
// Either way the failed save is never applied later.
TEST_F(PinnedSave, InPlaceSaveThatFailsStaysFailed) {
    const std::string Path = Shared + "/UsrPass.dat";
    const std::vector<uint8_t> Before = ref::EncodeFile(SampleContents(3));
    int Writes = 0;
    for (int FailAt = 1; FailAt <= Writes + 1; ++FailAt) {
        for (const bool FromThenOn : {false, true}) {
            WriteBytes(Path, Before);
            std::filesystem::remove(Shared + "/other");
            ASSERT_EQ(::link(Path.c_str(), (Shared + "/other").c_str()), 0); // so: in place
            int Write = 0;
            bool Saved = false;
            {
                TInterceptingFs Fs([&](std::string_view Op, std::string_view) {
                    if (Op == "Reserve")
                        return EOPNOTSUPP;
                    if (Op != "PWrite")
                        return 0;
                    ++Write;
                    return Write == FailAt || (FromThenOn && Write > FailAt) ? ENOSPC : 0;
                });
                TUserManager Store;
                ASSERT_EQ(Store.Open(Path, true), ueOk);
                for (int I = 0; I < 200; ++I)
                    Store.Add(new TUserC(RecordOf(SampleUser(I % 50))));
                Saved = Store.Save();
            }
            Writes = std::max(Writes, Write);
            if (Write < FailAt) {
                EXPECT_TRUE(Saved); // every write done before the one that would fail
                continue;
            }
            EXPECT_FALSE(Saved) << FailAt;
            if (!FromThenOn) {
                EXPECT_EQ(ReadBytes(Path), Before) << FailAt;
            }
            TUserManager Next;
            ASSERT_EQ(Next.Open(Path, true), ueOk);
            EXPECT_EQ(Next.Count(), 3) << FailAt;
            EXPECT_EQ(ReadBytes(Path), Before) << FailAt;
        }
    }
    EXPECT_GT(Writes, 3);
}

} // namespace
