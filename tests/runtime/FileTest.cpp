#include "runtime/File.h"
#include "HoldingChild.h"
#include "TempDir.h"
#include "runtime/PinnedDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void WriteText(const std::string& Path, const std::string& Text) {
    std::ofstream(Path, std::ios::binary) << Text;
}

TEST(File, ExistenceTest) {
    TTempDir Dir;
    WriteText(Dir / "a", "x");
    EXPECT_TRUE(FileExists(Dir / "a"));
    EXPECT_FALSE(FileExists(Dir / "b"));
    EXPECT_FALSE(FileExists(Dir.Path().string()));
    ASSERT_EQ(::symlink((Dir / "a").c_str(), (Dir / "link").c_str()), 0);
    ASSERT_EQ(::symlink((Dir / "gone").c_str(), (Dir / "dangling").c_str()), 0);
    EXPECT_TRUE(FileExists(Dir / "link"));
    EXPECT_FALSE(FileExists(Dir / "dangling"));
}

TEST(File, OpenReadWriteAndSize) {
    TTempDir Dir;
    WriteText(Dir / "f", "0123456789");
    TFile F;
    ASSERT_TRUE(F.Open(Dir / "f", TFileMode::ReadWrite));
    EXPECT_EQ(F.Size(), 10);
    char Buf[16] = {};
    EXPECT_EQ(F.ReadAt(3, Buf, 4), 4);
    EXPECT_EQ(std::string(Buf, 4), "3456");
    EXPECT_EQ(F.ReadAt(7, Buf, 16), 3); // only the end is left
    ASSERT_TRUE(F.WriteAt(8, "abcd", 4));
    EXPECT_EQ(F.Size(), 12);
    EXPECT_TRUE(F.Flush());
    EXPECT_EQ(F.ReadAt(6, Buf, 6), 6);
    EXPECT_EQ(std::string(Buf, 6), "67abcd");
    EXPECT_TRUE(F.Close());
    EXPECT_FALSE(F.IsOpen());
}

TEST(File, ReadOnlyOpenRefusesWrites) {
    TTempDir Dir;
    WriteText(Dir / "f", "data");
    TFile F;
    ASSERT_TRUE(F.Open(Dir / "f", TFileMode::ReadOnly));
    EXPECT_FALSE(F.WriteAt(0, "x", 1));
    EXPECT_EQ(F.LockByte(14), TLockResult::Failed); // a write lock needs write access
}

