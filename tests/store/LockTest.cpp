#include "HoldingChild.h"
#include "PackedValue.h"
#include "StoreTestUtil.h"

namespace {

class StoreLock : public ::testing::Test {
protected:
    TTempDir Dir;
    std::string Path = Dir / "UsrPass.dat";
    TMessageLog Messages;
};

TEST_F(StoreLock, SecondWriterInTheSameProcessIsRefusedAReaderIsNot) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(3)));
    TUserManager First;
    ASSERT_EQ(First.Open(Path, true), ueOk);

    TUserManager Second;
    EXPECT_EQ(Second.Open(Path, true), ueLocked);
    EXPECT_EQ(Second.Count(), 0);
    EXPECT_FALSE(Second.IsForWriting());

    TUserManager Reader;
    EXPECT_EQ(Reader.Open(Path, false), ueOk);
    EXPECT_EQ(Reader.Count(), 3);
    // The reader's closing of its own handle must not drop the writer's lock.
    TUserManager Third;
    EXPECT_EQ(Third.Open(Path, true), ueLocked);

    ASSERT_TRUE(First.Save());
    TUserManager Later;
    EXPECT_EQ(Later.Open(Path, true), ueOk);
    EXPECT_EQ(Later.Count(), 3);
}

TEST_F(StoreLock, WriterOfAShortFileTakesTheLockBeforeTheSizeCheck) {
    WriteBytes(Path, {'U', 'F', 0, 0, 0});
    TFile Holder;
    ASSERT_TRUE(Holder.Open(Path, TFileMode::ReadWrite));
    ASSERT_EQ(Holder.LockByte(14), TLockResult::Locked);
    TUserManager Writer;
    EXPECT_EQ(Writer.Open(Path, true), ueLocked);
    TUserManager Reader;
    EXPECT_EQ(Reader.Open(Path, false), ueDamaged);
    // A foreign file is recognised before any lock is tried.
    WriteBytes(Path, {'X', 'F', 0, 0, 0});
    TUserManager Foreign;
    EXPECT_EQ(Foreign.Open(Path, true), ueBadFile);
}

TEST_F(StoreLock, WriterInAnotherProcessLocksOutWritersUntilItDies) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    TUserManager Holder; // opened only in the child's copy of memory, which lives until the kill
    THoldingChild Child([&] { return Holder.Open(Path, true) == ueOk; });
    ASSERT_TRUE(Child.Holding());

    {
        TUserManager Writer;
        EXPECT_EQ(Writer.Open(Path, true), ueLocked);
        TUserManager Reader;
        EXPECT_EQ(Reader.Open(Path, false), ueOk);
        EXPECT_EQ(Reader.Count(), 2);
    }
    Child.Kill();
    TUserManager Writer;
    EXPECT_EQ(Writer.Open(Path, true), ueOk);
}

TEST_F(StoreLock, WriterThatSavedLetsTheNextOneIn) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    // The child opens, keeps the lock for a while, saves a change and ends.
    int Ready[2];
    ASSERT_EQ(::pipe(Ready), 0);
    int Go[2];
    ASSERT_EQ(::pipe(Go), 0);
    std::fflush(nullptr);
    const pid_t Child = ::fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        TUserManager Store;
        char Report = Store.Open(Path, true) == ueOk ? 'y' : 'n';
        if (::write(Ready[1], &Report, 1) != 1)
            ::_exit(2);
        if (::read(Go[0], &Report, 1) != 1)
            ::_exit(3);
        Store.Header.LastId = 4242;
        ::_exit(Store.Save() ? 0 : 4);
    }
    char Report = 0;
    ASSERT_EQ(::read(Ready[0], &Report, 1), 1);
    ASSERT_EQ(Report, 'y');
    TUserManager Blocked;
    EXPECT_EQ(Blocked.Open(Path, true), ueLocked);
    ASSERT_EQ(::write(Go[1], "g", 1), 1);
    int Status = 0;
    ::waitpid(Child, &Status, 0);
    ASSERT_TRUE(WIFEXITED(Status));
    EXPECT_EQ(WEXITSTATUS(Status), 0);
    for (int Fd : {Ready[0], Ready[1], Go[0], Go[1]})
        ::close(Fd);

    TUserManager Next;
    ASSERT_EQ(Next.Open(Path, true), ueOk);
    EXPECT_EQ(Val(Next.Header.LastId), 4242);
}

} // namespace
