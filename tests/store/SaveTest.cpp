#include "StoreTestUtil.h"

#include "runtime/Random.h"

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/xattr.h>
#include <thread>

namespace {

// A new user as the main window builds one: a zeroed record with names, rights and passwords.
TUserC* NewUser(uint16_t Id, const std::string& UserName, const std::string& Pass) {
    TUserRec Rec;
    std::memset(&Rec, 0, sizeof Rec);
    auto* User = new TUserC(Rec);
    User->Rec.Id = Id;
    User->Rec.UserName.Assign(UserName);
    User->Rec.Name.Assign("Nowy " + UserName);
    User->AddRights(rtLogon | rtFilters);
    User->SetPass(Pass);
    User->SetNetPass("");
    return User;
}

void ExpectSameUser(const ref::TUser& Got, const ref::TUser& Want) {
    EXPECT_EQ(Got.Id, Want.Id);
    EXPECT_EQ(Got.Rights, Want.Rights);
    EXPECT_EQ(Got.Objects, Want.Objects);
    EXPECT_EQ(Got.Name, Want.Name);
    EXPECT_EQ(Got.UserName, Want.UserName);
    EXPECT_EQ(Got.NetUserName, Want.NetUserName);
    EXPECT_EQ(Got.Pass, Want.Pass);
    EXPECT_EQ(Got.NetPass, Want.NetPass);
    EXPECT_EQ(Got.PassSeed, Want.PassSeed);
    EXPECT_EQ(Got.Reserved, Want.Reserved);
}

class StoreSave : public ::testing::Test {
protected:
    TTempDir Dir;
    std::string Path = Dir / "UsrPass.dat";
    TMessageLog Messages;

    static bool SaveFailedOnce(const TMessageLog& Log) {
        return Log.Calls.size() == 1 && Log.Calls[0].Text == SaveFailedText &&
               Log.Calls[0].Caption.empty() && Log.Calls[0].Flags == 16;
    }
    bool SaveFailedOnce() const { return SaveFailedOnce(Messages); }

