#include "runtime/FileRewrite.h"
#include "FileBytes.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> Pattern(std::size_t Len, uint8_t Seed) {
    std::vector<uint8_t> Bytes(Len);
    for (std::size_t I = 0; I < Len; ++I)
        Bytes[I] = static_cast<uint8_t>(Seed + I * 7);
    return Bytes;
}

ino_t InodeOf(const std::string& Path) {
    struct stat St {};
    return ::lstat(Path.c_str(), &St) == 0 ? St.st_ino : 0;
}

class FileRewrite : public ::testing::Test {
protected:
    TTempDir Dir;
    std::string Path = Dir / "data";
    TFile Original;
    TPinnedDirectory Pinned;

    void Start(const std::vector<uint8_t>& Bytes) {
        WriteBytes(Path, Bytes);
        ASSERT_TRUE(Original.Open(Path, TFileMode::ReadWrite));
        ASSERT_TRUE(Pinned.PinDirectoryOf(Path) && Pinned.HoldsFile(Original));
    }
    // The head in pieces of PieceLen, front last, as the store hands them over.
    TRewriteResult Rewrite(const std::vector<uint8_t>& Head, TRewritePlan Plan = {},
                           std::size_t PieceLen = 1000) {
        Plan.HeadLen = Head.size();
        TFileRewrite R(Original, Pinned, Plan);
        const std::size_t Front = std::min<std::size_t>(15, Head.size());
        for (std::size_t At = Front; At < Head.size(); At += PieceLen) {
            const std::size_t Len = std::min(PieceLen, Head.size() - At);
            R.Write(At, {Head.data() + At, Len});
        }
        R.Write(0, {Head.data(), Front});
        const TRewriteResult Result = R.Commit();
        Kept = R.Kept();
        return Result;
    }
    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(Dir.Path()), {}));
    }
    bool Kept = false;
};