TEST(File, OpenRefusesMissingFilesDirectoriesAndFifos) {
    TTempDir Dir;
    TFile F;
    EXPECT_FALSE(F.Open(Dir / "missing", TFileMode::ReadOnly));
    EXPECT_FALSE(F.Open(Dir.Path().string(), TFileMode::ReadOnly));
    ASSERT_EQ(::mkfifo((Dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(F.Open(Dir / "fifo", TFileMode::ReadWrite)); // and does not hang
    EXPECT_FALSE(F.IsOpen());
}

TEST(File, CreateAtNeverOverwritesNorFollowsALink) {
    TTempDir Dir;
    TPinnedDirectory Pinned;
    ASSERT_TRUE(Pinned.PinForNewFile(Dir.Path().string(), "new"));
    TFile F;
    ::umask(022);
    ASSERT_TRUE(F.CreateAt(Pinned.Fd(), "new", 0600));
    ASSERT_TRUE(F.WriteAt(0, "abc", 3));
    EXPECT_TRUE(F.Close());
    struct stat St {};
    ASSERT_EQ(::stat((Dir / "new").c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0600u);
    TFile G;
    EXPECT_FALSE(G.CreateAt(Pinned.Fd(), "new", 0600));
    EXPECT_EQ(std::filesystem::file_size(Dir / "new"), 3u);
    ASSERT_EQ(::symlink((Dir / "target").c_str(), (Dir / "dangling").c_str()), 0);
    EXPECT_FALSE(G.CreateAt(Pinned.Fd(), "dangling", 0600));
    EXPECT_FALSE(std::filesystem::exists(Dir / "target"));
    EXPECT_FALSE(G.OpenAt(Pinned.Fd(), "dangling", TFileMode::ReadOnly));
}

TEST(File, LockOfOneByteWithinOneProcess) {
    TTempDir Dir;
    WriteText(Dir / "f", std::string(20, 'u'));
    TFile First;
    TFile Second;
    TFile Reader;
    ASSERT_TRUE(First.Open(Dir / "f", TFileMode::ReadWrite));
    ASSERT_TRUE(Second.Open(Dir / "f", TFileMode::ReadWrite));
    EXPECT_EQ(First.LockByte(14), TLockResult::Locked);
    EXPECT_EQ(Second.LockByte(14), TLockResult::Refused);
    EXPECT_EQ(Second.LockByte(13), TLockResult::Locked); // only the one byte is taken

    // A reader that takes no lock reads every byte, the locked one included.
    ASSERT_TRUE(Reader.Open(Dir / "f", TFileMode::ReadOnly));
    char Buf[20];
    EXPECT_EQ(Reader.ReadAt(0, Buf, 20), 20);
    // Closing another handle of the same file in this process keeps the lock.
    EXPECT_TRUE(Reader.Close());
    EXPECT_TRUE(Second.Close());
    TFile Third;
    ASSERT_TRUE(Third.Open(Dir / "f", TFileMode::ReadWrite));
    EXPECT_EQ(Third.LockByte(14), TLockResult::Refused);

    EXPECT_TRUE(First.Close());
    EXPECT_EQ(Third.LockByte(14), TLockResult::Locked);
}

TEST(File, LockBetweenProcessesGoesAwayWhenTheHolderDies) {
    TTempDir Dir;
    const std::string Path = Dir / "f";
    WriteText(Path, std::string(20, 'u'));
    TFile Holder; // opened only in the child's copy of memory, which lives until the kill
    THoldingChild Child([&] {
        return Holder.Open(Path, TFileMode::ReadWrite) &&
               Holder.LockByte(14) == TLockResult::Locked;
    });
    ASSERT_TRUE(Child.Holding());

    TFile Mine;
    ASSERT_TRUE(Mine.Open(Path, TFileMode::ReadWrite));
    EXPECT_EQ(Mine.LockByte(14), TLockResult::Refused);
    char Buf[20];
    EXPECT_EQ(Mine.ReadAt(0, Buf, 20), 20);

    Child.Kill();
    EXPECT_EQ(Mine.LockByte(14), TLockResult::Locked);
}

// The directory is pinned where the name leads: the file a symbolic link leads to, beside its
// real name; and it holds the open file only while the name still leads to it.
TEST(File, PinnedDirectoryHoldsTheOpenFileUnderItsRealName) {
    TTempDir Dir;
    ASSERT_EQ(::mkdir((Dir / "real").c_str(), 0755), 0);
    WriteText(Dir / "real/f", "one");
    WriteText(Dir / "g", "two");
    ASSERT_EQ(::symlink("real/f", (Dir / "link").c_str()), 0);
    TFile F;
    ASSERT_TRUE(F.Open(Dir / "link", TFileMode::ReadOnly));
    TPinnedDirectory Pinned;
    ASSERT_TRUE(Pinned.PinDirectoryOf(Dir / "link"));
    EXPECT_EQ(Pinned.FileName(), "f");
    EXPECT_EQ(Pinned.FilePath(), std::filesystem::canonical(Dir / "real/f").string());
    EXPECT_TRUE(Pinned.HoldsFile(F));
    ASSERT_EQ(::rename((Dir / "g").c_str(), (Dir / "real/f").c_str()), 0);
    EXPECT_FALSE(Pinned.HoldsFile(F));
    ASSERT_EQ(::symlink("f", (Dir / "real/s").c_str()), 0);
    ASSERT_TRUE(Pinned.PinDirectoryOf(Dir / "real/s"));
    EXPECT_EQ(Pinned.FileName(), "f"); // the link's target, never the link itself
    EXPECT_FALSE(Pinned.PinDirectoryOf(Dir / "missing"));
    EXPECT_FALSE(Pinned.IsPinned());
}

TEST(File, MoveTransfersTheHandle) {
    TTempDir Dir;
    WriteText(Dir / "f", "abc");
    TFile A;
    ASSERT_TRUE(A.Open(Dir / "f", TFileMode::ReadOnly));
    TFile B(std::move(A));
    EXPECT_FALSE(A.IsOpen());
    EXPECT_TRUE(B.IsOpen());
    EXPECT_EQ(B.Size(), 3);
}

} // namespace