    // In a child process: Prepare (giving up root, say), then open File, add a user and save.
    // 0 when the save succeeded silently, or failed with the one message, as Succeeds says;
    // otherwise a code naming the step that went wrong.
    static int SaveInChild(const std::string& File, bool Succeeds,
                           const std::function<bool()>& Prepare) {
        return RunInChild([&] {
            if (!Prepare())
                return 10;
            TMessageLog ChildMessages;
            TUserManager Store;
            if (Store.Open(File, true) != ueOk)
                return 11;
            Store.Add(NewUser(900, "nowy", "p"));
            const bool Saved = Store.Save();
            const bool Told = Saved ? ChildMessages.Calls.empty() : SaveFailedOnce(ChildMessages);
            return Saved != Succeeds ? 12 : Told ? 0 : 13;
        });
    }
};

// In a child process: writes beyond Bytes fail instead of ending the process.
bool LimitFileSize(rlim_t Bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit Limit{Bytes, Bytes};
    return ::setrlimit(RLIMIT_FSIZE, &Limit) == 0;
}

TEST_F(StoreSave, RoundTripKeepsUsersAndChangesTheSeed) {
    const ref::TFileContents Contents = SampleContents(4);
    const std::vector<uint8_t> Before = ref::EncodeFile(Contents);
    WriteBytes(Path, Before);
    {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        ASSERT_TRUE(Store.Save());
    }
    const std::vector<uint8_t> After = ReadBytes(Path);
    ASSERT_EQ(After.size(), Before.size());
    const ref::TDecoded D = ref::DecodeFile(After);
    ASSERT_TRUE(D.Ok);
    EXPECT_EQ(D.LastId, Contents.LastId);
    EXPECT_EQ(D.LockByte, 0);
    EXPECT_GE(D.Seed, 0);
    EXPECT_LE(D.Seed, 0x7FFFFFFE);
    EXPECT_NE(D.Seed, Contents.Seed);
    ASSERT_EQ(D.Users.size(), 4u);
    for (std::size_t I = 0; I < 4; ++I) {
        ExpectSameUser(D.Users[I], Contents.Users[I]);
        // Filler bytes come through as well: the whole record is as it was.
        EXPECT_EQ(D.Records[I], ref::EncodeRecord(Contents.Users[I]));
    }
    EXPECT_NE(std::vector<uint8_t>(After.begin() + 15, After.end()),
              std::vector<uint8_t>(Before.begin() + 15, Before.end()));
    EXPECT_TRUE(Messages.Calls.empty());

    // A second save rescrambles under yet another seed.
    TUserManager Again;
    ASSERT_EQ(Again.Open(Path, true), ueOk);
    ASSERT_TRUE(Again.Save());
    const ref::TDecoded D2 = ref::DecodeFile(ReadBytes(Path));
    ASSERT_TRUE(D2.Ok);
    EXPECT_NE(D2.Seed, D.Seed);
    EXPECT_NE(D2.Checksum, D.Checksum);
    EXPECT_EQ(D2.Records, D.Records);
}

TEST_F(StoreSave, ThousandsOfUsersComeBackByteForByte) {
    // Enough records for the save to work through many groups and more than one batch.
    ref::TFileContents Contents = SampleContents(0);
    for (int I = 0; I < 5300; ++I) {
        ref::TUser U = SampleUser(I % 50);
        U.Id = static_cast<uint16_t>(I + 1);
        U.Objects = static_cast<uint32_t>(I) * 2654435761u;
        Contents.Users.push_back(U);
    }
    WriteBytes(Path, ref::EncodeFile(Contents));
    {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        Store.DeleteAndFree(2500);
        ASSERT_TRUE(Store.Save());
    }
    const ref::TDecoded D = ref::DecodeFile(ReadBytes(Path));
    ASSERT_TRUE(D.Ok);
    ASSERT_EQ(D.Records.size(), 5299u);
    for (std::size_t I = 0; I < D.Records.size(); ++I) {
        const std::size_t From = I < 2500 ? I : I + 1;
        ASSERT_EQ(D.Records[I], ref::EncodeRecord(Contents.Users[From])) << I;
    }
}

TEST_F(StoreSave, FewerUsersKeepTheLengthAndTheStaleRecords) {
    const std::vector<uint8_t> Before = ref::EncodeFile(SampleContents(4, 1));
    WriteBytes(Path, Before);
    {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        Store.DeleteAndFree(1);
        Store.DeleteAndFree(2);
        ASSERT_TRUE(Store.Save());
    }
    const std::vector<uint8_t> After = ReadBytes(Path);
    ASSERT_EQ(After.size(), Before.size());
    const std::size_t NewEnd = 15 + 2 * 205;
    EXPECT_TRUE(std::equal(After.begin() + NewEnd, After.end(), Before.begin() + NewEnd));
    const ref::TDecoded D = ref::DecodeFile(After);
    ASSERT_TRUE(D.Ok);
    ASSERT_EQ(D.Users.size(), 2u);
    EXPECT_EQ(D.Users[0].Id, SampleUser(0).Id);
    EXPECT_EQ(D.Users[1].Id, SampleUser(2).Id);

    TUserManager Reader;
    ASSERT_EQ(Reader.Open(Path, false), ueOk);
    EXPECT_EQ(Reader.Count(), 2);
}

TEST_F(StoreSave, MoreUsersLengthenTheFile) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        Store.Header.LastId = 501;
        Store.Add(NewUser(500, "ola", "hasło"));
        Store.Add(NewUser(501, "ala", ""));
        ASSERT_TRUE(Store.Save());
    }
    EXPECT_EQ(std::filesystem::file_size(Path), 15u + 4 * 205);
    const ref::TDecoded D = ref::DecodeFile(ReadBytes(Path));
    ASSERT_TRUE(D.Ok);
    EXPECT_EQ(D.LastId, 501);
    ASSERT_EQ(D.Users.size(), 4u);
    EXPECT_EQ(D.Users[2].UserName, "ola");
    EXPECT_EQ(D.Users[2].Pass, "hasło");
    EXPECT_EQ(D.Users[2].Rights, rtLogon | rtFilters);
    EXPECT_EQ(D.Users[3].Pass, "");
    EXPECT_EQ(D.Users[3].Reserved, (std::array<uint8_t, 72>{}));
}

TEST_F(StoreSave, SavesOnceAndThenHoldsNoFile) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    TUserManager Store;
    ASSERT_EQ(Store.Open(Path, true), ueOk);
    ASSERT_TRUE(Store.Save());
    const std::vector<uint8_t> Saved = ReadBytes(Path);
    Store.DeleteAndFree(1);
    EXPECT_TRUE(Store.Save()); // nothing more to write
    EXPECT_EQ(ReadBytes(Path), Saved);
    TUserManager Next;
    EXPECT_EQ(Next.Open(Path, true), ueOk); // the lock is gone
}

