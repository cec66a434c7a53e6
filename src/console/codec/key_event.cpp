#include "console/codec/key_event.h"

#include "console/codec/key_table.h"

std::optional<KeyCode> keyOfConsoleEvent(const ConsoleKeyEvent& event) {
    if (!event.keyDown) {
        return std::nullopt;
    }
    if (event.character != 0) {
        return KeyCode{event.character, false};
    }
    const ExtendedKeyRow* row =
        event.virtualKey <= 0xFF ? findExtendedKey(static_cast<std::uint8_t>(event.virtualKey))
                                 : nullptr;
    if (row == nullptr) {
        return std::nullopt;
    }
    const std::uint32_t state = event.controlKeyState;
    const KeyModifiers modifiers{
        .shift = (state & control_key::Shift) != 0,
        .ctrl = (state & (control_key::LeftCtrl | control_key::RightCtrl)) != 0,
        .alt = (state & (control_key::LeftAlt | control_key::RightAlt)) != 0};
    return codeFor(*row, modifiers, event.character);
}
