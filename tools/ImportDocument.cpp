#include "tools/ImportDocument.h"

#include "store/RightCodes.h"
#include "tools/ToolError.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>
#include <limits>
#include <memory>
#include <utility>

namespace {

using TJson = nlohmann::json;

constexpr std::string_view DocumentPlace = "dokument JSON";
constexpr const char* UsersExpected = "oczekiwano obiektu z tablicą \"users\"";

[[noreturn]] void Refuse(std::string_view Place, const std::string& Why) {
    throw TToolError(ExitData, std::string(Place) + ": " + Why);
}

// One value of an entry's field, as the parser reported it.
struct TValue {
    enum class TKind { Null, Boolean, Unsigned, Negative, Float, Text, Structure };
    TKind Kind = TKind::Null;
    uint64_t Number = 0;
    bool Flag = false;
    std::string Text;
};

std::string FieldName(std::string_view Key) {
    return "pole \"" + std::string(Key) + "\"";
}

// A whole number from 0 to Max.
std::optional<uint64_t> Unsigned(const TValue& Value, uint64_t Max) {
    if (Value.Kind != TValue::TKind::Unsigned || Value.Number > Max)
        return std::nullopt;
    return Value.Number;
}

std::string TextField(const TValue& Value, std::string_view Key) {
    if (Value.Kind != TValue::TKind::Text)
        throw TToolError(ExitData, FieldName(Key) + " musi być tekstem");
    return Value.Text;
}

// A number is a mask of bits; a text is what --rights or --objects takes.
TMaskChange MaskField(const TValue& Value, std::string_view Key, uint32_t Meaningful,
                      TMaskChange (*ParseText)(std::string_view), const char* Example) {
    if (Value.Kind == TValue::TKind::Text)
        return Naming(FieldName(Key), [&] { return ParseText(Value.Text); });
    const std::optional<uint64_t> Mask = Unsigned(Value, std::numeric_limits<uint32_t>::max());
    if (!Mask)
        throw TToolError(ExitData, FieldName(Key) +
                                       " musi być liczbą całkowitą od 0 do 4294967295 albo "
                                       "tekstem, np. \"" +
                                       Example + "\"");
    return {Meaningful, static_cast<uint32_t>(*Mask) & Meaningful};
}

TRightsText RightsTextField(const TValue& Value) {
    const std::string Text = TextField(Value, "rightsText");
    const TMaskChange Named =
        Naming(FieldName("rightsText"), [&] { return ParseRightsChange(Text); });
    if (Named.Clear != rtMeaningful)
        throw TToolError(ExitData,
                         FieldName("rightsText") + " wymienia prawa użytkownika, bez znaków + i -");
    return {Text, Named.Set & ~rtLogon};
}

void CheckFlag(const TValue& Value, std::string_view Key) {
    if (Value.Kind != TValue::TKind::Boolean)
        throw TToolError(ExitData, FieldName(Key) + " musi mieć wartość true albo false");
}

void SetField(TImportEntry& Entry, const std::string& Key, const TValue& Value) {
    if (Key == "id") {
        if (Value.Kind == TValue::TKind::Null)
            return;
        const std::optional<uint64_t> Id = Unsigned(Value, std::numeric_limits<uint16_t>::max());
        if (!Id)
            throw TToolError(ExitData, FieldName(Key) + " musi być liczbą całkowitą od 0 do 65535");
        Entry.Id = static_cast<uint16_t>(*Id);
    } else if (Key == "name") {
        Entry.Name = TextField(Value, Key);
    } else if (Key == "userName") {
        Entry.UserName = TextField(Value, Key);
    } else if (Key == "netUserName") {
        Entry.NetUserName = TextField(Value, Key);
    } else if (Key == "rights") {
        Entry.Rights = MaskField(Value, Key, rtMeaningful, ParseRightsChange, "L Id Dm");
    } else if (Key == "objects") {
        Entry.Objects = MaskField(Value, Key, 0xFFFFFFFF, ParseObjectsChange, "1-5,32");
    } else if (Key == "rightsText") {
        Entry.RightsText = RightsTextField(Value);
    } else if (Key == "hasPassword" || Key == "hasNetPassword") {
        CheckFlag(Value, Key);
    } else {
        throw TToolError(ExitData, "nieznane pole \"" + Key + "\"");
    }
}

constexpr const char* EntryKeys[] = {"id",          "name",           "userName",
                                     "netUserName", "rights",         "objects",
                                     "hasPassword", "hasNetPassword", "rightsText"};

// The events of nlohmann's parser, read into entries as they come. Anything out of shape is
// refused at once: nothing nested deeper than an entry's fields is ever kept.
class TDocumentReader {
public:
    std::vector<TImportEntry> Entries;

    bool null() { return Scalar({}); }
    bool boolean(bool Flag) {
        TValue V;
        V.Kind = TValue::TKind::Boolean;
        V.Flag = Flag;
        return Scalar(std::move(V));
    }
    bool number_integer(TJson::number_integer_t Number) {
        TValue V;
        V.Kind = Number < 0 ? TValue::TKind::Negative : TValue::TKind::Unsigned;
        V.Number = static_cast<uint64_t>(Number);
        return Scalar(std::move(V));
    }
    bool number_unsigned(TJson::number_unsigned_t Number) {
        TValue V;
        V.Kind = TValue::TKind::Unsigned;
        V.Number = Number;
        return Scalar(std::move(V));
    }
    bool number_float(TJson::number_float_t, const std::string&) {
        TValue V;
        V.Kind = TValue::TKind::Float;
        return Scalar(std::move(V));
    }
    bool string(std::string& Text) {
        TValue V;
        V.Kind = TValue::TKind::Text;
        V.Text = std::move(Text);
        return Scalar(std::move(V));
    }
    bool binary(TJson::binary_t&) { return Scalar({}); } // JSON text has none

