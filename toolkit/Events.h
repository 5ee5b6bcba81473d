#pragma once
// Handler types of the controls' events; Sender is the control that fires them.

#include "toolkit/GridTypes.h"

#include <cstdint>
#include <functional>

class QObject;

using TNotifyEvent = std::function<void(QObject* Sender)>;
// Key may be changed; setting it to 0 makes the control ignore the key.
using TKeyEvent = std::function<void(QObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TMouseEvent =
    std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
