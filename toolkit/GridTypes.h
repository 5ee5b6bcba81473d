#pragma once
// Value types of the grid controls: option and state sets, rectangles, shift states, key codes.

#include "toolkit/EnumSet.h"

#include <cstdint>

// Grid options with their bit numbers in the stored option set. The grid honours those listed;
// other bits are kept in Options but have no effect (no sizing, moving or in-place editing).
enum TGridOption : uint8_t {
    goFixedVertLine = 0,     // vertical lines between fixed cells
    goFixedHorzLine = 1,     // horizontal lines between fixed cells
    goVertLine = 2,          // vertical lines between ordinary cells
    goHorzLine = 3,          // horizontal lines between ordinary cells
    goRangeSelect = 4,       // Shift+keys and dragging select a range of cells or rows
    goDrawFocusSelected = 5, // the focused cell is highlighted like the rest of the selection
    goRowSelect = 12,        // the selection always spans whole rows
};
using TGridOptions = TEnumSet<TGridOption>;

// How DrawCell is asked to draw a cell.
enum TGridDrawStateItem : uint8_t { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TEnumSet<TGridDrawStateItem>;

// Modifier keys and mouse buttons held during an input event.
enum TShiftStateItem : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TEnumSet<TShiftStateItem>;

enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// A block of cells: columns Left..Right, rows Top..Bottom, all inclusive.
struct TGridRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

// A pixel rectangle; Right and Bottom lie just outside it, so Width is Right - Left.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    constexpr int32_t Width() const { return Right - Left; }
    constexpr int32_t Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Windows virtual-key codes, the key codes of the key events. Letters and digits are their
// upper-case ASCII codes.
constexpr uint16_t VK_BACK = 8;
constexpr uint16_t VK_TAB = 9;
constexpr uint16_t VK_RETURN = 13;
constexpr uint16_t VK_SHIFT = 16;
constexpr uint16_t VK_CONTROL = 17;
constexpr uint16_t VK_MENU = 18;
constexpr uint16_t VK_ESCAPE = 27;
constexpr uint16_t VK_SPACE = 32;
constexpr uint16_t VK_PRIOR = 33;
constexpr uint16_t VK_NEXT = 34;
constexpr uint16_t VK_END = 35;
constexpr uint16_t VK_HOME = 36;
constexpr uint16_t VK_LEFT = 37;
constexpr uint16_t VK_UP = 38;
constexpr uint16_t VK_RIGHT = 39;
constexpr uint16_t VK_DOWN = 40;
constexpr uint16_t VK_INSERT = 45;
constexpr uint16_t VK_DELETE = 46;
constexpr uint16_t VK_F1 = 0x70; // F1..F24 are consecutive
