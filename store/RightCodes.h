#pragma once
// The rights that carry a meaning: the code each shows in the main window's list, the editor's
// group it belongs to and its label (UTF-8). Every other bit of Rights has no meaning.

#include "store/Rights.h"

#include <array>
#include <cstdint>
#include <string_view>

struct TRightCode {
    uint32_t Bit;
    std::string_view Code;  // empty for rtLogon, which the list shows as a flag instead
    std::string_view Group; // the editor's group; empty for rtSignature, a check box of its own
    std::string_view Label;
};

// rtLogon, then the coded rights in the order in which the list shows their codes.
inline constexpr std::array<TRightCode, 15> RightCodes{{
    {rtLogon, "", "inne", "Logowanie"},
    {rtExtracts, "Id", "inne", "Robienie wyrysów"},
    {rtFilters, "If", "inne", "Używanie filtrów"},
    {rtSignature, "Is", "", "Dodawanie podpisu na wyrysach"},
    {rtParcelModify, "Dm", "działek", "Modyfikacji"},
    {rtParcelImport, "Di", "działek", "Importu"},
    {rtParcelExport, "De", "działek", "Eksportu"},
    {rtParcelPrint, "Dp", "działek", "Wydruków"},
    {rtParcelSpecial, "Ds", "działek", "Specjalne"},
    {rtLayerModify, "Wm", "warstw", "Modyfikacji"},
    {rtLayerImport, "Wi", "warstw", "Importu"},
    {rtLayerExport, "We", "warstw", "Eksportu"},
    {rtObjectModify, "Om", "obiektów", "Modyfikacji"},
    {rtObjectImport, "Oi", "obiektów", "Importu"},
    {rtObjectExport, "Oe", "obiektów", "Eksportu"},
}};

// The editor's groups in the order of its list "Lista praw dla", each with the mask that grants
// or revokes the whole group at once; a group's rights are those of RightCodes that name it, in
// that order.
struct TRightsGroup {
    std::string_view Name;
    uint32_t Mask;
};
inline constexpr std::array<TRightsGroup, 4> RightsGroups{{
    {"działek", rtParcelGroup},
    {"warstw", rtLayerGroup},
    {"obiektów", rtObjectGroup},
    {"inne", rtOtherGroup},
}};

// The bits that carry a meaning; no operation on the rest is ever asked for.
inline constexpr uint32_t rtMeaningful = [] {
    uint32_t Mask = 0;
    for (const TRightCode& Right : RightCodes)
        Mask |= Right.Bit;
    return Mask;
}();
static_assert(rtMeaningful ==
              (rtOtherGroup | rtSignature | rtParcelGroup | rtLayerGroup | rtObjectGroup));
