// The change engine; when a save keeps a previous version and audits, and when not.
#include "AuditCapture.h"
#include "StoreTestUtil.h"

#include "store/UserDiff.h"

namespace {

std::vector<TUserField> FieldsOf(const std::vector<TFieldChange>& Changes) {
    std::vector<TUserField> Fields;
    for (const TFieldChange& Change : Changes)
        Fields.push_back(Change.Field);
    return Fields;
}

// usrpass diff's test names every field; here what only the record's bytes tell apart.
TEST(UserDiff, PasswordsByValueOrByBlockAndOtherBytesOnlyWhereNoFieldExplainsThem) {
    const ref::TUser Old = SampleUser(1); // rights: logon, Dm and a bit without a meaning
    using F = TUserField;
    const struct {
        const char* What;
        void (*Change)(ref::TUser&);
        std::vector<F> ByValue;
        std::vector<F> ByBlock;
    } Cases[] = {
        {"nothing", [](ref::TUser&) {}, {}, {}},
        // The characters cut off stay as filler: no other byte counts as changed.
        {"name shortened", [](ref::TUser& U) { U.UserName = "us"; }, {F::UserName}, {F::UserName}},
        {"bit without a meaning",
         [](ref::TUser& U) { U.Rights ^= 1u << 31; },
         {F::OtherBytes},
         {F::OtherBytes}},
        // Set again to the same password: the same password, but set.
        {"password reseeded", [](ref::TUser& U) { U.NetPassSeed = 42; }, {}, {F::NetPassword}},
        // The filler of the password blocks changes the stored blocks, not the passwords.
        {"filler",
         [](ref::TUser& U) { U.Filler ^= 1; },
         {F::OtherBytes},
         {F::Password, F::NetPassword, F::OtherBytes}},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        ref::TUser New = Old;
        Case.Change(New);
        const TUserRec A = RecordOf(Old);
        const TUserRec B = RecordOf(New);
        EXPECT_EQ(FieldsOf(CompareUsers(A, B, TPasswordCompare::ByValue)), Case.ByValue);
        EXPECT_EQ(FieldsOf(CompareUsers(A, B, TPasswordCompare::ByBlock)), Case.ByBlock);
        EXPECT_EQ(RecordHash(A) == RecordHash(B), Case.ByBlock.empty());
    }
    EXPECT_EQ(ObjectsText(0x8000005F), "1-5,7,32");
    EXPECT_EQ(ObjectsText(0x3), "1,2");
}

TEST(UserDiff, MatchesUsersByIdInTheirOrder) {
    const uint16_t Old[] = {5, 7, 9, 7};
    const uint16_t New[] = {7, 5, 11, 7, 7};
    const TUserMatching M = MatchUsers(Old, New);
    using P = std::pair<std::size_t, std::size_t>;
    EXPECT_EQ(M.Pairs, (std::vector<P>{{1, 0}, {0, 1}, {3, 3}}));
    EXPECT_EQ(M.Deleted, (std::vector<std::size_t>{2}));
    EXPECT_EQ(M.Added, (std::vector<std::size_t>{2, 4}));
}

class WayBack : public ::testing::Test {
protected:
    TTempDir Dir;
    std::string Path = Dir / "UsrPass.dat";
    std::string Previous = Path + "-";
    TAuditCapture Audit;
};

TEST_F(WayBack, UnchangedSessionKeepsTheOlderVersionAndWritesNoAuditLine) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(3)));
    const std::vector<uint8_t> Older = ref::EncodeFile(SampleContents(2));
    WriteBytes(Previous, Older);
    for (int Session = 0; Session < 2; ++Session) {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        EXPECT_EQ(Store.Logon("user1", "pw1"), 101);
        // A change taken back is no change.
        Store.Items(2)->AddRights(rtFilters);
        Store.Items(2)->RemoveRights(rtFilters);
        ASSERT_TRUE(Store.Save());
    }
    EXPECT_EQ(ReadBytes(Previous), Older);
    EXPECT_TRUE(Audit.Lines.empty());
}

TEST_F(WayBack, SaveInPlaceKeepsNoPreviousVersionAndSaysSo) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    ASSERT_EQ(::link(Path.c_str(), (Dir / "other").c_str()), 0);
    {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        Store.Items(1)->Rec.Name.Assign("Zmieniony");
        ASSERT_TRUE(Store.Save());
    }
    EXPECT_FALSE(std::filesystem::exists(Previous));
    ASSERT_EQ(Audit.Lines.size(), 2u);
    EXPECT_EQ(Audit.Lines[1].rfind("saved \"" + Path + "\" in place, no previous version kept", 0),
              0u);
}

} // namespace
