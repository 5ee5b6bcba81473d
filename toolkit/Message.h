#pragma once
// Window messages, delivered to a control with its Perform.

#include <cstdint>
#include <functional>

struct TMessage {
    uint32_t Msg = 0;
    int32_t WParam = 0;
    int32_t LParam = 0;
    int32_t Result = 0;

    uint16_t WParamLo() const { return static_cast<uint16_t>(static_cast<uint32_t>(WParam)); }
    uint16_t WParamHi() const { return static_cast<uint16_t>(static_cast<uint32_t>(WParam) >> 16); }
};

// A command from a menu, an accelerator or a child control: WParam low word the identifier, high
// word the notification code, LParam the sending control.
constexpr uint32_t WM_COMMAND = 0x111;

// A handler that may read and change the message, Result included.
using TMessageEvent = std::function<void(TMessage& Msg)>;