    bool start_object(std::size_t) {
        switch (FLevel) {
        case TLevel::Start:
            FLevel = TLevel::Document;
            return true;
        case TLevel::Users:
            if (Entries.size() == MaxImportEntries)
                Refuse(DocumentPlace, "więcej niż " + std::to_string(MaxImportEntries) +
                                          " pozycji, a plik mieści najwyżej tylu użytkowników");
            FEntry = TImportEntry{Entries.size() + 1, {}, {}, {}, {}, {}, {}, {}};
            FFields.clear();
            FLevel = TLevel::Entry;
            return true;
        default:
            return Structure();
        }
    }
    bool start_array(std::size_t) {
        if (FLevel == TLevel::Document && FKey == "users") {
            FLevel = TLevel::Users;
            return true;
        }
        return Structure();
    }
    bool end_array() {
        FLevel = TLevel::Document;
        return true;
    }
    bool end_object() {
        if (FLevel == TLevel::Entry) {
            FinishEntry();
            FLevel = TLevel::Users;
        } else {
            FLevel = TLevel::Done;
        }
        return true;
    }

    bool key(std::string& Key) {
        FKey = std::move(Key);
        if (FLevel == TLevel::Document) {
            bool& Seen = FKey == "users" ? FSeenUsers : FSeenLastId;
            if (FKey != "users" && FKey != "lastId")
                Refuse(DocumentPlace, "nieznane pole \"" + FKey + "\"");
            if (Seen)
                Refuse(DocumentPlace, FieldName(FKey) + " występuje więcej niż raz");
            Seen = true;
            return true;
        }
        // An entry: its fields are checked together at its end, when its Id is known.
        for (const auto& [Earlier, Value] : FFields) {
            if (Earlier == FKey)
                Refuse(FEntry.Place(), FieldName(FKey) + " występuje więcej niż raz");
        }
        if (std::find(std::begin(EntryKeys), std::end(EntryKeys), FKey) == std::end(EntryKeys))
            Refuse(FEntry.Place(), "nieznane pole \"" + FKey + "\"");
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& E) {
        if (const auto* Syntax = dynamic_cast<const TJson::parse_error*>(&E))
            Refuse(DocumentPlace, "błąd składni JSON w bajcie " + std::to_string(Syntax->byte));
        Refuse(DocumentPlace, "liczba poza zakresem");
    }

    void Finish() const {
        if (!FSeenUsers)
            Refuse(DocumentPlace, UsersExpected);
    }

private:
    enum class TLevel { Start, Document, Users, Entry, Done };

    bool Scalar(TValue Value) {
        switch (FLevel) {
        case TLevel::Document:
            if (FKey == "users")
                Refuse(DocumentPlace, UsersExpected);
            if (!Unsigned(Value, std::numeric_limits<uint16_t>::max()))
                Refuse(DocumentPlace, FieldName(FKey) + " musi być liczbą całkowitą od 0 do 65535");
            return true;
        case TLevel::Users:
            Refuse("pozycja " + std::to_string(Entries.size() + 1), "pozycja musi być obiektem");
        case TLevel::Entry:
            // The Id first, so that every later message about the entry names it.
            if (FKey == "id")
                Naming(FEntry.Place(), [&] { SetField(FEntry, FKey, Value); });
            FFields.emplace_back(FKey, std::move(Value));
            return true;
        default:
            Refuse(DocumentPlace, UsersExpected);
        }
    }

    // An object or array where only a single value may stand: refused with that place's
    // own message.
    bool Structure() {
        TValue Value;
        Value.Kind = TValue::TKind::Structure;
        if (FLevel == TLevel::Entry) {
            Naming(FEntry.Place(), [&] { SetField(FEntry, FKey, Value); });
            Refuse(FEntry.Place(), FieldName(FKey) + " ma niewłaściwy typ");
        }
        return Scalar(std::move(Value));
    }

    void FinishEntry() {
        Naming(FEntry.Place(), [&] {
            for (const auto& [Key, Value] : FFields) {
                if (Key != "id")
                    SetField(FEntry, Key, Value);
            }
        });
        if (FEntry.Id) {
            uint32_t& Earlier = FPositionOfId[*FEntry.Id];
            if (Earlier != 0)
                Refuse(FEntry.Place(),
                       "ten użytkownik jest już w pozycji " + std::to_string(Earlier));
            Earlier = static_cast<uint32_t>(FEntry.Position);
        }
        Entries.push_back(std::move(FEntry));
    }

    TLevel FLevel = TLevel::Start;
    std::string FKey; // the last key read
    bool FSeenUsers = false;
    bool FSeenLastId = false;
    TImportEntry FEntry{};
    std::vector<std::pair<std::string, TValue>> FFields; // of the entry being read
    // Zeroed in one go, not an element at a time.
    std::unique_ptr<uint32_t[]> FPositionOfId = std::make_unique<uint32_t[]>(0x10000);
};

} // namespace

std::string TImportEntry::Place() const {
    std::string Text = "pozycja " + std::to_string(Position);
    if (Id)
        Text += " (id " + std::to_string(*Id) + ")";
    return Text;
}

std::vector<TImportEntry> ParseImportDocument(std::string_view Json) {
    TDocumentReader Reader;
    TJson::sax_parse(Json.begin(), Json.end(), &Reader);
    Reader.Finish();
    return std::move(Reader.Entries);
}
