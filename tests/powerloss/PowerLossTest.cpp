// Every save path, cut by a power failure before each of its changes in turn: each state the
// disk may then hold (SimulatedFs.h) is "rebooted" and opened by the next writer, which must find
// exactly the users before the save or exactly those after it, those after it once the save
// reported success, and a previous version that loads where the save keeps one.
#include "SimulatedFs.h"

#include "RefFile.h"
#include "store/UserManager.h"
#include "tools/Commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {

const std::string File = std::string(sim::Dir) + "/UsrPass.dat";
const std::string Previous = File + "-";

// A user as the next writer finds it, seeds aside: a save draws fresh ones.
struct TUserFacts {
    uint16_t Id;
    std::string UserName, Name, NetUserName, Pass, Reserved;
    uint32_t Rights, Objects;
    bool operator==(const TUserFacts&) const = default;
};
using TUsers = std::vector<TUserFacts>;

// The users of the file Name, or none when the store does not load it (Code says why).
std::optional<TUsers> Load(const std::string& Name, bool Writer, int* Code = nullptr) {
    TUserManager Store;
    const int Result = Store.Open(Name, Writer);
    if (Code != nullptr)
        *Code = Result;
    if (Result != ueOk)
        return std::nullopt;
    TUsers Users;
    for (int I = 0; I < Store.Count(); ++I) {
        const TUserRec& R = Store.Items(I)->Rec;
        Users.push_back({R.Id, std::string(R.UserName.View()), std::string(R.Name.View()),
                         std::string(R.NetUserName.View()), Store.Items(I)->GetPass(),
                         std::string(reinterpret_cast<const char*>(R.Reserved), sizeof R.Reserved),
                         R.Rights, R.Objects});
    }
    return Users;
}

ref::TFileContents Users(int Count, int Seed) {
    ref::TFileContents Contents;
    Contents.LastId = static_cast<uint16_t>(100 + Count);
    Contents.Seed = Seed;
    for (int I = 0; I < Count; ++I) {
        ref::TUser U;
        U.Id = static_cast<uint16_t>(101 + I);
        U.PassSeed = 1000 + I;
        U.NetPassSeed = 2000 + I;
        U.Rights = 0x1 | (static_cast<uint32_t>(I) << 8 & 0x1F00);
        U.Objects = static_cast<uint32_t>(I) * 2654435761u;
        U.UserName = "user" + std::to_string(I);
        U.Name = "User number " + std::to_string(I);
        U.Pass = "pass" + std::to_string(I);
        Contents.Users.push_back(U);
    }
    return Contents;
}

// What a path's states must show besides the users before or after.
enum class TBefore { Users, NoFile, Damaged };

struct TPath {
    std::string Name;
    sim::TDisk Disk;
    sim::TOptions Options;
    std::function<bool()> Save; // the writing command; true when it reported success
    TBefore Before = TBefore::Users;
    bool KeepsPrevious = true; // the file as it was becomes the previous version
    bool Restore = false;      // the file and its previous version are exchanged
    bool InPlace = false;      // count the readers that see a damaged file
    bool IgnoreIds = false;    // the Ids are drawn at random (init)
};

struct TTally {
    int Explored = 0, Lost = 0, DamagedReads = 0;
};

// Runs Save with standard input Input and standard error caught; true when it reported success
// without a warning that the save may not survive a power failure.
bool RunQuietly(const std::function<bool()>& Save, const std::string& Input = {}) {
    // Input on std::cin (a password) and on descriptor 0 (a document, read in blocks).
    std::istringstream In(Input);
    std::streambuf* Stdin = std::cin.rdbuf(In.rdbuf());
    std::FILE* Fed = std::tmpfile();
    std::fwrite(Input.data(), 1, Input.size(), Fed);
    std::rewind(Fed);
    const int OldStdin = ::dup(0);
    ::dup2(::fileno(Fed), 0);
    std::fflush(stderr);
    const int Err = ::dup(2);
    std::FILE* Caught = std::tmpfile();
    ::dup2(::fileno(Caught), 2);
    bool Ok = false;
    try {
        Ok = Save();
    } catch (const std::exception&) {
        Ok = false;
    }
    std::fflush(stderr);
    ::dup2(Err, 2);
    ::close(Err);
    std::rewind(Caught);
    char Text[4096] = {};
    const std::size_t Got = std::fread(Text, 1, sizeof Text - 1, Caught);
    std::fclose(Caught);
    ::dup2(OldStdin, 0);
    ::close(OldStdin);
    std::fclose(Fed);
    std::cin.rdbuf(Stdin);
    return Ok && std::string(Text, Got).find(SaveNotDurableText) == std::string::npos;
}