TEST_F(StoreSave, OwnerGroupAndModeAreKept) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    ::chmod(Path.c_str(), 0640);
    const bool Root = ::geteuid() == 0;
    if (Root) {
        ASSERT_EQ(::chown(Path.c_str(), 1234, 5678), 0);
    }
    const struct stat Before = StatOf(Path);
    {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        ASSERT_TRUE(Store.Save());
    }
    const struct stat After = StatOf(Path);
    EXPECT_NE(After.st_ino, Before.st_ino); // replaced, not overwritten
    EXPECT_EQ(After.st_mode, Before.st_mode);
    EXPECT_EQ(After.st_uid, Before.st_uid);
    EXPECT_EQ(After.st_gid, Before.st_gid);
    EXPECT_EQ(DirEntries(Dir.Path()), std::vector<std::string>{"UsrPass.dat"});
}

TEST_F(StoreSave, ExtendedAttributesAreKept) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    if (::setxattr(Path.c_str(), "user.pelorin", "keep", 4, 0) != 0)
        GTEST_SKIP() << "this file system holds no user attributes";
    const struct stat Before = StatOf(Path);
    {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        ASSERT_TRUE(Store.Save());
    }
    EXPECT_NE(StatOf(Path).st_ino, Before.st_ino);
    char Value[16] = {};
    ASSERT_EQ(::getxattr(Path.c_str(), "user.pelorin", Value, sizeof Value), 4);
    EXPECT_EQ(std::string(Value, 4), "keep");
}

TEST_F(StoreSave, SymbolicLinkIsKeptAndItsTargetReplaced) {
    std::filesystem::create_directory(Dir.Path() / "data");
    const std::string Target = Dir / "data/users.bin";
    WriteBytes(Target, ref::EncodeFile(SampleContents(2)));
    ASSERT_EQ(::symlink("data/users.bin", Path.c_str()), 0);
    {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        Store.Add(NewUser(777, "link", "x"));
        ASSERT_TRUE(Store.Save());
    }
    EXPECT_TRUE(S_ISLNK(StatOf(Path).st_mode));
    EXPECT_EQ(std::filesystem::read_symlink(Path), "data/users.bin");
    const ref::TDecoded D = ref::DecodeFile(ReadBytes(Target));
    ASSERT_TRUE(D.Ok);
    ASSERT_EQ(D.Users.size(), 3u);
    EXPECT_EQ(D.Users[2].UserName, "link");
    // The previous version stands beside the file the link leads to.
    EXPECT_EQ(DirEntries(Dir.Path() / "data"),
              (std::vector<std::string>{"users.bin", "users.bin-"}));
    EXPECT_EQ(DirEntries(Dir.Path()), (std::vector<std::string>{"UsrPass.dat", "data"}));
}

TEST_F(StoreSave, FileSizeLimitFailsTheSaveAndKeepsTheOldFile) {
    const std::vector<uint8_t> Before = ref::EncodeFile(SampleContents(5, 2));
    WriteBytes(Path, Before);
    // A limit below the file's 1,450 bytes.
    ASSERT_EQ(SaveInChild(Path, false, [] { return LimitFileSize(600); }), 0);
    EXPECT_EQ(ReadBytes(Path), Before);
    EXPECT_EQ(DirEntries(Dir.Path()), std::vector<std::string>{"UsrPass.dat"});
    TUserManager Store;
    ASSERT_EQ(Store.Open(Path, true), ueOk); // every user, and no lock left behind
    EXPECT_EQ(Store.Count(), 5);
}

TEST_F(StoreSave, ReadOnlyDirectoryFallsBackToWritingInPlace) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(3)));
    ::chmod(Path.c_str(), 0664);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(Path.c_str(), NobodyId, NobodyId), 0);
    }
    ::chmod(Dir.Path().c_str(), 0555);
    const struct stat Before = StatOf(Path);
    const int Code = SaveInChild(Path, true, [] { return DropRoot(); });
    ::chmod(Dir.Path().c_str(), 0755);
    ASSERT_EQ(Code, 0);
    const struct stat After = StatOf(Path);
    EXPECT_EQ(After.st_ino, Before.st_ino);
    EXPECT_EQ(After.st_mode, Before.st_mode);
    EXPECT_EQ(After.st_uid, Before.st_uid);
    const ref::TDecoded D = ref::DecodeFile(ReadBytes(Path));
    ASSERT_TRUE(D.Ok);
    ASSERT_EQ(D.Users.size(), 4u);
    EXPECT_EQ(D.Users[3].UserName, "nowy");
    EXPECT_EQ(D.Users[3].Pass, "p");
    EXPECT_EQ(DirEntries(Dir.Path()), std::vector<std::string>{"UsrPass.dat"});
}

