// Arbitrary bytes as the document of `usrpass import`: parsed, then applied to three users in
// memory, with and without deleting the users the document leaves out. Besides the sanitizers'
// findings and any exception other than a data error, it aborts when an accepted import loses
// or demotes the administrator, touches a bit of Rights without meaning, leaves a user the
// user editor would refuse, or keeps an entry whose rightsText says other than the rights the
// user ends with. Rights and objects come as numbers or as the text of --rights and --objects.
#include "fuzz/FuzzSupport.h"
#include "store/RightCodes.h"
#include "store/UserRules.h"
#include "tools/Import.h"
#include "tools/ToolError.h"

#include <string_view>

namespace {

constexpr const char* Target = "fuzz_import";

void CheckApplied(const std::vector<TImportEntry>& Entries, bool DeleteMissing) {
    const std::unique_ptr<TUserManager> Store = ThreeUsers();
    try {
        ApplyImport(*Store, Entries, {DeleteMissing, /*EmptyPassword*/ DeleteMissing});
    } catch (const TToolError& E) {
        Require(E.ExitCode == ExitData, Target, "a refusal with other than exit code 65");
        return;
    }
    Require(Store->Count() >= (DeleteMissing ? 1 : 3), Target, "users were lost");
    Require(Store->Items(0)->Rec.Id == 1, Target, "the administrator is no longer first");
    for (int I = 0; I < Store->Count(); ++I) {
        const TUserC& User = *Store->Items(I);
        const uint32_t Meaningless = User.Rec.Rights & ~rtMeaningful;
        Require(Meaningless == (User.Rec.Id <= 3 ? 0x80000000 : 0), Target,
                "a bit without meaning changed");
        Require(!EditorRefusal(*Store, User.Rec.UserName.View(), User), Target,
                "a user the editor would refuse");
    }
    for (const TImportEntry& Entry : Entries) {
        if (!Entry.Id || !Entry.RightsText)
            continue;
        const TUserC* User = Store->UserById(*Entry.Id);
        Require(User != nullptr, Target, "a listed user was lost");
        Require((User->Rec.Rights & rtMeaningful & ~rtLogon) == Entry.RightsText->Codes, Target,
                "a rightsText that disagrees with the rights was taken");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
    std::vector<TImportEntry> Entries;
    try {
        Entries = ParseImportDocument(std::string_view(reinterpret_cast<const char*>(Data), Size));
    } catch (const TToolError& E) {
        Require(E.ExitCode == ExitData, Target, "a refusal with other than exit code 65");
        return 0;
    }
    for (const TImportEntry& Entry : Entries) {
        Require(((Entry.Rights.Set | Entry.Rights.Clear) & ~rtMeaningful) == 0, Target,
                "a rights change reaches a bit without meaning");
    }
    CheckApplied(Entries, false);
    CheckApplied(Entries, true);
    return 0;
}