class PowerLoss : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetStoreMessageBox([](const std::string&, const std::string&, int) { return 1; });
    }
    static void TearDownTestSuite() { SetStoreMessageBox({}); }

    std::mt19937 Rng{20261209};
    int FCrashAt = 0;
    static constexpr int Mixtures = 24;

    static TUsers Comparable(TUsers U, bool IgnoreIds) {
        if (IgnoreIds)
            for (TUserFacts& F : U)
                F.Id = 0;
        return U;
    }

    // Whether one state after a power cut keeps the promise; counts it.
    void Check(const TPath& P, const sim::TDisk& State, const TUsers& Before, const TUsers& After,
               const std::optional<TUsers>& OlderPrevious, bool Reported, TTally& T) {
        sim::TSimulatedFs Rebooted(State, P.Options);
        ++T.Explored;
        if (P.InPlace) {
            int Code = ueOk;
            Load(File, false, &Code); // Zortan reads without writing, and finishes nothing
            T.DamagedReads += Code == ueDamaged;
        }
        const std::vector<uint8_t> Bytes = State.Bytes("UsrPass.dat") != nullptr
                                               ? *State.Bytes("UsrPass.dat")
                                               : std::vector<uint8_t>();
        int Code = ueOk;
        const std::optional<TUsers> Now = Load(File, true, &Code);
        const bool IsAfter = Now && Comparable(*Now, P.IgnoreIds) == After;
        bool IsBefore = false;
        switch (P.Before) {
        case TBefore::Users:
            IsBefore = Now && Comparable(*Now, P.IgnoreIds) == Before;
            break;
        case TBefore::NoFile:
            IsBefore = Code == ueNoFile;
            break;
        case TBefore::Damaged:
            IsBefore = Code == ueDamaged && Bytes == *P.Disk.Bytes("UsrPass.dat");
            break;
        }
        bool Kept = (IsBefore || IsAfter) && (!Reported || IsAfter);
        // The previous version, after the writer's open has finished what the cut left.
        int PreviousCode = ueOk;
        const std::optional<TUsers> Prev = Load(Previous, false, &PreviousCode);
        if (P.Restore && P.Before == TBefore::Users) {
            // The two versions, as they were or exchanged.
            Kept = Kept && Prev && (IsBefore ? *Prev == *OlderPrevious : *Prev == Before);
        } else if (P.Restore) {
            Kept = Kept && Prev && *Prev == *OlderPrevious; // the previous version stays
        } else if (P.KeepsPrevious && PreviousCode != ueNoFile) {
            Kept = Kept && Prev &&
                   (IsAfter ? *Prev == Before
                            : (*Prev == Before || (OlderPrevious && *Prev == *OlderPrevious)));
        } else if (!P.KeepsPrevious && OlderPrevious) {
            Kept = Kept && Prev && *Prev == *OlderPrevious; // none kept, and the older one stays
        }
        if (!Kept) {
            ++T.Lost;
            ADD_FAILURE() << P.Name << ", cut before change " << FCrashAt << " (size "
                          << Bytes.size() << "): a state with " << (Now ? Now->size() : 0)
                          << " users (open result " << Code << "), previous version "
                          << (Prev ? std::to_string(Prev->size()) + " users" : "none or damaged")
                          << (Reported ? ", after the save reported success" : "");
        }
    }

    TTally Explore(const TPath& P, const std::string& Input = {}) {
        TUsers Before, After;
        std::optional<TUsers> OlderPrevious;
        int Total = 0;
        {
            sim::TSimulatedFs Fs(P.Disk, P.Options);
            if (P.Before == TBefore::Users)
                Before = Comparable(*Load(File, false), P.IgnoreIds);
            OlderPrevious = Load(Previous, false);
            if (OlderPrevious)
                OlderPrevious = Comparable(*OlderPrevious, P.IgnoreIds);
            const int Changes = Fs.Changes();
            EXPECT_TRUE(RunQuietly(P.Save, Input)) << P.Name << " did not save";
            Total = Fs.Changes() - Changes;
            After = Comparable(*Load(File, false), P.IgnoreIds);
        }
        EXPECT_NE(Before, After);
        TTally T;
        for (int CrashAt = 0; CrashAt <= Total; ++CrashAt) {
            FCrashAt = CrashAt;
            std::vector<sim::TDisk> States;
            bool Reported = false;
            {
                sim::TSimulatedFs Fs(P.Disk, P.Options);
                Fs.CrashBefore(CrashAt);
                Reported = RunQuietly(P.Save, Input);
                States = Fs.PowerCutStates(Rng, Mixtures);
            }
            for (const sim::TDisk& State : States)
                Check(P, State, Before, After, OlderPrevious, Reported, T);
        }
        std::printf("%s: power cut before each of %d changes\n", P.Name.c_str(), Total);
        std::printf("power-loss states: %d explored, %d lost\n", T.Explored, T.Lost);
        if (P.InPlace)
            std::printf("a reader that finishes nothing saw a damaged file in %d of %d states\n",
                        T.DamagedReads, T.Explored);
        return T;
    }

    // The usual session: one user deleted, one changed.
    static bool EditAndSave() {
        TUserManager Store;
        if (Store.Open(File, true) != ueOk)
            return false;
        Store.DeleteAndFree(5);
        Store.Items(7)->Rec.Rights ^= 0x00070000;
        return Store.Save();
    }
    static bool AddThreeAndSave() {
        TUserManager Store;
        if (Store.Open(File, true) != ueOk)
            return false;
        for (int I = 0; I < 3; ++I)
            Store.Add(new TUserC(Store.Items(I)->Rec));
        return Store.Save();
    }
    static sim::TDisk WithPrevious() {
        sim::TDisk Disk;
        Disk.Put("UsrPass.dat", ref::EncodeFile(Users(40, 11)));
        Disk.Put("UsrPass.dat-", ref::EncodeFile(Users(39, 12)));
        return Disk;
    }
    static TArguments Command(TCommandKind Kind) {
        TArguments Args;
        Args.Kind = Kind;
        Args.FileName = File;
        return Args;
    }
};