TEST_F(StoreSave, InPlaceWriteThatCannotGrowTheFileChangesNothing) {
    const std::vector<uint8_t> Before = ref::EncodeFile(SampleContents(3));
    WriteBytes(Path, Before);
    ::chmod(Path.c_str(), 0666);
    ::chmod(Dir.Path().c_str(), 0555);
    const int Code =
        SaveInChild(Path, false, [&] { return DropRoot() && LimitFileSize(Before.size()); });
    ::chmod(Dir.Path().c_str(), 0755);
    ASSERT_EQ(Code, 0);
    EXPECT_EQ(ReadBytes(Path), Before);
}

TEST_F(StoreSave, OwnerThatCannotBeCarriedOverMeansWritingInPlace) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving the file another user's ownership needs root";
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    // Owned by another user, writable by everyone; the saver may not give the file its group.
    ASSERT_EQ(::chown(Path.c_str(), 1, 1), 0);
    ::chmod(Path.c_str(), 0666);
    ::chmod(Dir.Path().c_str(), 0777);
    const struct stat Before = StatOf(Path);
    ASSERT_EQ(SaveInChild(Path, true, [] { return DropRoot(); }), 0);
    const struct stat After = StatOf(Path);
    EXPECT_EQ(After.st_ino, Before.st_ino);
    EXPECT_EQ(After.st_uid, 1u);
    EXPECT_EQ(After.st_gid, 1u);
    const ref::TDecoded D = ref::DecodeFile(ReadBytes(Path));
    ASSERT_TRUE(D.Ok);
    EXPECT_EQ(D.Users.size(), 3u);
    EXPECT_EQ(DirEntries(Dir.Path()), std::vector<std::string>{"UsrPass.dat"});
}

TEST_F(StoreSave, GroupMemberBecomesTheOwnerOfAReplacedFileOnlyWhereNobodyLosesAccess) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "files of other users and groups need root";
    // The saver (nobody) is in both groups. Daemon, uid 1, is in group 1 (his primary group) and
    // not in Admins, which is in no group database.
    constexpr gid_t Admins = 4242;
    // An access list: owner rw-, owning group (perm), group 4242 rw-, mask rw-, others ---.
    const auto Acl = [](uint8_t GroupObjPerm) {
        // clang-format off
        return std::vector<uint8_t>{
            2,    0, 0, 0,                                    // version 2
            1,    0, 6, 0,            0xFF, 0xFF, 0xFF, 0xFF, // owner
            4,    0, GroupObjPerm, 0, 0xFF, 0xFF, 0xFF, 0xFF, // owning group
            8,    0, 6, 0,            0x92, 0x10, 0,    0,    // group 4242
            0x10, 0, 6, 0,            0xFF, 0xFF, 0xFF, 0xFF, // mask
            0x20, 0, 0, 0,            0xFF, 0xFF, 0xFF, 0xFF, // others
        };
        // clang-format on
    };
    struct TCase {
        const char* What;
        uid_t Owner;
        gid_t Group;
        mode_t Mode;
        std::vector<uint8_t> Acl;
        bool Replaced;
    };
    const TCase Cases[] = {
        {"root's file, group from the setgid directory", 0, Admins, 0660, {}, true},
        {"owner in the group, group set by the saver", 1, 1, 0660, {}, true},
        {"group grants the owner's rights by its list entry", 1, 1, 0660, Acl(6), true},
        {"owner outside the group", 1, Admins, 0660, {}, false},
        {"group may not execute what the owner may", 1, 1, 0760, {}, false},
        {"list entry of the group reads only", 1, 1, 0660, Acl(4), false},
        {"set-group-ID file", 0, Admins, 02660, {}, false},
    };
    int N = 0;
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.What);
        const std::string CaseDir = Dir / std::to_string(N++);
        ASSERT_EQ(::mkdir(CaseDir.c_str(), 0), 0);
        ASSERT_EQ(::chown(CaseDir.c_str(), 0, Admins), 0);
        ASSERT_EQ(::chmod(CaseDir.c_str(), 02770), 0);
        const std::string File = CaseDir + "/UsrPass.dat";
        WriteBytes(File, ref::EncodeFile(SampleContents(2)));
        ASSERT_EQ(::chown(File.c_str(), Case.Owner, Case.Group), 0);
        ASSERT_EQ(::chmod(File.c_str(), Case.Mode), 0);
        if (!Case.Acl.empty() && ::setxattr(File.c_str(), "system.posix_acl_access",
                                            Case.Acl.data(), Case.Acl.size(), 0) != 0)
            GTEST_SKIP() << "this file system holds no access control lists";
        const struct stat Before = StatOf(File);
        ASSERT_EQ(SaveInChild(File, true, [] { return DropRoot({Admins, 1}); }), 0);
        const struct stat After = StatOf(File);
        EXPECT_EQ(After.st_ino != Before.st_ino, Case.Replaced);
        EXPECT_EQ(After.st_uid, Case.Replaced ? NobodyId : Case.Owner);
        EXPECT_EQ(After.st_gid, Case.Group);
        EXPECT_EQ(After.st_mode, Before.st_mode);
        if (!Case.Acl.empty()) {
            std::vector<uint8_t> Kept(64);
            const ssize_t Got =
                ::getxattr(File.c_str(), "system.posix_acl_access", Kept.data(), Kept.size());
            Kept.resize(Got > 0 ? static_cast<std::size_t>(Got) : 0);
            EXPECT_EQ(Kept, Case.Acl);
        }
        EXPECT_EQ(ref::DecodeFile(ReadBytes(File)).Users.size(), 3u);
        // Only a replaced file stays as the previous version.
        const std::vector<std::string> Names =
            Case.Replaced ? std::vector<std::string>{"UsrPass.dat", "UsrPass.dat-"}
                          : std::vector<std::string>{"UsrPass.dat"};
        EXPECT_EQ(DirEntries(CaseDir), Names);
    }
}

