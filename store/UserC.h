#pragma once
// TUserC owns one user record and keeps its password blocks scrambled.
// Names and passwords are code page 1250 byte strings here; the UI converts at its edge.

#include "store/ExCls.h"
#include "store/Rights.h"
#include "store/UserRec.h"

#include <string>
#include <string_view>

class TUserC : public TObject {
public:
    explicit TUserC(const TUserRec& Rec); // Create: copies all 205 bytes

    std::string GetPass() const;             // decoded Zortan password; record unchanged
    void SetPass(std::string_view Value);    // fresh PassSeed, at most 15 characters kept
    void SetNetPass(std::string_view Value); // fresh NetPassSeed
    std::string RightsText() const;          // "Id Dm Wi ": each held code and a blank
    bool HasRight(uint32_t Mask) const { return (Rec.Rights & Mask) != 0; }
    void AddRights(uint32_t Mask) { Rec.Rights |= Mask; }
    void RemoveRights(uint32_t Mask) { Rec.Rights &= ~Mask; }

    TUserRec Rec;
};

// The password a block holds, decoded under its seed: GetPass for Pass and PassSeed, and how a
// reader of the file decodes NetPass under NetPassSeed, which the system itself never does.
std::string DecodePassBlock(const TPassBlock& Block, int32_t Seed);
