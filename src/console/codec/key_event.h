#pragma once

#include <cstdint>
#include <optional>

#include "console/codec/key_code.h"

// The parts of a Windows console key event the key wait looks at, in a form
// that needs no Windows headers.
struct ConsoleKeyEvent {
    bool keyDown = false;
    std::uint16_t virtualKey = 0;
    unsigned char character = 0;  // the event's ANSI character, 0 for none
    std::uint32_t controlKeyState = 0;
};

// Bits of the control key state, as the console reports them.
namespace control_key {
inline constexpr std::uint32_t RightAlt = 0x0001, LeftAlt = 0x0002, RightCtrl = 0x0004,
                               LeftCtrl = 0x0008, Shift = 0x0010;
}  // namespace control_key

// The key wait's code for one event: the character when there is one,
// otherwise the extended key table's code by Alt, Ctrl, Shift in that order.
// Nothing for key releases, keys without a row (Shift, Ctrl, Alt alone, Caps
// Lock …) and combinations without a code: the wait goes on.
std::optional<KeyCode> keyOfConsoleEvent(const ConsoleKeyEvent& event);
