#pragma once
// The text forms of --rights and --objects. A change is either exact ("L,Id,Dm": these and none
// of the others) or relative ("+Wi,-Is": some given, some taken away). Items are separated by
// commas or blanks, so the codes of the list's rights column can be given back as they are.

#include <cstdint>
#include <string_view>

struct TMaskChange {
    uint32_t Clear = 0; // taken away first
    uint32_t Set = 0;   // then given
    uint32_t Apply(uint32_t Value) const { return (Value & ~Clear) | Set; }
};

// Rights codes: L for the logon right, then the codes of the list (Id If Is Dm ... Oe). Only the
// bits with a meaning are ever touched. Throws TToolError (65) for text that is not such a list.
TMaskChange ParseRightsChange(std::string_view Text);
// Object numbers 1..32 and ranges "A-B"; object n is bit n-1. Throws TToolError (65).
TMaskChange ParseObjectsChange(std::string_view Text);
