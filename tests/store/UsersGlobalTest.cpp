#include "PackedValue.h"
#include "StoreTestUtil.h"

#include "store/User.h"

#include <cstdlib>

namespace {

TEST(UsersGlobal, ExistsEmptyBeforeMain) {
    ASSERT_NE(Users, nullptr);
    EXPECT_EQ(Users->Count(), 0);
    EXPECT_FALSE(Users->IsForWriting());
    EXPECT_EQ(Val(Users->Header.Magic), 0);
}

TEST(UsersGlobal, FinalizeSavesFreesAndIsIdempotent) {
    TTempDir Dir;
    const std::string Path = Dir / "UsrPass.dat";
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    // In a child: the global is gone afterwards.
    const int Code = RunInChild([&] {
        if (Users->Open(Path, true) != ueOk)
            return 10;
        Users->Header.LastId = 3030;
        FinalizeUsers();
        if (Users != nullptr)
            return 11;
        FinalizeUsers();
        return 0;
    });
    ASSERT_EQ(Code, 0);
    const ref::TDecoded D = ref::DecodeFile(ReadBytes(Path));
    ASSERT_TRUE(D.Ok);
    EXPECT_EQ(D.LastId, 3030);
}

TEST(UsersGlobal, ProcessExitSavesWhenNobodyFinalized) {
    TTempDir Dir;
    const std::string Path = Dir / "UsrPass.dat";
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    const int Code = RunInChild([&] {
        if (Users->Open(Path, true) != ueOk)
            return 10;
        Users->Header.LastId = 4040;
        std::exit(0); // runs the static destructors, as the end of main would
    });
    ASSERT_EQ(Code, 0);
    const ref::TDecoded D = ref::DecodeFile(ReadBytes(Path));
    ASSERT_TRUE(D.Ok);
    EXPECT_EQ(D.LastId, 4040);
}

TEST(UsersGlobal, StoreThatFailedToOpenIsFreedWithoutTouchingTheFile) {
    TTempDir Dir;
    const std::string Path = Dir / "UsrPass.dat";
    std::vector<uint8_t> Bytes = ref::EncodeFile(SampleContents(2));
    Bytes[30] ^= 1;
    WriteBytes(Path, Bytes);
    const int Code = RunInChild([&] {
        TMessageLog Log;
        if (Users->Open(Path, true) != ueDamaged)
            return 10;
        FinalizeUsers();
        return Log.Calls.empty() ? 0 : 11;
    });
    ASSERT_EQ(Code, 0);
    EXPECT_EQ(ReadBytes(Path), Bytes);
}

} // namespace