TEST_F(StoreSave, HardLinkedFileIsWrittenInPlaceSoEveryNameSeesIt) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    ASSERT_EQ(::link(Path.c_str(), (Dir / "copy.dat").c_str()), 0);
    {
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk);
        Store.Add(NewUser(904, "linked", "p"));
        ASSERT_TRUE(Store.Save());
    }
    EXPECT_EQ(ReadBytes(Path), ReadBytes(Dir / "copy.dat"));
    EXPECT_EQ(ref::DecodeFile(ReadBytes(Dir / "copy.dat")).Users.size(), 3u);
}

TEST_F(StoreSave, ListWithoutUsersIsNeverWritten) {
    const std::vector<uint8_t> Before = ref::EncodeFile(SampleContents(2));
    WriteBytes(Path, Before);
    TUserManager Store;
    ASSERT_EQ(Store.Open(Path, true), ueOk);
    Store.DeleteAndFree(1);
    Store.DeleteAndFree(0);
    EXPECT_FALSE(Store.Save());
    EXPECT_TRUE(SaveFailedOnce());
    EXPECT_EQ(ReadBytes(Path), Before);
}

TEST_F(StoreSave, FileReplacedBehindTheLockIsNotOverwritten) {
    const std::vector<uint8_t> Mine = ref::EncodeFile(SampleContents(2));
    WriteBytes(Path, Mine);
    TUserManager Store;
    ASSERT_EQ(Store.Open(Path, true), ueOk);
    // Something that ignores the lock puts another file in its place.
    const std::vector<uint8_t> Theirs = ref::EncodeFile(SampleContents(3));
    WriteBytes(Dir / "other", Theirs);
    ASSERT_EQ(::rename((Dir / "other").c_str(), Path.c_str()), 0);
    EXPECT_FALSE(Store.Save());
    EXPECT_TRUE(SaveFailedOnce());
    EXPECT_EQ(ReadBytes(Path), Theirs);
}

