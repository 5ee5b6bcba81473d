// Arbitrary bytes as a user file, opened for reading and for writing. Besides the sanitizers'
// findings, it aborts when a failed open leaves users behind (a partial load), when a successful
// one holds other than Header.Count users, when a reader changes the file, when a handle or a
// block of users leaks, and when a writer's save does not give back the same users on the next
// open, and when a session that changes users does not keep the file as it was as the previous
// version or audits it in lines that are not one line each. The seed "interrupted-in-place-save"
// ends in the journal of an in-place save that a writer completes.
#include "fuzz/ScratchFile.h"
#include "runtime/Audit.h"
#include "store/UserArena.h"
#include "store/UserManager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

void Require(bool Holds, const char* What) {
    if (!Holds) {
        std::fprintf(stderr, "fuzz_open: %s\n", What);
        std::abort();
    }
}

std::size_t OpenHandles() {
    std::size_t N = 0;
    for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++N;
    return N;
}

bool IsOpenResult(int Code) {
    return Code == ueOk || Code == ueNoFile || Code == ueOpen || Code == ueBadFile ||
           Code == ueLocked || Code == ueDamaged;
}

// Opens the file; returns whether it loaded, after checking that a store which failed is empty.
bool OpenAndCheck(TUserManager& Store, const std::string& Path, bool ForWriting) {
    const int Result = Store.Open(Path, ForWriting);
    Require(IsOpenResult(Result), "Open returned no open result");
    if (Result != ueOk) {
        Require(Store.Count() == 0, "a failed Open left users in the list");
        Require(!Store.IsForWriting(), "a failed Open left the store writable");
        return false;
    }
    Require(Store.Count() == Store.Header.Count, "Open loaded other than Header.Count users");
    Require(Store.IsForWriting() == ForWriting, "Open kept the wrong mode");
    return true;
}

void CheckReader(const TScratchFile& File, const uint8_t* Data, std::size_t Size) {
    TUserManager Store;
    OpenAndCheck(Store, File.Path(), false);
    const std::vector<uint8_t> After = File.Read();
    Require(After.size() == Size && (Size == 0 || std::memcmp(After.data(), Data, Size) == 0),
            "a reader changed the file");
}

void CheckWriterRoundTrip(const TScratchFile& File) {
    std::vector<TUserRec> Records;
    uint16_t LastId = 0;
    std::size_t Size = 0;
    {
        TUserManager Store;
        if (!OpenAndCheck(Store, File.Path(), true))
            return;
        // The open may have finished an interrupted in-place save, cutting its journal off.
        Size = File.Read().size();
        for (int I = 0; I < Store.Count(); ++I)
            Records.push_back(Store.Items(I)->Rec);
        LastId = Store.Header.LastId;
        Require(Store.Save(), "Save of a loaded file failed");
    }
    Require(File.Read().size() == Size, "Save changed the file's length");
    Require(File.EntriesInDirectory() == 1, "Save left a file behind");

    TUserManager Again;
    Require(OpenAndCheck(Again, File.Path(), false), "a saved file does not open");
    Require(Again.Header.LastId == LastId, "LastId changed on the round trip");
    Require(Again.Count() == static_cast<int>(Records.size()), "the user count changed");
    for (std::size_t I = 0; I < Records.size(); ++I) {
        Require(
            std::memcmp(&Again.Items(static_cast<int>(I))->Rec, &Records[I], sizeof(TUserRec)) == 0,
            "a record changed on the round trip");
    }
}

// Audit lines, counted and checked to be one line each.
class TLineCheck : public TAuditSink {
public:
    TLineCheck() { SetAuditSink(this); }
    ~TLineCheck() override { SetAuditSink(nullptr); }
    TLineCheck(const TLineCheck&) = delete;
    TLineCheck& operator=(const TLineCheck&) = delete;
    void Write(const std::string& Line) override {
        for (const char C : Line)
            Require(static_cast<unsigned char>(C) >= 0x20 && C != 0x7F,
                    "an audit line holds a control character");
        ++Lines;
    }
    int Lines = 0;
};

void CheckAuditedChange(const TScratchFile& File) {
    const TLineCheck Audit;
    const std::string Previous = File.Path() + "-";
    {
        TUserManager Store;
        if (!OpenAndCheck(Store, File.Path(), true))
            return;
        const std::vector<uint8_t> Before = File.Read();
        Store.Items(0)->Rec.Objects ^= 1;
        const bool Deletes = Store.Count() > 1;
        if (Deletes)
            Store.DeleteAndFree(Store.Count() - 1);
        Require(Store.Save(), "Save of a changed file failed");
        Require(Audit.Lines == (Deletes ? 3 : 2), "not one audit line per change and the save");
        std::ifstream In(Previous, std::ios::binary);
        const std::vector<uint8_t> Kept{std::istreambuf_iterator<char>(In),
                                        std::istreambuf_iterator<char>()};
        Require(In.is_open() && Kept == Before, "the previous version is not the file as it was");
    }
    std::filesystem::remove(Previous);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    static const TScratchFile File;
    static const bool Quiet = [] {
        SetStoreMessageBox([](const std::string&, const std::string&, int) { return 1; });
        return true;
    }();
    (void)Quiet;

    const std::size_t HandlesBefore = OpenHandles();
    File.Write(Data, Size);
    CheckReader(File, Data, Size);
    CheckWriterRoundTrip(File);
    CheckAuditedChange(File);
    Require(OpenHandles() == HandlesBefore, "a file handle leaked");
    // The users' block is mapped memory, out of the leak checker's sight.
    Require(TUserArena::LiveBlocks() == 0, "a block of users outlived its users");
    return 0;
}
