#pragma once
// Rights bits of TUserRec::Rights and the editor's group masks.

#include <cstdint>

inline constexpr uint32_t rtLogon = 0x00000001;
inline constexpr uint32_t rtExtracts = 0x00000002;
inline constexpr uint32_t rtFilters = 0x00000004;
inline constexpr uint32_t rtSignature = 0x00000080;
inline constexpr uint32_t rtParcelModify = 0x00000100;
inline constexpr uint32_t rtParcelImport = 0x00000200;
inline constexpr uint32_t rtParcelExport = 0x00000400;
inline constexpr uint32_t rtParcelPrint = 0x00000800;
inline constexpr uint32_t rtParcelSpecial = 0x00001000;
inline constexpr uint32_t rtLayerModify = 0x00010000;
inline constexpr uint32_t rtLayerImport = 0x00020000;
inline constexpr uint32_t rtLayerExport = 0x00040000;
inline constexpr uint32_t rtObjectModify = 0x01000000;
inline constexpr uint32_t rtObjectImport = 0x02000000;
inline constexpr uint32_t rtObjectExport = 0x04000000;

inline constexpr uint32_t rtParcelGroup = 0x00001F00;
inline constexpr uint32_t rtLayerGroup = 0x00070000;
inline constexpr uint32_t rtObjectGroup = 0x07000000;
inline constexpr uint32_t rtOtherGroup = 0x00000007; // includes rtLogon
