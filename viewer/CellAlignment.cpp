#include "viewer/CellAlignment.h"

#include "toolkit/Canvas.h"

bool ColumnInMask(int32_t Mask, int Col) {
    const uint32_t Bit = 1u << (static_cast<uint32_t>(Col) % 32u);
    return static_cast<int32_t>(static_cast<uint32_t>(Mask) & Bit) > 0;
}

TTextAnchor CellTextAnchor(int32_t RightText, int32_t CenterText, int Col, const TRect& Rect) {
    const int32_t Y = Rect.Top + 2;
    if (ColumnInMask(RightText, Col))
        return {TA_RIGHT, Rect.Right - 2, Y};
    if (ColumnInMask(CenterText, Col))
        return {TA_CENTER, Rect.Left + (Rect.Right - Rect.Left) / 2, Y};
    return {TA_LEFT, Rect.Left + 2, Y};
}
