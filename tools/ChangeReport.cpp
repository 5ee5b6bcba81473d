#include "tools/ChangeReport.h"

#include "runtime/Cp1250.h"
#include "store/UserDiff.h"
#include "tools/Listing.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

enum class TKind { Added, Deleted, Changed };

struct TEntry {
    TKind Kind;
    const TUserRec* Rec; // the new record, or the old one of a deleted user
    std::vector<TFieldChange> Changes;
};

std::vector<uint16_t> IdsOf(std::span<const TUserRec> Users) {
    std::vector<uint16_t> Ids;
    Ids.reserve(Users.size());
    for (const TUserRec& Rec : Users)
        Ids.push_back(uint16_t{Rec.Id}); // a copy: the packed field may not be aligned
    return Ids;
}

// Deleted and changed users in the old list's order, then the added ones in the new list's.
std::vector<TEntry> Differences(std::span<const TUserRec> Old, std::span<const TUserRec> New) {
    TUserMatching Match = MatchUsers(IdsOf(Old), IdsOf(New));
    std::sort(Match.Pairs.begin(), Match.Pairs.end());
    std::vector<std::pair<std::size_t, TEntry>> InOldOrder;
    for (const auto& [O, N] : Match.Pairs) {
        std::vector<TFieldChange> Changes = CompareUsers(Old[O], New[N], TPasswordCompare::ByValue);
        if (!Changes.empty())
            InOldOrder.push_back({O, {TKind::Changed, &New[N], std::move(Changes)}});
    }
    for (std::size_t O : Match.Deleted)
        InOldOrder.push_back({O, {TKind::Deleted, &Old[O], {}}});
    std::stable_sort(InOldOrder.begin(), InOldOrder.end(),
                     [](const auto& A, const auto& B) { return A.first < B.first; });
    std::vector<TEntry> Entries;
    Entries.reserve(InOldOrder.size() + Match.Added.size());
    for (auto& Item : InOldOrder)
        Entries.push_back(std::move(Item.second));
    for (std::size_t N : Match.Added)
        Entries.push_back({TKind::Added, &New[N], {}});
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

std::string PlainReport(const std::vector<TEntry>& Entries) {
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

std::string JsonReport(const std::vector<TEntry>& Entries) {
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

std::vector<TUserRec> UserRecords(const TUserManager& Users) {
    std::vector<TUserRec> Records;
    Records.reserve(static_cast<std::size_t>(Users.Count()));
    for (int I = 0; I < Users.Count(); ++I)
        Records.push_back(Users.Items(I)->Rec);
    return Records;
}

std::string ChangeReport(std::span<const TUserRec> Old, std::span<const TUserRec> New,
                         TReportForm Form) {
    const std::vector<TEntry> Entries = Differences(Old, New);
    return Form == TReportForm::Json ? JsonReport(Entries) : PlainReport(Entries);
}
