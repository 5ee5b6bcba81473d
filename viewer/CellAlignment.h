#pragma once
// Where a viewer cell's text is anchored, from the column alignment masks.

#include "toolkit/GridTypes.h"

#include <cstdint>

// The column's bit of a mask: bit (Col mod 32), taken as selected only when the masked value,
// read as a signed 32-bit number, is positive; so bit 31 selects nothing.
bool ColumnInMask(int32_t Mask, int Col);

struct TTextAnchor {
    uint32_t Align = 0; // TA_LEFT, TA_RIGHT or TA_CENTER
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TTextAnchor&, const TTextAnchor&) = default;
};

// Right-aligned at Right - 2 when the column is in RightText, else centred at the truncated
// middle when in CenterText, else left-aligned at Left + 2; always 2 pixels below the top.
TTextAnchor CellTextAnchor(int32_t RightText, int32_t CenterText, int Col, const TRect& Rect);
