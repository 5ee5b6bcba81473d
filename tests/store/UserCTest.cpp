#include "store/UserC.h"
#include "PackedValue.h"
#include "StoreTestUtil.h"

namespace {

TUserC FromRef(const ref::TUser& U) {
    return TUserC(RecordOf(U));
}

ref::TUser Sample() {
    ref::TUser U;
    U.Id = 7;
    U.PassSeed = 123;
    U.NetPassSeed = 456;
    U.Rights = 0x80000001;
    U.Name = "Anna";
    U.UserName = "anna";
    U.NetUserName = "ania";
    U.Pass = "stare";
    U.NetPass = "sieciowe";
    for (std::size_t I = 0; I < 72; ++I)
        U.Reserved[I] = static_cast<uint8_t>(0xF0 ^ I);
    U.Filler = 0xA5;
    return U;
}

TEST(UserC, CreateKeepsAllBytes) {
    const ref::TUser U = Sample();
    const TUserC User = FromRef(U);
    EXPECT_EQ(RecordBytes(User), ref::EncodeRecord(U));
    EXPECT_EQ(Val(User.Rec.Id), 7);
    EXPECT_EQ(User.Rec.UserName.Str(), "anna");
    EXPECT_EQ(User.Rec.Name.Str(), "Anna");
}

TEST(UserC, GetPassDecodesAndLeavesTheRecordAlone) {
    const ref::TUser U = Sample();
    const TUserC User = FromRef(U);
    EXPECT_EQ(User.GetPass(), "stare");
    EXPECT_EQ(RecordBytes(User), ref::EncodeRecord(U));
}

TEST(UserC, GetPassOfADamagedBlockStaysInsideIt) {
    ref::TUser U = Sample();
    U.Pass = std::string(15, 'q');
    ref::TRecordBytes Raw = ref::EncodeRecord(U);
    // Make the decoded length byte 200: flip the bits that turn 15 into 200.
    Raw[173] ^= static_cast<uint8_t>(15 ^ 200);
    const TUserC User(RecordOf(Raw));
    EXPECT_EQ(User.GetPass(), std::string(15, 'q'));
}

TEST(UserC, SetPassStoresUnderAFreshSeed) {
    const ref::TUser U = Sample();
    TUserC User = FromRef(U);
    const ref::TRecordBytes Before = RecordBytes(User);
    User.SetPass("nowe hasło");
    EXPECT_EQ(User.GetPass(), "nowe hasło");
    EXPECT_GE(Val(User.Rec.PassSeed), 0);
    EXPECT_LE(Val(User.Rec.PassSeed), 0x7FFFFFFE);

    // Decoded independently: the block under its new seed holds the value...
    const ref::TRecordBytes After = RecordBytes(User);
    EXPECT_EQ(ref::DecodeRecord(After.data()).Pass, "nowe hasło");
    // ...its bytes after the value are the old stored bytes under the new stream...
    ref::TGenerator S(static_cast<uint32_t>(User.Rec.PassSeed));
    const std::size_t Len = std::strlen("nowe hasło");
    for (std::size_t I = 0; I < 16; ++I) {
        const uint8_t Mask = S.Next(256);
        if (I > Len) {
            EXPECT_EQ(After[173 + I], Before[173 + I] ^ Mask) << I;
        }
    }
    // ...and nothing else of the record changed.
    for (std::size_t I = 0; I < 205; ++I) {
        if ((I >= 2 && I < 6) || (I >= 173 && I < 189))
            continue;
        EXPECT_EQ(After[I], Before[I]) << I;
    }
}

TEST(UserC, SetNetPassTouchesOnlyTheNetworkPassword) {
    TUserC User = FromRef(Sample());
    const ref::TRecordBytes Before = RecordBytes(User);
    User.SetNetPass("xyz");
    const ref::TRecordBytes After = RecordBytes(User);
    EXPECT_EQ(ref::DecodeRecord(After.data()).NetPass, "xyz");
    EXPECT_EQ(User.GetPass(), "stare");
    for (std::size_t I = 0; I < 205; ++I) {
        if ((I >= 6 && I < 10) || I >= 189)
            continue;
        EXPECT_EQ(After[I], Before[I]) << I;
    }
}

TEST(UserC, PasswordLengthsAtTheEdges) {
    TUserC User = FromRef(Sample());
    User.SetPass("");
    EXPECT_EQ(User.GetPass(), "");
    const ref::TRecordBytes Empty = RecordBytes(User);
    ref::TGenerator S(static_cast<uint32_t>(User.Rec.PassSeed));
    EXPECT_EQ(Empty[173], S.Next(256)); // a scrambled length byte of 0

    User.SetPass("abcdefghijklmnopqrst");
    EXPECT_EQ(User.GetPass(), "abcdefghijklmno");
    User.SetPass(std::string(15, 'z'));
    EXPECT_EQ(User.GetPass(), std::string(15, 'z'));
}

TEST(UserC, RightsTextListsTheCodesInOrder) {
    TUserRec Rec;
    std::memset(&Rec, 0, sizeof Rec);
    TUserC User(Rec);
    EXPECT_EQ(User.RightsText(), "");
    User.AddRights(rtLogon);
    EXPECT_EQ(User.RightsText(), "");
    User.AddRights(rtLayerImport | rtParcelModify | rtExtracts);
    EXPECT_EQ(User.RightsText(), "Id Dm Wi ");
    User.AddRights(0xFFFFFFFF);
    EXPECT_EQ(User.RightsText(), "Id If Is Dm Di De Dp Ds Wm Wi We Om Oi Oe ");
    EXPECT_EQ(User.RightsText().size(), 42u);
}

TEST(UserC, RightsMasksLeaveOtherBitsAlone) {
    TUserRec Rec;
    std::memset(&Rec, 0, sizeof Rec);
    TUserC User(Rec);
    User.Rec.Rights = 0x80000000 | rtLogon | rtParcelPrint;
    EXPECT_TRUE(User.HasRight(rtParcelGroup));
    EXPECT_FALSE(User.HasRight(rtLayerGroup));
    User.AddRights(rtLayerGroup);
    EXPECT_EQ(Val(User.Rec.Rights), 0x80000000u | rtLogon | rtParcelPrint | 0x00070000u);
    User.RemoveRights(rtParcelGroup);
    EXPECT_EQ(Val(User.Rec.Rights), 0x80000000u | rtLogon | 0x00070000u);
    User.RemoveRights(rtOtherGroup);
    EXPECT_FALSE(User.HasRight(rtLogon));
    EXPECT_EQ(Val(User.Rec.Rights), 0x80070000u);
}

} // namespace
