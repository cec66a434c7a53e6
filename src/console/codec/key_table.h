#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "console/codec/key_code.h"

// Windows virtual-key codes of the keys the key wait knows.
namespace vk {
inline constexpr std::uint8_t Backspace = 0x08, Tab = 0x09, Enter = 0x0D, Escape = 0x1B,
                              Space = 0x20, PageUp = 0x21, PageDown = 0x22, End = 0x23,
                              Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28,
                              Insert = 0x2D, Delete = 0x2E, Digit0 = 0x30, LetterA = 0x41,
                              Numpad0 = 0x60, Multiply = 0x6A, Add = 0x6B, Subtract = 0x6D,
                              Decimal = 0x6E, Divide = 0x6F, F1 = 0x70, Oem5Backslash = 0xDC,
                              Oem2Slash = 0xBF, OemMinus = 0xBD, OemPlus = 0xBB,
                              Oem4Bracket = 0xDB, Oem6Bracket = 0xDD, Oem1Semicolon = 0xBA,
                              Oem7Quote = 0xDE, OemComma = 0xBC, OemPeriod = 0xBE,
                              Oem3Grave = 0xC0;
}  // namespace vk

// One cell of the table: a plain code 0-255, an extended code (256 + byte),
// no code at all, or, for the letters alone, the event's own character.
using TableCode = std::int16_t;
inline constexpr TableCode NoCode = -1;
inline constexpr TableCode EventCharacter = -2;
constexpr TableCode extended(int byte) {
    return static_cast<TableCode>(256 + byte);
}

enum KeyColumn { Alone, WithShift, WithCtrl, WithAlt };

struct ExtendedKeyRow {
    std::uint8_t virtualKey;
    std::array<TableCode, 4> codes;  // by KeyColumn
};

struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// Keys that can end the key wait although they carry no character, with
// their codes alone and with Shift, Ctrl and Alt: the conventional extended
// key codes of the PC keyboard.
extern const std::array<ExtendedKeyRow, 89> ExtendedKeyTable;

const ExtendedKeyRow* findExtendedKey(std::uint8_t virtualKey);

// Alt wins over Ctrl, Ctrl over Shift.
KeyColumn columnFor(KeyModifiers modifiers);

// What the key wait returns for the row in that modifier state; nothing when
// the combination has no code and the wait goes on.
std::optional<KeyCode> codeFor(const ExtendedKeyRow& row, KeyModifiers modifiers,
                               unsigned char eventCharacter);
