#pragma once
// The input of import: the document `list --json` writes, edited by hand or made by a script.

#include "tools/MaskSyntax.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TImportEntry {
    std::size_t Position;       // 1-based, in "users"
    std::optional<uint16_t> Id; // the user it changes; none for a user to add
    // The names as the document gives them (UTF-8): a name the file already holds is taken as
    // it is, even one that no new name could be, so that an unedited listing imports back.
    std::optional<std::string> Name;
    std::optional<std::string> UserName;
    std::optional<std::string> NetUserName;
    TMaskChange Rights;
    TMaskChange Objects;

    // How messages name it: "Pozycja 3 (id 105)".
    std::string Place() const;
};

// The entries in document order. "lastId" and, in each entry, "hasPassword", "hasNetPassword"
// and "rightsText" are passed over; of "rights" only the bits with a meaning are taken. Throws
// TToolError (65) naming the entry for anything else in the document that does not fit: other
// fields, wrong types, an Id given twice, invalid JSON.
std::vector<TImportEntry> ParseImportDocument(std::string_view Json);
