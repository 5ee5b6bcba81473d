#include "tools/ImportDocument.h"

#include "store/RightCodes.h"
#include "tools/ToolError.h"

#include <nlohmann/json.hpp>

#include <limits>
#include <map>
#include <set>

namespace {

using TJson = nlohmann::json;

constexpr std::string_view DocumentPlace = "Dokument JSON";
// Depth of an entry's object in the parser's callback: document, "users", entry.
constexpr int EntryDepth = 2;

[[noreturn]] void Refuse(std::string_view Place, const std::string& Why) {
    throw TToolError(ExitData, std::string(Place) + ": " + Why);
}

// nlohmann keeps the last of two equal keys silently; such a document is refused instead.
TJson ParseJson(std::string_view Text) {
    std::vector<std::set<std::string>> Keys; // of every object open at the moment
    std::size_t Entries = 0;
    const auto Callback = [&](int Depth, TJson::parse_event_t Event, TJson& Parsed) {
        if (Event == TJson::parse_event_t::object_start) {
            Keys.emplace_back();
            Entries += Depth == EntryDepth;
        } else if (Event == TJson::parse_event_t::object_end) {
            Keys.pop_back();
        } else if (Event == TJson::parse_event_t::key &&
                   !Keys.back().insert(Parsed.get<std::string>()).second) {
            const std::string Place = Depth > EntryDepth ? "Pozycja " + std::to_string(Entries)
                                                         : std::string(DocumentPlace);
            Refuse(Place, "pole \"" + Parsed.get<std::string>() + "\" występuje więcej niż raz");
        }
        return true;
    };
    try {
        return TJson::parse(Text.begin(), Text.end(), Callback);
    } catch (const TJson::parse_error& E) {
        Refuse(DocumentPlace, "błąd składni JSON w bajcie " + std::to_string(E.byte));
    } catch (const TJson::out_of_range&) {
        Refuse(DocumentPlace, "liczba poza zakresem");
    }
}

// A whole number from 0 to Max.
std::optional<uint64_t> Unsigned(const TJson& Value, uint64_t Max) {
    if (!Value.is_number_unsigned() || Value.get<uint64_t>() > Max)
        return std::nullopt;
    return Value.get<uint64_t>();
}

uint32_t MaskField(const TJson& Value, const char* Key) {
    const std::optional<uint64_t> Mask = Unsigned(Value, std::numeric_limits<uint32_t>::max());
    if (!Mask)
        throw TToolError(ExitData, std::string("pole \"") + Key +
                                       "\" musi być liczbą całkowitą od 0 do 4294967295");
    return static_cast<uint32_t>(*Mask);
}

std::string TextField(const TJson& Value, const char* Key) {
    if (!Value.is_string())
        throw TToolError(ExitData, std::string("pole \"") + Key + "\" musi być tekstem");
    return Value.get<std::string>();
}

const std::set<std::string, std::less<>> IgnoredEntryKeys = {"hasPassword", "hasNetPassword",
                                                             "rightsText"};

TImportEntry ParseEntry(const TJson& Entry, std::size_t Position) {
    TImportEntry Result{Position, std::nullopt, {}, {}, {}, {}, {}};
    const std::string Place = "Pozycja " + std::to_string(Position);
    if (!Entry.is_object())
        Refuse(Place, "pozycja musi być obiektem");
    if (const auto Id = Entry.find("id"); Id != Entry.end() && !Id->is_null()) {
        const std::optional<uint64_t> Value = Unsigned(*Id, std::numeric_limits<uint16_t>::max());
        if (!Value)
            Refuse(Place, "pole \"id\" musi być liczbą całkowitą od 0 do 65535");
        Result.Id = static_cast<uint16_t>(*Value);
    }
    Naming(Result.Place(), [&] {
        for (const auto& [Key, Value] : Entry.items()) {
            if (Key == "id" || IgnoredEntryKeys.count(Key) != 0)
                continue;
            if (Key == "name")
                Result.Name = TextField(Value, "name");
            else if (Key == "userName")
                Result.UserName = TextField(Value, "userName");
            else if (Key == "netUserName")
                Result.NetUserName = TextField(Value, "netUserName");
            else if (Key == "rights")
                Result.Rights = {rtMeaningful, MaskField(Value, "rights") & rtMeaningful};
            else if (Key == "objects")
                Result.Objects = {0xFFFFFFFF, MaskField(Value, "objects")};
            else
                throw TToolError(ExitData, "nieznane pole \"" + Key + "\"");
        }
    });
    return Result;
}

} // namespace

std::string TImportEntry::Place() const {
    std::string Text = "Pozycja " + std::to_string(Position);
    if (Id)
        Text += " (id " + std::to_string(*Id) + ")";
    return Text;
}

std::vector<TImportEntry> ParseImportDocument(std::string_view Json) {
    const TJson Document = ParseJson(Json);
    if (!Document.is_object() || !Document.contains("users") || !Document.at("users").is_array())
        Refuse(DocumentPlace, "oczekiwano obiektu z tablicą \"users\"");
    for (const auto& [Key, Value] : Document.items()) {
        if (Key != "users" && Key != "lastId")
            Refuse(DocumentPlace, "nieznane pole \"" + Key + "\"");
    }

    std::vector<TImportEntry> Entries;
    std::map<uint16_t, std::size_t> PositionOfId;
    for (const TJson& Entry : Document.at("users")) {
        Entries.push_back(ParseEntry(Entry, Entries.size() + 1));
        const TImportEntry& Parsed = Entries.back();
        if (!Parsed.Id)
            continue;
        const auto [Earlier, New] = PositionOfId.emplace(*Parsed.Id, Parsed.Position);
        if (!New)
            Refuse(Parsed.Place(),
                   "ten użytkownik jest już w pozycji " + std::to_string(Earlier->second));
    }
    return Entries;
}
