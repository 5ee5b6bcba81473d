// diff: what changed from one user file to another, users matched by Id. A reader of both files,
// so it works while the program runs; never shows a password, only that one changed.
#include "runtime/Cp1250.h"
#include "store/UserDiff.h"
#include "tools/Commands.h"
#include "tools/Listing.h"
#include "tools/ToolError.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iostream>

namespace {

enum class TKind { Added, Deleted, Changed };

struct TEntry {
    TKind Kind;
    const TUserRec* Rec; // the new record, or the old one of a deleted user
    std::vector<TFieldChange> Changes;
};

void OpenToRead(TUserManager& Store, const std::string& FileName) {
    const int Result = Store.Open(FileName, false);
    if (Result != ueOk)
        throw TToolError(Result, FileName + ": " + UserFileErrorText(Result));
}

// Deleted and changed users in the old file's order, then the added ones in the new file's.
std::vector<TEntry> Differences(const TUserManager& Old, const TUserManager& New) {
    const auto IdsOf = [](const TUserManager& Users) {
        std::vector<uint16_t> Ids;
        for (int I = 0; I < Users.Count(); ++I)
            Ids.push_back(Users.Items(I)->Rec.Id);
        return Ids;
    };
    const auto RecOf = [](const TUserManager& Users, std::size_t I) {
        return &Users.Items(static_cast<int>(I))->Rec;
    };
    TUserMatching Match = MatchUsers(IdsOf(Old), IdsOf(New));
    std::sort(Match.Pairs.begin(), Match.Pairs.end());
    std::vector<std::pair<std::size_t, TEntry>> InOldOrder;
    for (const auto& [O, N] : Match.Pairs) {
        std::vector<TFieldChange> Changes =
            CompareUsers(*RecOf(Old, O), *RecOf(New, N), TPasswordCompare::ByValue);
        if (!Changes.empty())
            InOldOrder.push_back({O, {TKind::Changed, RecOf(New, N), std::move(Changes)}});
    }
    for (std::size_t O : Match.Deleted)
        InOldOrder.push_back({O, {TKind::Deleted, RecOf(Old, O), {}}});
    std::stable_sort(InOldOrder.begin(), InOldOrder.end(),
                     [](const auto& A, const auto& B) { return A.first < B.first; });
    std::vector<TEntry> Entries;
    for (auto& Item : InOldOrder)
        Entries.push_back(std::move(Item.second));
    for (std::size_t N : Match.Added)
        Entries.push_back({TKind::Added, RecOf(New, N), {}});
    return Entries;
}

std::string Quoted(std::string_view Cp1250) {
    return "\"" + PrintableUtf8(Cp1250) + "\"";
}

std::string QuotedCodes(std::string_view Codes) {
    return "\"" + std::string(Codes) + "\"";
}

const TChangeWording DiffWording{{"pełna nazwa", "nazwa w Zortan", "nazwa sieciowa", "prawa",
                                  "obiekty", "hasło zmienione", "hasło sieciowe zmienione",
                                  "inne bajty"},
                                 "→",
                                 Quoted,
                                 QuotedCodes};

// The names of list --json, and password, netPassword, otherBytes.
const char* FieldKey(TUserField Field) {
    switch (Field) {
    case TUserField::Name:
        return "name";
    case TUserField::UserName:
        return "userName";
    case TUserField::NetUserName:
        return "netUserName";
    case TUserField::Rights:
        return "rights";
    case TUserField::Objects:
        return "objects";
    case TUserField::Password:
        return "password";
    case TUserField::NetPassword:
        return "netPassword";
    case TUserField::OtherBytes:
        return "otherBytes";
    }
    return "";
}

std::string PlainDiff(const std::vector<TEntry>& Entries) {
    std::string Out;
    for (const TEntry& E : Entries) {
        static constexpr const char* Kinds[] = {"dodany", "usunięty", "zmieniony"};
        Out += std::string(Kinds[static_cast<int>(E.Kind)]) + ": Id " + std::to_string(E.Rec->Id) +
               ", nazwa w Zortan " + Quoted(E.Rec->UserName.View());
        const char* Separator = ": ";
        for (const TFieldChange& Change : E.Changes) {
            Out += Separator + ChangeText(Change, DiffWording);
            Separator = "; ";
        }
        Out += '\n';
    }
    return Out;
}

std::string JsonDiff(const std::vector<TEntry>& Entries) {
    nlohmann::ordered_json Added = nlohmann::ordered_json::array();
    nlohmann::ordered_json Deleted = nlohmann::ordered_json::array();
    nlohmann::ordered_json Changed = nlohmann::ordered_json::array();
    for (const TEntry& E : Entries) {
        nlohmann::ordered_json User = {{"id", static_cast<unsigned>(E.Rec->Id)},
                                       {"userName", Cp1250ToUtf8(E.Rec->UserName.View())}};
        if (E.Kind == TKind::Changed) {
            nlohmann::ordered_json Fields = nlohmann::ordered_json::array();
            for (const TFieldChange& Change : E.Changes)
                Fields.push_back(FieldKey(Change.Field));
            User["fields"] = std::move(Fields);
        }
        (E.Kind == TKind::Added     ? Added
         : E.Kind == TKind::Deleted ? Deleted
                                    : Changed)
            .push_back(std::move(User));
    }
    const nlohmann::ordered_json Document = {{"added", std::move(Added)},
                                             {"deleted", std::move(Deleted)},
                                             {"changed", std::move(Changed)}};
    return Document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace

int RunDiff(const TArguments& Args) {
    TUserManager Old;
    OpenToRead(Old, Args.FileName);
    TUserManager New;
    OpenToRead(New, Args.NewFileName);
    const std::vector<TEntry> Entries = Differences(Old, New);
    std::cout << (Args.Json ? JsonDiff(Entries) : PlainDiff(Entries));
    return ExitOk;
}