TEST_F(PowerLoss, ReplacedWithItsPreviousVersion) {
    EXPECT_EQ(Explore({"rename, previous version kept", WithPrevious(), {}, EditAndSave}).Lost, 0);
}

TEST_F(PowerLoss, ReplacedByAGroupMemberWhoBecomesTheOwner) {
    sim::TDisk Disk = WithPrevious();
    Disk.Files.at(Disk.Entries.at("UsrPass.dat")).Mode = 0660;
    sim::TOptions Member;
    Member.Root = false;
    Member.Uid = 1000;
    EXPECT_EQ(
        Explore({"rename by a group member, owner handed over", Disk, Member, EditAndSave}).Lost,
        0);
}

TEST_F(PowerLoss, FallbackFromARefusedRename) {
    sim::TOptions Bound;
    Bound.RenameRefusedTo = "UsrPass.dat";
    TPath P{"refused rename, written in place", WithPrevious(), Bound, AddThreeAndSave};
    P.KeepsPrevious = false;
    P.InPlace = true;
    EXPECT_EQ(Explore(P).Lost, 0);
}

TEST_F(PowerLoss, WrittenInPlaceThroughTheJournal) {
    for (const bool CanReserve : {true, false}) {
        sim::TDisk Disk;
        Disk.Put("UsrPass.dat", ref::EncodeFile(Users(40, 11)));
        Disk.Link("UsrPass.dat", "UsrPass.other"); // a further hard link: written in place
        sim::TOptions Options;
        Options.CanReserve = CanReserve;
        TPath P{CanReserve ? "in place" : "in place, no room reserved", Disk, Options,
                AddThreeAndSave};
        P.KeepsPrevious = false;
        P.InPlace = true;
        EXPECT_EQ(Explore(P).Lost, 0);
        P.Save = EditAndSave; // the file keeps its length
        P.Name += ", shorter";
        EXPECT_EQ(Explore(P).Lost, 0);
    }
}

TEST_F(PowerLoss, InitMakesTheFileWholeOrNotAtAll) {
    TPath P{"init", {}, {}, [] {
                TArguments Args = Command(TCommandKind::Init);
                Args.UserName = "admin";
                Args.PasswordStdin = true;
                return RunInit(Args) == 0;
            }};
    P.Before = TBefore::NoFile;
    P.KeepsPrevious = false;
    P.IgnoreIds = true;
    EXPECT_EQ(Explore(P, "tajne\n").Lost, 0);
}

TEST_F(PowerLoss, RestoreExchangesTheTwoVersions) {
    TPath P{"restore", WithPrevious(), {}, [] {
                return RunRestore(Command(TCommandKind::Restore)) == 0;
            }};
    P.Restore = true;
    EXPECT_EQ(Explore(P).Lost, 0);
}

TEST_F(PowerLoss, RestoreOverADamagedFileKeepsThePreviousVersion) {
    sim::TDisk Disk = WithPrevious();
    Disk.Files.at(Disk.Entries.at("UsrPass.dat")).Data[100] ^= 1;
    TPath P{"restore over a damaged file", Disk, {}, [] {
                return RunRestore(Command(TCommandKind::Restore)) == 0;
            }};
    P.Before = TBefore::Damaged;
    P.Restore = true;
    EXPECT_EQ(Explore(P).Lost, 0);
}

TEST_F(PowerLoss, PasswdAndImport) {
    TArguments Passwd = Command(TCommandKind::Passwd);
    Passwd.UserName = "user3";
    Passwd.PasswordStdin = true;
    EXPECT_EQ(Explore({"passwd", WithPrevious(), {}, [&] { return RunPasswd(Passwd) == 0; }},
                      "nowe-haslo\n")
                  .Lost,
              0);
    const std::string Document = R"({"users": [{"id": 102, "name": "Zmieniony"},
                                               {"userName": "nowy", "rights": 4}]})";
    EXPECT_EQ(Explore({"import",
                       WithPrevious(),
                       {},
                       [] { return RunImport(Command(TCommandKind::Import)) == 0; }},
                      Document)
                  .Lost,
              0);
}

} // namespace
