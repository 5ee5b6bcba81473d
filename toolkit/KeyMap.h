#pragma once
// Qt key and mouse input turned into the toolkit's key codes and shift states.

#include "toolkit/GridTypes.h"

#include <Qt>
#include <cstdint>
#include <optional>

// The virtual-key code of a Qt key, or 0 for a key without one.
uint16_t VirtualKeyOf(int QtKey);
// The shift state of held modifiers and mouse buttons.
TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons = {});
// The toolkit's name of a Qt mouse button; none for the extra buttons.
std::optional<TMouseButton> MouseButtonOf(Qt::MouseButton Button);
