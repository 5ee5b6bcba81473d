#include "runtime/FileRewrite.h"
#include "FileBytes.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <vector>

namespace {

std::vector<uint8_t> Pattern(std::size_t Len, uint8_t Seed) {
    std::vector<uint8_t> Bytes(Len);
    for (std::size_t I = 0; I < Len; ++I)
        Bytes[I] = static_cast<uint8_t>(Seed + I * 7);
    return Bytes;
}

class FileRewrite : public ::testing::Test {
protected:
    TTempDir Dir;
    std::string Path = Dir / "data";
    TFile Original;

    void Start(const std::vector<uint8_t>& Bytes) {
        WriteBytes(Path, Bytes);
        ASSERT_TRUE(Original.Open(Path, TFileMode::ReadWrite));
    }
};

TEST_F(FileRewrite, ShorterHeadKeepsTheOldTail) {
    const std::vector<uint8_t> Old = Pattern(5000, 1);
    Start(Old);
    const std::vector<uint8_t> Head = Pattern(1234, 99);
    EXPECT_EQ(RewriteFileHead(Original, Path, Head), TRewriteResult::Replaced);
    std::vector<uint8_t> Expected = Head;
    Expected.insert(Expected.end(), Old.begin() + 1234, Old.end());
    EXPECT_EQ(ReadBytes(Path), Expected);
    // The open handle still sees the old file, which the name no longer leads to.
    EXPECT_FALSE(Original.IsSameFileAs(Path));
    EXPECT_EQ(Original.Size(), 5000);
}

TEST_F(FileRewrite, LongerHeadLengthensTheFile) {
    Start(Pattern(100, 1));
    const std::vector<uint8_t> Head = Pattern(3000, 5);
    EXPECT_EQ(RewriteFileHead(Original, Path, Head), TRewriteResult::Replaced);
    EXPECT_EQ(ReadBytes(Path), Head);
}

TEST_F(FileRewrite, PiecesWrittenAheadAndTheRestAtCommitMakeTheWholeHead) {
    const std::vector<uint8_t> Old = Pattern(4 << 20, 3);
    Start(Old);
    const std::vector<uint8_t> Head = Pattern(3 << 20, 42);
    {
        TFileRewrite Rewrite(Original, Path);
        const uint8_t* P = Head.data();
        Rewrite.WriteAhead(15, {P + 15, 1000000});
        Rewrite.WriteAhead(15 + 1000000, {P + 15 + 1000000, 1000000});
        Rewrite.WriteAhead(2500000, {P + 2500000, 1000}); // not the next piece: left to Commit
        EXPECT_EQ(Rewrite.Commit(Head), TRewriteResult::Replaced);
    }
    std::vector<uint8_t> Expected = Head;
    Expected.insert(Expected.end(), Old.begin() + (3 << 20), Old.end());
    EXPECT_EQ(ReadBytes(Path), Expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()), {}), 1);
}

TEST_F(FileRewrite, PiecesNotKeptByTheCallerAndAFrontMakeTheWholeHead) {
    const std::vector<uint8_t> Old = Pattern(3 << 20, 4);
    Start(Old);
    const std::vector<uint8_t> Head = Pattern(2 << 20, 17);
    const uint8_t* P = Head.data();
    {
        // Pieces that leave a gap before the head's end are refused, and nothing changes.
        TFileRewrite Rewrite(Original, Path);
        Rewrite.WriteAhead(15, {P + 15, 1000});
        EXPECT_EQ(Rewrite.CommitAhead({P, 15}, Head.size()), TRewriteResult::Failed);
    }
    EXPECT_EQ(ReadBytes(Path), Old);
    {
        TFileRewrite Rewrite(Original, Path);
        std::vector<uint8_t> Piece; // one buffer, used again for every piece
        for (std::size_t At = 15; At < Head.size(); At += Piece.size()) {
            Piece.assign(P + At, P + std::min(At + 300000, Head.size()));
            Rewrite.WriteAhead(At, Piece);
        }
        EXPECT_EQ(Rewrite.CommitAhead({P, 15}, Head.size()), TRewriteResult::Replaced);
    }
    std::vector<uint8_t> Expected = Head;
    Expected.insert(Expected.end(), Old.begin() + (2 << 20), Old.end());
    EXPECT_EQ(ReadBytes(Path), Expected);
}

TEST_F(FileRewrite, AbandonedRewriteLeavesNothingBehind) {
    const std::vector<uint8_t> Old = Pattern(2000, 8);
    Start(Old);
    {
        TFileRewrite Rewrite(Original, Path);
        const std::vector<uint8_t> Head = Pattern(1000, 9);
        Rewrite.WriteAhead(0, Head);
    }
    EXPECT_EQ(ReadBytes(Path), Old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()), {}), 1);
}

TEST_F(FileRewrite, NameThatNoLongerLeadsToTheOpenFileIsLeftAlone) {
    Start(Pattern(300, 1));
    const std::vector<uint8_t> Other = Pattern(300, 2);
    WriteBytes(Dir / "other", Other);
    ASSERT_EQ(std::rename((Dir / "other").c_str(), Path.c_str()), 0);
    EXPECT_EQ(RewriteFileHead(Original, Path, Pattern(50, 3)), TRewriteResult::Failed);
    EXPECT_EQ(ReadBytes(Path), Other);
}

ino_t InodeOf(const std::string& Path) {
    struct stat St {};
    return ::lstat(Path.c_str(), &St) == 0 ? St.st_ino : 0;
}

TEST_F(FileRewrite, KeptPreviousVersionIsTheOriginalItselfAndReplacesAnOlderOne) {
    const std::vector<uint8_t> Old = Pattern(700, 4);
    Start(Old);
    WriteBytes(Path + "-", Pattern(10, 5)); // an older previous version
    const ino_t Inode = InodeOf(Path);
    TFileRewrite Rewrite(Original, Path);
    Rewrite.KeepPrevious();
    ASSERT_EQ(Rewrite.Commit(Pattern(300, 6)), TRewriteResult::Replaced);
    EXPECT_TRUE(Rewrite.PreviousKept());
    EXPECT_EQ(ReadBytes(Path + "-"), Old);
    EXPECT_EQ(InodeOf(Path + "-"), Inode);
    EXPECT_NE(InodeOf(Path), Inode);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()), {}), 2);
}

TEST_F(FileRewrite, PreviousVersionLinkLeftByAKillIsNoFurtherHardLink) {
    const std::vector<uint8_t> Old = Pattern(700, 4);
    Start(Old);
    ASSERT_EQ(::link(Path.c_str(), (Path + "-").c_str()), 0);
    const ino_t Inode = InodeOf(Path);
    // Without KeepPrevious the file is still replaced, not written in place through both names.
    EXPECT_EQ(RewriteFileHead(Original, Path, Pattern(300, 6)), TRewriteResult::Replaced);
    EXPECT_EQ(ReadBytes(Path + "-"), Old);
    EXPECT_EQ(InodeOf(Path + "-"), Inode);
}

} // namespace