TEST_F(StoreSave, KillingTheProcessDuringSavesNeverLeavesABrokenFile) {
    // 20,000 users, 4 MB: the child changes a user and saves over and over; it is killed as soon
    // as a save has created its new file, a little later while it writes, flushes or keeps the
    // previous version, or at a random moment.
    ref::TFileContents Contents = SampleContents(1);
    for (int I = 1; I < 20000; ++I) {
        ref::TUser U = Contents.Users[0];
        U.Id = static_cast<uint16_t>(I + 1);
        Contents.Users.push_back(U);
    }
    WriteBytes(Path, ref::EncodeFile(Contents));
    const int Watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(Watch, 0);
    ASSERT_GE(::inotify_add_watch(Watch, Dir.Path().c_str(), IN_CREATE), 0);
    for (int Round = 0; Round < 12; ++Round) {
        std::fflush(nullptr);
        const pid_t Child = ::fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            for (;;) {
                TUserManager Store;
                if (Store.Open(Path, true) != ueOk)
                    ::_exit(3);
                Store.Items(0)->Rec.Objects ^= 1;
                if (!Store.Save())
                    ::_exit(4);
            }
        }
        if (Round % 3 == 2) {
            ::usleep(static_cast<useconds_t>(10000 + Round * 9000));
        } else {
            alignas(inotify_event) char Events[4096];
            ASSERT_GT(::read(Watch, Events, sizeof Events), 0); // a new file appeared
            if (Round % 3 == 1)
                ::usleep(500);
        }
        ::kill(Child, SIGKILL);
        int Status = 0;
        ::waitpid(Child, &Status, 0);
        ASSERT_TRUE(WIFSIGNALED(Status))
            << "the saving child stopped by itself: " << WEXITSTATUS(Status);
        TUserManager Store;
        ASSERT_EQ(Store.Open(Path, true), ueOk) << "round " << Round;
        EXPECT_EQ(Store.Count(), 20000);
        // The previous version, once there is one, is a whole file too.
        if (std::filesystem::exists(Path + "-")) {
            TUserManager Previous;
            EXPECT_EQ(Previous.Open(Path + "-", false), ueOk) << "round " << Round;
            EXPECT_EQ(Previous.Count(), 20000);
        }
        // Drain the events of this round before the next one.
        alignas(inotify_event) char Events[4096];
        const int Flags = ::fcntl(Watch, F_GETFL);
        ::fcntl(Watch, F_SETFL, Flags | O_NONBLOCK);
        while (::read(Watch, Events, sizeof Events) > 0) {
        }
        ::fcntl(Watch, F_SETFL, Flags);
    }
    ::close(Watch);
    // The next save clears away what the killed ones left, and nothing else; a leftover that is
    // a second name of the file (usrpass init killed after linking the file) does not stop it
    // from being replaced, and the file becomes the previous version.
    WriteBytes(Dir / ".UsrPass.dat.backup", {1});
    WriteBytes(Dir / "UsrPass.dat.abcdef", {2});
    ASSERT_EQ(::link(Path.c_str(), (Dir / ".UsrPass.dat.tmp-Ab12Cd").c_str()), 0);
    const ino_t Before = StatOf(Path).st_ino;
    TUserManager Store;
    ASSERT_EQ(Store.Open(Path, true), ueOk);
    Store.Items(0)->Rec.Objects ^= 1;
    ASSERT_TRUE(Store.Save());
    EXPECT_NE(StatOf(Path).st_ino, Before);
    EXPECT_EQ(StatOf(Path + "-").st_ino, Before);
    EXPECT_EQ(DirEntries(Dir.Path()),
              (std::vector<std::string>{".UsrPass.dat.backup", "UsrPass.dat", "UsrPass.dat-",
                                        "UsrPass.dat.abcdef"}));
}

// A save that did not finish, or did not report success, never counts: the next writer puts the
// old contents back and the old length with them.
TEST_F(StoreSave, WriterPutsBackOrDropsAnInterruptedInPlaceSave) {
    const std::vector<uint8_t> Old = ref::EncodeFile(SampleContents(3));
    ref::TFileContents NewContents = SampleContents(4); // longer than the old file
    NewContents.Seed = 77;
    const std::vector<uint8_t> New = ref::EncodeFile(NewContents);
    const auto OpensAsTheOldFile = [&](const std::vector<uint8_t>& Left) {
        WriteBytes(Path, Left);
        TUserManager Store;
        EXPECT_EQ(Store.Open(Path, true), ueOk);
        EXPECT_EQ(Store.Count(), 3);
        EXPECT_EQ(ReadBytes(Path), Old);
    };
    // Killed while writing the front, or after it but before the journal was cut off.
    std::vector<uint8_t> Killed = ref::WithUndoJournal(Old, New.size(), true);
    std::copy(New.begin(), New.begin() + 400, Killed.begin());
    OpensAsTheOldFile(Killed);
    std::copy(New.begin(), New.end(), Killed.begin());
    OpensAsTheOldFile(Killed);
    // Killed before the journal was complete (the front untouched), or with its copy torn, or
    // right after the file was lengthened, before its trailer was written.
    OpensAsTheOldFile(ref::WithUndoJournal(Old, New.size(), false));
    std::vector<uint8_t> Lengthened = Old;
    Lengthened.resize(Old.size() + 7 * 205, 0);
    OpensAsTheOldFile(Lengthened);
    std::vector<uint8_t> Torn = ref::WithUndoJournal(Old, New.size(), true);
    Torn[New.size() + 100] ^= 1;
    OpensAsTheOldFile(Torn);
}

