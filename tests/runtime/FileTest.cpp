#include "runtime/File.h"
#include "HoldingChild.h"
#include "TempDir.h"

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

TEST(File, OpenReadWriteSeekAndSize) {
    TTempDir Dir;
    WriteText(Dir / "f", "0123456789");
    TFile F;
    ASSERT_TRUE(F.Open(Dir / "f", TFileMode::ReadWrite));
    EXPECT_EQ(F.Size(), 10);
    char Buf[16] = {};
    ASSERT_TRUE(F.Seek(3));
    EXPECT_EQ(F.Read(Buf, 4), 4);
    EXPECT_EQ(std::string(Buf, 4), "3456");
    EXPECT_EQ(F.Read(Buf, 16), 3); // only the end is left
    ASSERT_TRUE(F.Seek(8));
    ASSERT_TRUE(F.Write("abcd", 4));
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
    EXPECT_FALSE(F.Write("x", 1));
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

TEST(File, CreateNeverOverwrites) {
    TTempDir Dir;
    TFile F;
    ::umask(022);
    ASSERT_TRUE(F.Create(Dir / "new", 0600));
    ASSERT_TRUE(F.Write("abc", 3));
    F.Close();
    struct stat St {};
    ASSERT_EQ(::stat((Dir / "new").c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0600u);
    TFile G;
    EXPECT_FALSE(G.Create(Dir / "new", 0600));
    EXPECT_EQ(std::filesystem::file_size(Dir / "new"), 3u);
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
    EXPECT_EQ(Reader.Read(Buf, 20), 20);
    // Closing another handle of the same file in this process keeps the lock.
    Reader.Close();
    Second.Close();
    TFile Third;
    ASSERT_TRUE(Third.Open(Dir / "f", TFileMode::ReadWrite));
    EXPECT_EQ(Third.LockByte(14), TLockResult::Refused);

    First.Close();
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

TEST(File, SameFileFollowsTheName) {
    TTempDir Dir;
    WriteText(Dir / "f", "one");
    WriteText(Dir / "g", "two");
    ASSERT_EQ(::symlink("f", (Dir / "link").c_str()), 0);
    TFile F;
    ASSERT_TRUE(F.Open(Dir / "f", TFileMode::ReadOnly));
    EXPECT_TRUE(F.IsSameFileAs(Dir / "f"));
    EXPECT_TRUE(F.IsSameFileAs(Dir / "link"));
    EXPECT_FALSE(F.IsSameFileAs(Dir / "g"));
    ASSERT_EQ(::rename((Dir / "g").c_str(), (Dir / "f").c_str()), 0);
    EXPECT_FALSE(F.IsSameFileAs(Dir / "f"));
    EXPECT_FALSE(F.IsSameFileAs(Dir / "missing"));
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
