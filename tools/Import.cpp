#include "tools/Import.h"

#include "runtime/Cp1250.h"
#include "tools/Cp1250Input.h"
#include "tools/EditorRules.h"
#include "tools/ToolError.h"
#include "tools/UserChange.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <unordered_map>

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

void ApplyEntry(TUserC& User, const TImportEntry& Entry) {
    TUserChange Change;
    Naming(Entry.Place(), [&] {
        Change.Name = NewText(Entry.Name, User.Rec.Name.View(), FullNameField);
        Change.UserName = NewText(Entry.UserName, User.Rec.UserName.View(), LogonNameField);
        Change.NetUserName = NewText(Entry.NetUserName, User.Rec.NetUserName.View(), NetNameField);
    });
    Change.Rights = Entry.Rights;
    Change.Objects = Entry.Objects;
    ApplyUserChange(User.Rec, Change);
}

bool Changed(const TTouched& T) {
    return !T.Before || std::memcmp(&*T.Before, &T.User->Rec, sizeof(TUserRec)) != 0;
}

} // namespace

void ApplyImport(TUserManager& Store, const std::vector<TImportEntry>& Entries,
                 bool DeleteMissing) {
    // The first user with each Id, as UserById finds him.
    std::unordered_map<uint16_t, TUserC*> ById;
    for (int I = Store.Count() - 1; I >= 0; --I)
        ById[Store.Items(I)->Rec.Id] = Store.Items(I);

    std::vector<TTouched> Touched;
    std::set<uint16_t> Listed;
    for (const TImportEntry& Entry : Entries) {
        if (!Entry.Id)
            continue;
        const auto Found = ById.find(*Entry.Id);
        if (Found == ById.end())
            throw TToolError(ExitData, Entry.Place() + ": w pliku nie ma użytkownika o tym Id");
        TUserC& User = *Found->second;
        Touched.push_back({&Entry, &User, User.Rec});
        ApplyEntry(User, Entry);
        Listed.insert(*Entry.Id);
    }

    if (DeleteMissing) {
        for (int I = Store.Count() - 1; I >= 1; --I) {
            if (Listed.count(Store.Items(I)->Rec.Id) == 0)
                Store.DeleteAndFree(I);
        }
    }

    for (const TImportEntry& Entry : Entries) {
        if (Entry.Id)
            continue;
        TUserC& User = Naming(Entry.Place(), [&]() -> TUserC& { return AppendNewUser(Store); });
        ApplyEntry(User, Entry);
        Touched.push_back({&Entry, &User, std::nullopt});
    }

    // The editor's rules on the final list, reported in document order.
    std::sort(Touched.begin(), Touched.end(), [](const TTouched& A, const TTouched& B) {
        return A.Entry->Position < B.Entry->Position;
    });
    for (const TTouched& T : Touched) {
        if (!Changed(T))
            continue;
        if (const std::optional<std::string> Refusal = EditorRefusal(Store, *T.User))
            throw TToolError(ExitData, T.Entry->Place() + ": " + *Refusal);
    }
}