TEST_F(StoreSave, ReplacedFileWhoseDirectoryCannotBeFlushedIsSavedWithAWarning) {
    WriteBytes(Path, ref::EncodeFile(SampleContents(2)));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(Path.c_str(), NobodyId, NobodyId), 0);
    }
    // Files can be made and renamed in the directory, but it cannot be opened to be flushed.
    ::chmod(Dir.Path().c_str(), 0333);
    const ino_t Before = StatOf(Path).st_ino;
    int Err[2];
    ASSERT_EQ(::pipe(Err), 0);
    const int Code = SaveInChild(Path, true, [&] { return DropRoot() && ::dup2(Err[1], 2) == 2; });
    ::close(Err[1]);
    char Text[256] = {};
    const ssize_t Got = ::read(Err[0], Text, sizeof Text - 1);
    ::close(Err[0]);
    ::chmod(Dir.Path().c_str(), 0755);
    ASSERT_EQ(Code, 0);
    EXPECT_EQ(std::string(Text, Got > 0 ? static_cast<std::size_t>(Got) : 0),
              "Ostrzeżenie: zapis pliku z użytkownikami może nie przetrwać awarii zasilania\n");
    EXPECT_NE(StatOf(Path).st_ino, Before);
    EXPECT_EQ(ref::DecodeFile(ReadBytes(Path)).Users.size(), 3u);
}

// Saves of 65,535 users, each made by a child process and killed at a random moment; after every
// kill the next writer must find the complete old or new users, and its own save must keep them.
class KilledSaves : public StoreSave {
protected:
#if defined(__OPTIMIZE__) && !defined(__SANITIZE_ADDRESS__)
    static constexpr int Kills = 50;
#else
    static constexpr int Kills = 6; // a build twenty times slower: the sanitizers' pass
#endif
    static constexpr std::size_t BaseUsers = 65534;
    static constexpr int DeletedIndex = 1000;
    static inline std::vector<uint8_t> BaseFile;
    static inline std::vector<ref::TRecordBytes> BaseRecords;
    static inline ref::TRecordBytes AddedRecord;

    static void SetUpTestSuite() {
        ref::TFileContents Contents = SampleContents(0);
        for (std::size_t I = 0; I < BaseUsers; ++I) {
            ref::TUser U = SampleUser(static_cast<int>(I % 50));
            U.Id = static_cast<uint16_t>(I + 1);
            U.Objects = static_cast<uint32_t>(I) * 2654435761u;
            Contents.Users.push_back(U);
            BaseRecords.push_back(ref::EncodeRecord(U));
        }
        BaseFile = ref::EncodeFile(Contents);
        ref::TUser Added = SampleUser(7);
        Added.Id = 65535;
        AddedRecord = ref::EncodeRecord(Added);
    }

    // Even rounds add the 65,535th user (the file grows), odd rounds delete one (it shrinks).
    static std::vector<ref::TRecordBytes> ExpectedRecords(int Round, bool Saved) {
        std::vector<ref::TRecordBytes> Records = BaseRecords;
        if (Saved && Round % 2 == 0)
            Records.push_back(AddedRecord);
        if (Saved && Round % 2 == 1)
            Records.erase(Records.begin() + DeletedIndex);
        return Records;
    }

