#include "tools/Import.h"

#include "runtime/Cp1250.h"
#include "store/RightCodes.h"
#include "store/UserDiff.h"
#include "tools/Cp1250Input.h"
#include "tools/EditorRules.h"
#include "tools/ToolError.h"
#include "tools/UserChange.h"
#include "tools/UserIndex.h"

#include <algorithm>
#include <cstring>

namespace {

struct TTouched {
    const TImportEntry* Entry;
    TUserC* User;
    std::optional<TUserRec> Before; // none for an added user
};

// A name the document gives: kept as it is when it is the one the user has, else checked as a
// new name.
std::optional<std::string> NewText(const std::optional<std::string>& Utf8, std::string_view Current,
                                   const TTextField& Field) {
    if (!Utf8 || *Utf8 == Cp1250ToUtf8(Current))
        return std::nullopt;
    return FieldToCp1250(*Utf8, Field);
}

// rightsText is what list --json shows of the rights: a document whose rightsText says other
// than its rights was edited in the wrong field, and neither can be taken for the right one.
void RequireRightsTextAgrees(const TImportEntry& Entry, const TUserRec& Rec) {
    const uint32_t Coded = Rec.Rights & rtMeaningful & ~rtLogon;
    if (!Entry.RightsText || Entry.RightsText->Codes == Coded)
        return;
    throw TToolError(ExitData,
                     "pole \"rightsText\" (\"" + Entry.RightsText->Text +
                         "\") nie zgadza się z prawami (\"" + RightsCodes(Rec.Rights) +
                         "\"); rightsText tylko opisuje prawa, zmienia je pole \"rights\", np. "
                         "\"rights\": \"" +
                         RightsCodes(Entry.RightsText->Codes | (Rec.Rights & rtLogon)) + "\"");
}

void ApplyEntry(TUserC& User, const TImportEntry& Entry) {
    Naming(Entry.Place(), [&] {
        TUserChange Change;
        Change.Name = NewText(Entry.Name, User.Rec.Name.View(), FullNameField);
        Change.UserName = NewText(Entry.UserName, User.Rec.UserName.View(), LogonNameField);
        Change.NetUserName = NewText(Entry.NetUserName, User.Rec.NetUserName.View(), NetNameField);
        Change.Rights = Entry.Rights;
        Change.Objects = Entry.Objects;
        ApplyUserChange(User.Rec, Change);
        RequireRightsTextAgrees(Entry, User.Rec);
    });
}

bool Changed(const TTouched& T) {
    return !T.Before || std::memcmp(&*T.Before, &T.User->Rec, sizeof(TUserRec)) != 0;
}

} // namespace

void ApplyImport(TUserManager& Store, const std::vector<TImportEntry>& Entries,
                 const TImportOptions& Options) {
    TUserIndex Index(Store);
    std::vector<TTouched> Touched;
    Touched.reserve(Entries.size());
    std::vector<bool> Listed(0x10000, false);
    for (const TImportEntry& Entry : Entries) {
        if (!Entry.Id)
            continue;
        TUserC* User = Index.ById(*Entry.Id);
        if (User == nullptr)
            throw TToolError(ExitData, Entry.Place() + ": w pliku nie ma użytkownika o tym Id");
        Touched.push_back({&Entry, User, User->Rec});
        ApplyEntry(*User, Entry);
        Listed[*Entry.Id] = true;
    }

    if (Options.DeleteMissing) {
        const TObject* Admin = Store.Items(0);
        Store.DeleteAndFreeIf([&](const TObject& Item) {
            return &Item != Admin && !Listed[static_cast<const TUserC&>(Item).Rec.Id];
        });
        Index = TUserIndex(Store); // the deleted users' Ids are free again
    }

    for (const TImportEntry& Entry : Entries) {
        if (Entry.Id)
            continue;
        TUserC& User =
            Naming(Entry.Place(), [&]() -> TUserC& { return AppendNewUser(Store, Index); });
        ApplyEntry(User, Entry);
        Touched.push_back({&Entry, &User, std::nullopt});
    }

    // The rules on the final list, all users in one pass, reported in document order.
    std::sort(Touched.begin(), Touched.end(), [](const TTouched& A, const TTouched& B) {
        return A.Entry->Position < B.Entry->Position;
    });
    const TLogonNames Names(Store);
    for (const TTouched& T : Touched) {
        if (!Changed(T))
            continue;
        Naming(T.Entry->Place(), [&] {
            RequireEditorAccepts(Store, Names, *T.User);
            RequirePasswordForLogon(*T.User, T.Before ? &*T.Before : nullptr, Options.EmptyPassword,
                                    "import nie ustawia haseł: nadaj prawo logowania po "
                                    "ustawieniu hasła (chpasswd) albo podaj opcję "
                                    "--empty-password");
        });
    }
}