TEST_F(FileRewrite, ShorterHeadKeepsTheOldTailLongerHeadLengthensTheFile) {
    const std::vector<uint8_t> Old = Pattern(5000, 1);
    Start(Old);
    const std::vector<uint8_t> Head = Pattern(1234, 99);
    EXPECT_EQ(Rewrite(Head), TRewriteResult::Replaced);
    std::vector<uint8_t> Expected = Head;
    Expected.insert(Expected.end(), Old.begin() + 1234, Old.end());
    EXPECT_EQ(ReadBytes(Path), Expected);
    EXPECT_EQ(Original.Size(), 5000); // the open handle still sees the old file

    ASSERT_TRUE(Original.Open(Path, TFileMode::ReadWrite));
    ASSERT_TRUE(Pinned.PinDirectoryOf(Path) && Pinned.HoldsFile(Original));
    const std::vector<uint8_t> Longer = Pattern(3 << 20, 5);
    EXPECT_EQ(Rewrite(Longer, {}, 300000), TRewriteResult::Replaced);
    EXPECT_EQ(ReadBytes(Path), Longer);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(FileRewrite, PiecesThatDoNotCoverTheHeadChangeNothingAndLeaveNothingBehind) {
    const std::vector<uint8_t> Old = Pattern(3000, 4);
    Start(Old);
    const std::vector<uint8_t> Head = Pattern(2000, 17);
    {
        TRewritePlan Plan;
        Plan.HeadLen = Head.size();
        TFileRewrite R(Original, Pinned, Plan);
        R.Write(15, {Head.data() + 15, 1000}); // a gap before the head's end
        R.Write(0, {Head.data(), 15});
        EXPECT_EQ(R.Commit(), TRewriteResult::Failed);
    }
    {
        TRewritePlan Plan;
        Plan.HeadLen = Head.size();
        TFileRewrite R(Original, Pinned, Plan); // abandoned before its commit
        R.Write(0, Head);
    }
    EXPECT_EQ(ReadBytes(Path), Old);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(FileRewrite, NameThatNoLongerLeadsToTheOpenFileIsLeftAlone) {
    Start(Pattern(300, 1));
    const std::vector<uint8_t> Other = Pattern(300, 2);
    WriteBytes(Dir / "other", Other);
    ASSERT_EQ(std::rename((Dir / "other").c_str(), Path.c_str()), 0);
    TRewritePlan Plan;
    Plan.KeepAs = "data-";
    EXPECT_EQ(Rewrite(Pattern(50, 3), Plan), TRewriteResult::Failed);
    EXPECT_EQ(ReadBytes(Path), Other);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(FileRewrite, KeptPreviousVersionIsTheOriginalItselfAndReplacesAnOlderOne) {
    const std::vector<uint8_t> Old = Pattern(700, 4);
    Start(Old);
    WriteBytes(Path + "-", Pattern(10, 5)); // an older previous version
    const ino_t Inode = InodeOf(Path);
    TRewritePlan Plan;
    Plan.KeepAs = PreviousVersionName("data");
    ASSERT_EQ(Rewrite(Pattern(300, 6), Plan), TRewriteResult::Replaced);
    EXPECT_TRUE(Kept);
    EXPECT_EQ(ReadBytes(Path + "-"), Old);
    EXPECT_EQ(InodeOf(Path + "-"), Inode);
    EXPECT_NE(InodeOf(Path), Inode);
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(FileRewrite, PreviousVersionLinkLeftByAnOlderKillIsNoFurtherHardLink) {
    const std::vector<uint8_t> Old = Pattern(700, 4);
    Start(Old);
    ASSERT_EQ(::link(Path.c_str(), (Path + "-").c_str()), 0);
    const ino_t Inode = InodeOf(Path);
    // Still replaced, not written in place through both names.
    EXPECT_EQ(Rewrite(Pattern(300, 6)), TRewriteResult::Replaced);
    EXPECT_EQ(ReadBytes(Path + "-"), Old);
    EXPECT_EQ(InodeOf(Path + "-"), Inode);
}

// Where the file as it was cannot be kept, a rewrite that must keep it writes nothing.
TEST_F(FileRewrite, RewriteThatMustKeepTheFileRefusesToWriteInPlace) {
    const std::vector<uint8_t> Old = Pattern(700, 4);
    Start(Old);
    ASSERT_EQ(::link(Path.c_str(), (Dir / "other name").c_str()), 0);
    TRewritePlan Plan;
    Plan.KeepAs = PreviousVersionName("data");
    Plan.MustKeep = true;
    EXPECT_EQ(Rewrite(Pattern(300, 6), Plan), TRewriteResult::Refused);
    EXPECT_EQ(ReadBytes(Path), Old);
    EXPECT_EQ(Entries(), 2u);
    // Without MustKeep it is written in place, where every name sees it, and keeps nothing.
    Plan.MustKeep = false;
    EXPECT_EQ(Rewrite(Pattern(300, 6), Plan), TRewriteResult::WrittenInPlace);
    EXPECT_FALSE(Kept);
    EXPECT_EQ(ReadBytes(Dir / "other name"), ReadBytes(Path));
    EXPECT_EQ(Entries(), 2u);
}

// The leftovers of rewrites killed on the way: temporary files go, a previous version whose
// rename was cut short gets its name, and only when the new file did replace the old one.
TEST_F(FileRewrite, LeftoversOfKilledRewritesAreClearedOrFinished) {
    const std::vector<uint8_t> Old = Pattern(700, 4);
    Start(Old);
    WriteBytes(Dir / ".data.tmp-Ab12Cd", Pattern(10, 1));  // killed before its rename
    WriteBytes(Dir / ".data.prev-Xy34Zw", Pattern(20, 2)); // killed after its rename
    ASSERT_EQ(::link(Path.c_str(), (Dir / ".data.prev-Qq11Qq").c_str()), 0); // ... before it
    WriteBytes(Dir / ".data.tmp-toolongname", {1});                          // none of ours
    WriteBytes(Dir / "data.tmp-Ab12Cd", {2});
    ASSERT_EQ(::mkdir((Dir / ".data.tmp-Dir123").c_str(), 0755), 0);
    ClearLeftovers(Original, Pinned);
    EXPECT_EQ(ReadBytes(Path + "-"), Pattern(20, 2));
    EXPECT_EQ(ReadBytes(Path), Old);
    std::vector<std::string> Names;
    for (const auto& E : std::filesystem::directory_iterator(Dir.Path()))
        Names.push_back(E.path().filename().string());
    std::sort(Names.begin(), Names.end());
    EXPECT_EQ(Names, (std::vector<std::string>{".data.tmp-Dir123", ".data.tmp-toolongname", "data",
                                               "data-", "data.tmp-Ab12Cd"}));
}

} // namespace