    // One save in a child (Setup first, then open, the round's change, save), killed KillAfter
    // after the child reported the file open. Returns how long the save took, or -1 when killed.
    int64_t RunSave(int Round, const std::function<int()>& Setup,
                    std::optional<std::chrono::microseconds> KillAfter) {
        int Opened[2];
        if (::pipe(Opened) != 0)
            return -2;
        std::fflush(nullptr);
        const pid_t Child = ::fork();
        if (Child == 0) {
            ::close(Opened[0]);
            if (const int Code = Setup(); Code != 0)
                ::_exit(Code);
            TUserManager Store;
            if (Store.Open(Path, true) != ueOk)
                ::_exit(11);
            if (Round % 2 == 0)
                Store.Add(new TUserC(RecordOf(AddedRecord)));
            else
                Store.DeleteAndFree(DeletedIndex);
            if (::write(Opened[1], "o", 1) != 1)
                ::_exit(13);
            ::_exit(Store.Save() ? 0 : 12);
        }
        ::close(Opened[1]);
        char Byte = 0;
        const bool Started = ::read(Opened[0], &Byte, 1) == 1;
        ::close(Opened[0]);
        const auto Start = std::chrono::steady_clock::now();
        if (Started && KillAfter) {
            std::this_thread::sleep_for(*KillAfter);
            ::kill(Child, SIGKILL);
        }
        int Status = 0;
        ::waitpid(Child, &Status, 0);
        if (WIFSIGNALED(Status))
            return -1;
        EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0)
            << "the saving child failed: " << WEXITSTATUS(Status);
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now() - Start)
            .count();
    }

    // Kills Rounds saves at random moments; reports what the next writer found each time.
    void KillSaves(int Rounds, const std::function<int()>& Setup) {
        int64_t SaveTime = INT64_MAX; // the quickest of three saves that are not killed
        for (int Round = 0; Round < 3; ++Round) {
            WriteBytes(Path, BaseFile);
            SaveTime = std::min(SaveTime, RunSave(Round, Setup, std::nullopt));
        }
        if (SaveTime < 0)
            return;
        const unsigned Seed = std::random_device{}();
        std::mt19937 Rng(Seed);
        std::uniform_int_distribution<int64_t> Moment(0, SaveTime * 11 / 10);
        int Finished = 0, Torn = 0, PutBack = 0, New = 0;
        for (int Round = 0; Round < Rounds; ++Round) {
            SCOPED_TRACE("round " + std::to_string(Round) + ", seed " + std::to_string(Seed));
            WriteBytes(Path, BaseFile);
            Finished += RunSave(Round, Setup, std::chrono::microseconds(Moment(Rng))) >= 0;
            TUserManager Reader; // never writes: sees a front cut short as it is
            Torn += Reader.Open(Path, false) == ueDamaged;
            const auto SizeBefore = std::filesystem::file_size(Path);
            TUserManager Store;
            ASSERT_EQ(Store.Open(Path, true), ueOk);
            const bool Recovered = std::filesystem::file_size(Path) != SizeBefore;
            ASSERT_TRUE(Store.Save());

            const ref::TDecoded D = ref::DecodeFile(ReadBytes(Path));
            ASSERT_TRUE(D.Ok);
            const bool Saved = D.Records.size() != BaseUsers; // every round's change counts
            ASSERT_TRUE(D.Records == ExpectedRecords(Round, Saved));
            New += Saved;
            // A journal found always puts the old contents back.
            EXPECT_FALSE(Recovered && Saved);
            PutBack += Recovered;
        }
        EXPECT_EQ(DirEntries(Dir.Path()), std::vector<std::string>{"UsrPass.dat"});
        std::printf("%d kills (a save takes %lld ms): %d saves finished first; the front was cut "
                    "short %d times; the next writer found %d old and %d new, putting the old "
                    "contents back from a journal %d times\n",
                    Rounds, static_cast<long long>(SaveTime / 1000), Finished, Torn, Rounds - New,
                    New, PutBack);
    }
};

TEST_F(KilledSaves, InPlaceSavesLoseNoUser) {
    WriteBytes(Path, BaseFile);
    ::chmod(Path.c_str(), 0664);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(Path.c_str(), NobodyId, NobodyId), 0);
    }
    ::chmod(Dir.Path().c_str(), 0555); // only root (the parent here) may make files in it
    KillSaves(Kills, [] { return DropRoot() ? 0 : 10; });
    ::chmod(Dir.Path().c_str(), 0755);
}

TEST_F(KilledSaves, SavesOfABindMountedFileLoseNoUser) {
    // In its own mount namespace the child mounts the file over itself: renaming over it then
    // fails with EBUSY, as for a file bind-mounted into a container.
    const auto Mount = [this] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(Path.c_str(), Path.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return 77;
        return 0;
    };
    WriteBytes(Path, BaseFile);
    if (RunInChild(Mount) != 0)
        GTEST_SKIP() << "no mount namespace for a bind mount here";
    KillSaves(Kills, Mount);
}

} // namespace
