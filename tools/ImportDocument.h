#pragma once
// The input of import: the document `list --json` writes, edited by hand or made by a script.

#include "tools/MaskSyntax.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A file holds at most this many users, so a document never needs more entries.
inline constexpr std::size_t MaxImportEntries = 0xFFFF;

// "rightsText" as a document carries it: a description of the rights, never a change.
struct TRightsText {
    std::string Text; // as given
    uint32_t Codes;   // the rights it names, the logon right aside (rightsText never shows it)
};

struct TImportEntry {
    std::size_t Position;       // 1-based, in "users"
    std::optional<uint16_t> Id; // the user it changes; none for a user to add
    // The names as the document gives them (UTF-8): a name the file already holds is taken as
    // it is, even one that no new name could be, so that an unedited listing imports back.
    std::optional<std::string> Name;
    std::optional<std::string> UserName;
    std::optional<std::string> NetUserName;
    // "rights": a number (only the bits with a meaning count) or the codes --rights takes;
    // "objects": a number or the numbers and ranges --objects takes.
    TMaskChange Rights;
    TMaskChange Objects;
    std::optional<TRightsText> RightsText;

    // How messages name it: "pozycja 3 (id 105)".
    std::string Place() const;
};

// The entries in document order. "lastId" must be a whole number 0..65535 and is otherwise
// passed over, as are "hasPassword" and "hasNetPassword" (true or false). Throws TToolError (65)
// naming the entry, or the document, for anything that does not fit: other fields, wrong types,
// an Id given twice, more entries than a file can hold, invalid JSON. Read as a stream of events,
// so that a document is refused as soon as its shape is wrong and costs memory only for its
// entries.
std::vector<TImportEntry> ParseImportDocument(std::string_view Json);
