#include "StoreTestUtil.h"

#include "store/UserRules.h"

namespace {

ref::TUser Person(uint16_t Id, const std::string& UserName, const std::string& Pass,
                  uint32_t Rights) {
    ref::TUser U;
    U.Id = Id;
    U.PassSeed = Id * 1234567;
    U.NetPassSeed = Id;
    U.UserName = UserName;
    U.Pass = Pass;
    U.Rights = Rights;
    return U;
}

class StoreLogon : public ::testing::Test {
protected:
    void SetUp() override {
        ref::TFileContents Contents;
        Contents.LastId = 16;
        Contents.Seed = 77;
        Contents.Users = {
            Person(10, "admin", "secret", rtLogon | rtOtherGroup),
            Person(11, "jan", "pass1", rtLogon),
            Person(12, "jan", "pass2", rtLogon | rtExtracts),
            Person(13, "ewa", "x", rtExtracts | rtFilters), // no logon right
            Person(14, "Ewa", "y", rtLogon),
            Person(15, "piotr", "", rtLogon),
            Person(16, "ewa", "z", rtLogon),
            Person(17, "\xB3ucja", "\xB3\xF3\x9F", rtLogon), // "łucja", "łóź" in code page 1250
        };
        WriteBytes(Path, ref::EncodeFile(Contents));
        ASSERT_EQ(Store.Open(Path, false), ueOk);
    }

    TTempDir Dir;
    std::string Path = Dir / "UsrPass.dat";
    TUserManager Store;
};

TEST_F(StoreLogon, FirstUserWithTheNameAndTheLogonRightDecides) {
    EXPECT_EQ(Store.Logon("admin", "secret"), 10);
    EXPECT_EQ(Store.Logon("jan", "pass1"), 11);
    // A later user with the same name and that password is never tried.
    EXPECT_EQ(Store.Logon("jan", "pass2"), 0);
    // A user without the logon right is passed over, also when his password matches.
    EXPECT_EQ(Store.Logon("ewa", "x"), 0);
    EXPECT_EQ(Store.Logon("ewa", "z"), 16);
    EXPECT_EQ(Store.Logon("\xB3ucja", "\xB3\xF3\x9F"), 17);
}

TEST_F(StoreLogon, NamesAndPasswordsCompareWholeAndCaseSensitive) {
    EXPECT_EQ(Store.Logon("Ewa", "y"), 14);
    EXPECT_EQ(Store.Logon("EWA", "y"), 0);
    EXPECT_EQ(Store.Logon("admin", "Secret"), 0);
    EXPECT_EQ(Store.Logon("admin", "secret "), 0);
    EXPECT_EQ(Store.Logon("admi", "secret"), 0);
    EXPECT_EQ(Store.Logon("admin ", "secret"), 0);
    EXPECT_EQ(Store.Logon("admin", ""), 0);
    EXPECT_EQ(Store.Logon("nobody", ""), 0);
    EXPECT_EQ(Store.Logon("", ""), 0);
}

TEST_F(StoreLogon, EmptyStoredPasswordMatchesOnlyAnEmptyOne) {
    EXPECT_EQ(Store.Logon("piotr", ""), 15);
    EXPECT_EQ(Store.Logon("piotr", "a"), 0);
}

TEST_F(StoreLogon, LogonNameUsedCountsOnlyOtherUsersWithTheLogonRight) {
    // The names gathered once for many checks answer as the store does.
    const TLogonNames Names(Store);
    const struct {
        const char* Name;
        uint16_t Id;
        bool Used;
    } Cases[] = {
        {"admin", 10, false}, {"admin", 11, true}, {"jan", 11, true}, // user 12 has it too
        {"jan", 12, true},    {"ewa", 16, false}, // user 13 lacks the logon right
        {"ewa", 13, true},    {"EWA", 99, false},  {"nowy", 0, false}, {"piotr", 0, true},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(Store.LogonNameUsed(C.Name, C.Id), C.Used) << C.Name << " " << C.Id;
        EXPECT_EQ(Names.Used(C.Name, C.Id), C.Used) << C.Name << " " << C.Id;
    }
}

TEST_F(StoreLogon, UserByIdAndIsAdmin) {
    ASSERT_NE(Store.UserById(12), nullptr);
    EXPECT_EQ(Store.UserById(12)->GetPass(), "pass2");
    EXPECT_EQ(Store.UserById(12), Store.Items(2));
    EXPECT_EQ(Store.UserById(99), nullptr);
    EXPECT_EQ(Store.UserById(0), nullptr);
    EXPECT_TRUE(Store.IsAdmin(10));
    EXPECT_FALSE(Store.IsAdmin(11));
    EXPECT_FALSE(Store.IsAdmin(0));
    // The administrator is told by Id alone.
    Store.Items(0)->RemoveRights(rtLogon);
    Store.Items(0)->Rec.UserName.Assign("someone");
    EXPECT_TRUE(Store.IsAdmin(10));
}

TEST(StoreMessages, ShowUserFileErrorShowsTheSixMessages) {
    TMessageLog Log;
    TUserManager Store;
    for (int Code : {-1, 0, 7, 100})
        Store.ShowUserFileError(Code);
    EXPECT_TRUE(Log.Calls.empty());
    const char* Texts[] = {
        "Brak pliku z użytkownikami",
        "Nie można utworzyć pliku z użytkownikami",
        "Nie można otworzyć pliku z użytkownikami",
        "Niewłaściwy plik z użytkownikami",
        "Plik z użytkownikami jest aktualnie modyfikowany przez inną osobę",
        "Plik z użytkownikami uległ zniszczeniu",
    };
    for (int Code = 1; Code <= 6; ++Code)
        Store.ShowUserFileError(Code);
    ASSERT_EQ(Log.Calls.size(), 6u);
    for (int I = 0; I < 6; ++I) {
        EXPECT_EQ(Log.Calls[I].Text, Texts[I]);
        EXPECT_EQ(Log.Calls[I].Caption, "");
        EXPECT_EQ(Log.Calls[I].Flags, 16);
        EXPECT_EQ(UserFileErrorText(I + 1), Texts[I]);
    }
    EXPECT_EQ(UserFileErrorText(0), "");
}

TEST(StoreMessages, DefaultMessageBoxPrintsToStandardError) {
    ::testing::internal::CaptureStderr();
    const int Result = StoreMessageBox("Coś poszło źle", "", 16);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Coś poszło źle\n");
    EXPECT_EQ(Result, 1);
}

} // namespace
