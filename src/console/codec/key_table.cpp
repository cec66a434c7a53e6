#include "console/codec/key_table.h"

#include <algorithm>

namespace {

constexpr TableCode x(int byte) {
    return extended(byte);
}
constexpr TableCode None = NoCode;

// Letters: Shift gives the capital, Ctrl the control code, Alt the scan code.
constexpr ExtendedKeyRow letter(char capital, int scanCode) {
    return {static_cast<std::uint8_t>(capital),
            {EventCharacter, capital, static_cast<TableCode>(capital - '@'), x(scanCode)}};
}

// Digits on the main keyboard: Alt+1..Alt+9, Alt+0 are 120..129.
constexpr ExtendedKeyRow digit(char digitCharacter, char shifted, TableCode ctrl) {
    const int index = digitCharacter == '0' ? 9 : digitCharacter - '1';
    return {static_cast<std::uint8_t>(digitCharacter),
            {digitCharacter, shifted, ctrl, x(120 + index)}};
}

// Keypad digits with Num Lock on: Shift and Ctrl give the navigation key the
// digit stands on; Alt with a keypad digit has no code.
constexpr ExtendedKeyRow keypad(int digitValue, int shifted, int ctrl) {
    return {static_cast<std::uint8_t>(vk::Numpad0 + digitValue),
            {static_cast<TableCode>('0' + digitValue), x(shifted), x(ctrl), None}};
}

// F1..F10 run in four blocks of ten; F11 and F12 come later, interleaved.
constexpr ExtendedKeyRow functionKey(int number) {
    const auto virtualKey = static_cast<std::uint8_t>(vk::F1 + number - 1);
    if (number <= 10) {
        return {virtualKey, {x(58 + number), x(83 + number), x(93 + number), x(103 + number)}};
    }
    const int offset = number - 11;
    return {virtualKey, {x(133 + offset), x(135 + offset), x(137 + offset), x(139 + offset)}};
}

}  // namespace

const std::array<ExtendedKeyRow, 89> ExtendedKeyTable = {{
    {vk::Backspace, {8, 8, 127, x(14)}},
    {vk::Tab, {9, x(15), x(148), x(165)}},
    {vk::Enter, {13, 13, 10, x(166)}},
    {vk::Escape, {27, 27, 27, x(1)}},
    {vk::Space, {32, 32, x(3), 32}},
    digit('0', ')', None), digit('1', '!', None), digit('2', '@', x(3)), digit('3', '#', None),
    digit('4', '$', None), digit('5', '%', None), digit('6', '^', 30), digit('7', '&', None),
    digit('8', '*', None), digit('9', '(', None),
    letter('A', 30), letter('B', 48), letter('C', 46), letter('D', 32), letter('E', 18),
    letter('F', 33), letter('G', 34), letter('H', 35), letter('I', 23), letter('J', 36),
    letter('K', 37), letter('L', 38), letter('M', 50), letter('N', 49), letter('O', 24),
    letter('P', 25), letter('Q', 16), letter('R', 19), letter('S', 31), letter('T', 20),
    letter('U', 22), letter('V', 47), letter('W', 17), letter('X', 45), letter('Y', 21),
    letter('Z', 44),
    {vk::PageUp, {x(73), x(73), x(132), x(153)}},
    {vk::PageDown, {x(81), x(81), x(118), x(161)}},
    {vk::End, {x(79), x(79), x(117), x(159)}},
    {vk::Home, {x(71), x(71), x(119), x(151)}},
    {vk::Left, {x(75), x(75), x(115), x(155)}},
    {vk::Up, {x(72), x(72), x(141), x(152)}},
    {vk::Right, {x(77), x(77), x(116), x(157)}},
    {vk::Down, {x(80), x(80), x(145), x(160)}},
    {vk::Insert, {x(82), x(82), x(146), x(162)}},
    {vk::Delete, {x(83), x(83), x(147), x(163)}},
    keypad(0, 82, 146), keypad(1, 79, 117), keypad(2, 80, 145), keypad(3, 81, 118),
    keypad(4, 75, 115), keypad(5, 76, 143), keypad(6, 77, 116), keypad(7, 71, 119),
    keypad(8, 72, 141), keypad(9, 73, 132),
    {vk::Multiply, {'*', '*', x(150), x(55)}},
    {vk::Add, {'+', '+', x(144), x(78)}},
    {vk::Subtract, {'-', '-', x(142), x(74)}},
    {vk::Decimal, {'.', x(83), x(147), x(163)}},
    {vk::Divide, {'/', '/', x(149), x(164)}},
    functionKey(1), functionKey(2), functionKey(3), functionKey(4), functionKey(5),
    functionKey(6), functionKey(7), functionKey(8), functionKey(9), functionKey(10),
    functionKey(11), functionKey(12),
    {vk::Oem5Backslash, {'\\', '|', 28, x(43)}},
    {vk::Oem2Slash, {'/', '?', None, x(53)}},
    {vk::OemMinus, {'-', '_', 31, x(130)}},
    {vk::OemPlus, {'=', '+', None, x(131)}},
    {vk::Oem4Bracket, {'[', '{', 27, x(26)}},
    {vk::Oem6Bracket, {']', '}', 29, x(27)}},
    {vk::Oem1Semicolon, {';', ':', None, x(39)}},
    {vk::Oem7Quote, {'\'', '"', None, x(40)}},
    {vk::OemComma, {',', '<', None, x(51)}},
    {vk::OemPeriod, {'.', '>', None, x(52)}},
    {vk::Oem3Grave, {'`', '~', None, x(41)}},
}};

const ExtendedKeyRow* findExtendedKey(std::uint8_t virtualKey) {
    const auto row = std::find_if(ExtendedKeyTable.begin(), ExtendedKeyTable.end(),
                                  [&](const ExtendedKeyRow& r) { return r.virtualKey == virtualKey; });
    return row == ExtendedKeyTable.end() ? nullptr : &*row;
}

KeyColumn columnFor(KeyModifiers modifiers) {
    if (modifiers.alt) {
        return WithAlt;
    }
    if (modifiers.ctrl) {
        return WithCtrl;
    }
    return modifiers.shift ? WithShift : Alone;
}

std::optional<KeyCode> codeFor(const ExtendedKeyRow& row, KeyModifiers modifiers,
                               unsigned char eventCharacter) {
    const TableCode code = row.codes[columnFor(modifiers)];
    if (code == NoCode) {
        return std::nullopt;
    }
    if (code == EventCharacter) {
        return KeyCode{eventCharacter, false};
    }
    if (code >= 256) {
        return KeyCode{code - 256, true};
    }
    return KeyCode{code, false};
}
