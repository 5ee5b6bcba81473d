#pragma once
// Handler types of the controls' events; Sender is the control that fires them.

#include "toolkit/GridTypes.h"

#include <QString>

#include <cstdint>
#include <functional>

class QObject;

using TNotifyEvent = std::function<void(QObject* Sender)>;
// Key may be changed; setting it to 0 makes the control ignore the key.
using TKeyEvent = std::function<void(QObject* Sender, uint16_t& Key, TShiftState Shift)>;
// Text is what a key typed; emptying it makes the control ignore it.
using TKeyPressEvent = std::function<void(QObject* Sender, QString& Text)>;
// The tooltip of a cell; an empty text shows none.
using TCellHintEvent = std::function<QString(QObject* Sender, int ACol, int ARow)>;
using TMouseEvent =
    std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
