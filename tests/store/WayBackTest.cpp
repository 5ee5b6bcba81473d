// The previous version a save keeps, the audit lines it writes, and the change engine behind both.
#include "AuditCapture.h"
#include "StoreTestUtil.h"

#include "store/UserDiff.h"

namespace {

TUserRec RecordOf(const ref::TUser& User) {
    const ref::TRecordBytes Bytes = ref::EncodeRecord(User);
    TUserRec Rec;
    std::memcpy(&Rec, Bytes.data(), sizeof Rec);
    return Rec;
}

std::vector<TUserField> FieldsOf(const std::vector<TFieldChange>& Changes) {
    std::vector<TUserField> Fields;
    for (const TFieldChange& Change : Changes)
        Fields.push_back(Change.Field);
    return Fields;
}

TEST(UserDiff, NamesEveryKindOfChangeAndOnlyIt) {
    const ref::TUser Old = SampleUser(1); // rights: logon, Dm and a bit without a meaning
    using F = TUserField;
    const struct {
        const char* What;
        void (*Change)(ref::TUser&);
        std::vector<F> ByValue;
        std::vector<F> ByBlock;
    } Cases[] = {
        {"nothing", [](ref::TUser&) {}, {}, {}},
        {"full name", [](ref::TUser& U) { U.Name = "Inny"; }, {F::Name}, {F::Name}},
        // The characters cut off stay as filler: no other byte counts as changed.
        {"logon name shortened",
         [](ref::TUser& U) { U.UserName = "use"; },
         {F::UserName},
         {F::UserName}},
        {"network name",
         [](ref::TUser& U) { U.NetUserName = "x"; },
         {F::NetUserName},
         {F::NetUserName}},
        {"rights",
         [](ref::TUser& U) { U.Rights |= rtExtracts | rtObjectExport; },
         {F::Rights},
         {F::Rights}},
        {"bit without a meaning",
         [](ref::TUser& U) { U.Rights &= ~0x80000000u; },
         {F::OtherBytes},
         {F::OtherBytes}},
        {"objects", [](ref::TUser& U) { U.Objects = 0x8000001F; }, {F::Objects}, {F::Objects}},
        {"password", [](ref::TUser& U) { U.Pass = "nowe"; }, {F::Password}, {F::Password}},
        {"network password",
         [](ref::TUser& U) { U.NetPass = ""; },
         {F::NetPassword},
         {F::NetPassword}},
        // Set again to the same password: the same password, but set.
        {"password reseeded", [](ref::TUser& U) { U.PassSeed = 42; }, {}, {F::Password}},
        {"reserved", [](ref::TUser& U) { U.Reserved[71] ^= 1; }, {F::OtherBytes}, {F::OtherBytes}},
        // The filler of the password blocks changes the stored blocks, not the passwords.
        {"filler",
         [](ref::TUser& U) { U.Filler ^= 1; },
         {F::OtherBytes},
         {F::Password, F::NetPassword, F::OtherBytes}},
        {"all at once",
         [](ref::TUser& U) {
             U.Name = "N";
             U.UserName = "U";
             U.NetUserName = "S";
             U.Rights = 0;
             U.Objects = 0;
             U.Pass = "a";
             U.NetPass = "b";
             U.Reserved[0] ^= 1;
         },
         {F::Name, F::UserName, F::NetUserName, F::Rights, F::Objects, F::Password, F::NetPassword,
          F::OtherBytes},
         {F::Name, F::UserName, F::NetUserName, F::Rights, F::Objects, F::Password, F::NetPassword,
          F::OtherBytes}},
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

    const std::vector<TFieldChange> Changes =
        CompareUsers(RecordOf(Old), RecordOf([] {
                         ref::TUser U = SampleUser(1);
                         U.UserName = "nowy";
                         U.Rights =
                             rtLogon | rtExtracts | rtSignature | rtObjectExport | 0x80000000;
                         U.Objects = 0x8000005F;
                         return U;
                     }()),
                     TPasswordCompare::ByValue);
    ASSERT_EQ(Changes.size(), 3u);
    EXPECT_EQ(Changes[0].Before, "user1");
    EXPECT_EQ(Changes[0].After, "nowy");
    EXPECT_EQ(Changes[1].Before, "L Dm");
    EXPECT_EQ(Changes[1].After, "L Id Is Oe");
    EXPECT_EQ(Changes[2].Before, "32"); // SampleUser(1): 0x80000000
    EXPECT_EQ(Changes[2].After, "1-5,7,32");
    EXPECT_EQ(RightsCodes(rtFilters), "If");
    EXPECT_EQ(ObjectsText(0), "");
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

TEST_F(WayBack, ChangedSessionKeepsTheFileAsItWasAndAuditsEachChange) {
    const std::vector<uint8_t> Before = ref::EncodeFile(SampleContents(5));
    WriteBytes(Path, Before);
    WriteBytes(Previous, {1, 2, 3}); // an older previous version
    const ino_t Inode = StatOf(Path).st_ino;
    {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        Store.Items(1)->AddRights(rtExtracts);
        Store.Items(3)->SetPass("sekret-3");
        Store.DeleteAndFree(2);
        TUserRec Rec{};
        Rec.Id = 900;
        Rec.UserName.Assign("nowy");
        Store.Add(new TUserC(Rec));
        Store.Items(4)->SetPass("sekret-9");
        ASSERT_TRUE(Store.Save());
    }
    EXPECT_EQ(ReadBytes(Previous), Before);
    EXPECT_EQ(StatOf(Previous).st_ino, Inode);
    EXPECT_EQ(ref::DecodeFile(ReadBytes(Path)).Users.size(), 5u);

    const std::string By = "; by " + AuditActor();
    const std::vector<std::string> Expected = {
        "user changed: id 101, name \"user1\": rights \"L Dm\" -> \"L Id Dm\"" + By,
        "user deleted: id 102, name \"user2\"" + By,
        "user changed: id 103, name \"user3\": password changed" + By,
        "user added: id 900, name \"nowy\", full name \"\", network name \"\", rights \"\", "
        "objects \"\", password set, no network password" +
            By,
        "saved \"" + Path + "\", previous version kept as \"" + Previous + "\"" + By,
    };
    EXPECT_EQ(Audit.Lines, Expected);
    EXPECT_TRUE(Audit.NoLineHolds("sekret"));
    EXPECT_TRUE(Audit.NoLineHolds("pw")); // the sample users' passwords
}

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
    EXPECT_EQ(Audit.Lines[0].rfind("user changed: id 101, name \"user1\": full name \"Pan Nr 1 "
                                   "\xC5\x81\xC3\xB3\xC5\xBA\" -> \"Zmieniony\"; by ",
                                   0),
              0u);
    EXPECT_EQ(Audit.Lines[1].rfind("saved \"" + Path + "\" in place, no previous version kept", 0),
              0u);
}

} // namespace
