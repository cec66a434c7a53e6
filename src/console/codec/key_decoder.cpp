#include "console/codec/key_decoder.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "console/codec/cp1251.h"
#include "console/codec/key_table.h"
#include "console/codec/utf8.h"

namespace {

constexpr unsigned char Esc = 0x1B;
// Longer than any key sequence; a longer run of parameters is garbage.
constexpr std::size_t LongestSequence = 16;

struct KeyName {
    std::uint8_t virtualKey;
    KeyModifiers modifiers;
};

DecodedKey key(KeyCode code, std::size_t consumed) {
    return {DecodeStatus::Key, code, consumed};
}

DecodedKey skip(std::size_t consumed) {
    return {DecodeStatus::Skip, {}, consumed};
}

DecodedKey needMore() {
    return {};
}

// The table's answer for a named key: a code, or skip when it has none.
DecodedKey lookUp(KeyName name, std::size_t consumed) {
    const ExtendedKeyRow* row = findExtendedKey(name.virtualKey);
    if (row == nullptr) {
        return skip(consumed);
    }
    const std::optional<KeyCode> code = codeFor(*row, name.modifiers, 0);
    return code ? key(*code, consumed) : skip(consumed);
}

// The key of a US keyboard that types an ASCII character.
std::uint8_t virtualKeyOfCharacter(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return static_cast<std::uint8_t>(c - 'a' + 'A');
    }
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') {
        return c;
    }
    constexpr std::string_view shiftedDigits = ")!@#$%^&*(";
    if (const auto digit = shiftedDigits.find(static_cast<char>(c)); digit != std::string_view::npos) {
        return static_cast<std::uint8_t>(vk::Digit0 + digit);
    }
    struct Punctuation {
        std::string_view characters;
        std::uint8_t virtualKey;
    };
    static constexpr Punctuation keys[] = {
        {"\\|", vk::Oem5Backslash}, {"/?", vk::Oem2Slash},    {"-_", vk::OemMinus},
        {"=+", vk::OemPlus},        {"[{", vk::Oem4Bracket},  {"]}", vk::Oem6Bracket},
        {";:", vk::Oem1Semicolon},  {"'\"", vk::Oem7Quote},   {",<", vk::OemComma},
        {".>", vk::OemPeriod},      {"`~", vk::Oem3Grave}};
    for (const Punctuation& entry : keys) {
        if (entry.characters.find(static_cast<char>(c)) != std::string_view::npos) {
            return entry.virtualKey;
        }
    }
    return 0;
}

// The key behind a control byte, as Ctrl with a key or as a key of its own.
KeyName keyOfControlByte(unsigned char byte) {
    switch (byte) {
    case 0x00: return {vk::Space, {.ctrl = true}};
    case '\t': return {vk::Tab, {}};
    case '\n': return {vk::Enter, {.ctrl = true}};
    case '\r': return {vk::Enter, {}};
    case 0x1C: return {vk::Oem5Backslash, {.ctrl = true}};
    case 0x1D: return {vk::Oem6Bracket, {.ctrl = true}};
    case 0x1E: return {static_cast<std::uint8_t>(vk::Digit0 + 6), {.ctrl = true}};
    case 0x1F: return {vk::OemMinus, {.ctrl = true}};
    case 0x7F: return {vk::Backspace, {.ctrl = true}};
    default: return {static_cast<std::uint8_t>('@' + byte), {.ctrl = true}};
    }
}

// A UTF-8 character is one key; its code is its Windows-1251 byte where the
// code page has the character, and '?' otherwise.
DecodedKey decodeUtf8Key(std::string_view bytes, bool quiet) {
    const Utf8Character character = decodeUtf8(bytes);
    if (!character.complete && character.length == bytes.size() && !quiet) {
        return needMore();
    }
    // A broken sequence is still one key.
    const std::optional<unsigned char> byte =
        character.codePoint ? cp1251ByteOf(*character.codePoint) : std::nullopt;
    return key({byte ? *byte : '?', false}, character.length);
}

// One character that is not part of an escape sequence, Alt held or not.
DecodedKey decodeCharacter(std::string_view bytes, const KeyDecoderSettings& settings,
                           bool alt, bool quiet) {
    const auto byte = static_cast<unsigned char>(bytes[0]);
    if (settings.erase != 0 && byte == settings.erase) {
        return lookUp({vk::Backspace, {.alt = alt}}, 1);
    }
    if (byte < 0x20 || byte == 0x7F) {
        KeyName name = keyOfControlByte(byte);
        name.modifiers.alt = alt;
        if (!alt && byte != 0x00) {
            return key({byte, false}, 1);  // the character itself, as typed
        }
        return lookUp(name, 1);
    }
    if (byte < 0x80) {
        if (!alt) {
            return key({byte, false}, 1);
        }
        return lookUp({virtualKeyOfCharacter(byte), {.alt = true}}, 1);
    }
    if (settings.utf8) {
        return decodeUtf8Key(bytes, quiet);
    }
    return key({byte, false}, 1);
}

// xterm's modifier parameter: 1 + Shift(1) + Alt(2) + Ctrl(4) + Meta(8).
KeyModifiers modifiersOfParameter(int parameter) {
    const int bits = parameter > 1 ? parameter - 1 : 0;
    return {.shift = (bits & 1) != 0, .ctrl = (bits & 4) != 0, .alt = (bits & 10) != 0};
}

// The number form "ESC [ n ~" of VT220, the Linux console and rxvt.
std::uint8_t virtualKeyOfNumber(int number) {
    switch (number) {
    case 1: case 7: return vk::Home;
    case 2: return vk::Insert;
    case 3: return vk::Delete;
    case 4: case 8: return vk::End;
    case 5: return vk::PageUp;
    case 6: return vk::PageDown;
    case 11: case 12: case 13: case 14: case 15:
        return static_cast<std::uint8_t>(vk::F1 + number - 11);
    case 17: case 18: case 19: case 20: case 21:
        return static_cast<std::uint8_t>(vk::F1 + 5 + number - 17);
    case 23: case 24:
        return static_cast<std::uint8_t>(vk::F1 + 10 + number - 23);
    default: return 0;
    }
}

// The letter forms shared by CSI and SS3: arrows, Home, End, F1-F4.
std::uint8_t virtualKeyOfLetter(unsigned char final) {
    switch (final) {
    case 'A': return vk::Up;
    case 'B': return vk::Down;
    case 'C': return vk::Right;
    case 'D': return vk::Left;
    case 'H': return vk::Home;
    case 'F': return vk::End;
    case 'P': case 'Q': case 'R': case 'S':
        return static_cast<std::uint8_t>(vk::F1 + final - 'P');
    default: return 0;
    }
}

// rxvt's lower-case arrows: with Shift after CSI, with Ctrl after SS3.
std::uint8_t virtualKeyOfRxvtArrow(unsigned char final) {
    return final >= 'a' && final <= 'd' ? virtualKeyOfLetter(static_cast<unsigned char>(final - 32))
                                        : 0;
}

// Keypad keys in application mode: "ESC O p" .. "ESC O y" and operators.
std::uint8_t virtualKeyOfKeypad(unsigned char final) {
    if (final >= 'p' && final <= 'y') {
        return static_cast<std::uint8_t>(vk::Numpad0 + final - 'p');
    }
    switch (final) {
    case 'j': return vk::Multiply;
    case 'k': return vk::Add;
    case 'm': return vk::Subtract;
    case 'n': return vk::Decimal;
    case 'o': return vk::Divide;
    case 'M': return vk::Enter;
    default: return 0;
    }
}

struct Parameters {
    int first = 0;
    int second = 0;
    int count = 0;
};

// Reads "n;m" from the start of the bytes and says where it stopped.
std::size_t readParameters(std::string_view bytes, Parameters& parameters) {
    std::size_t i = 0;
    int* target = &parameters.first;
    for (; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= '0' && c <= '9') {
            if (parameters.count == 0) {
                parameters.count = 1;
            }
            *target = std::min(*target * 10 + (c - '0'), 9999);
        } else if (c == ';') {
            ++parameters.count;
            target = &parameters.second;
        } else if (!(c >= 0x3A && c <= 0x3F)) {
            break;
        }
    }
    return i;
}

// The unfinished sequence "ESC x" the terminal fell quiet after: Alt+x
// typed by hand. Longer fragments are skipped.
DecodedKey unfinishedSequence(std::string_view bytes, const KeyDecoderSettings& settings,
                              bool alt, bool quiet) {
    if (!quiet) {
        return needMore();
    }
    if (bytes.size() == 2 && !alt) {
        DecodedKey typed = decodeCharacter(bytes.substr(1), settings, true, quiet);
        typed.consumed = 2;
        return typed;
    }
    return skip(bytes.size());
}

// "ESC [ ..." from a terminal; `alt` when an extra Esc came before it.
DecodedKey decodeCsi(std::string_view bytes, const KeyDecoderSettings& settings, bool alt,
                     bool quiet) {
    const std::size_t start = 2;
    if (bytes.size() > start && bytes[start] == '[') {
        // The Linux console's F1-F5: "ESC [ [ A" .. "ESC [ [ E".
        if (bytes.size() == start + 1) {
            return unfinishedSequence(bytes, settings, alt, quiet);
        }
        const auto final = static_cast<unsigned char>(bytes[start + 1]);
        if (final >= 'A' && final <= 'E') {
            return lookUp({static_cast<std::uint8_t>(vk::F1 + final - 'A'), {.alt = alt}},
                          start + 2);
        }
        return skip(start + 2);
    }
    Parameters parameters;
    std::size_t end = start + readParameters(bytes.substr(start), parameters);
    while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x20 &&
           static_cast<unsigned char>(bytes[end]) <= 0x2F && bytes[end] != '$') {
        ++end;  // intermediate bytes
    }
    if (end >= bytes.size()) {
        return end >= LongestSequence ? skip(end) : unfinishedSequence(bytes, settings, alt, quiet);
    }
    const auto final = static_cast<unsigned char>(bytes[end]);
    const std::size_t consumed = end + 1;
    if (final < 0x24 || final > 0x7E) {
        return skip(end);  // not a sequence after all: drop what came before
    }
    KeyModifiers modifiers = modifiersOfParameter(parameters.second);
    modifiers.alt = modifiers.alt || alt;
    std::uint8_t virtualKey = 0;
    switch (final) {
    case '~': case '$': case '^': case '@':
        virtualKey = virtualKeyOfNumber(parameters.first);
        modifiers.shift = modifiers.shift || final == '$' || final == '@';
        modifiers.ctrl = modifiers.ctrl || final == '^' || final == '@';
        break;
    case 'Z':
        virtualKey = vk::Tab;
        modifiers.shift = true;
        break;
    case 'a': case 'b': case 'c': case 'd':
        virtualKey = virtualKeyOfRxvtArrow(final);
        modifiers.shift = true;
        break;
    default:
        virtualKey = virtualKeyOfLetter(final);
        break;
    }
    return virtualKey == 0 ? skip(consumed) : lookUp({virtualKey, modifiers}, consumed);
}

// "ESC O x": arrows, Home, End, F1-F4 and the keypad in application mode,
// possibly with a modifier digit between ("ESC O 5 P", "ESC O 1 ; 5 P").
DecodedKey decodeSs3(std::string_view bytes, const KeyDecoderSettings& settings, bool alt,
                     bool quiet) {
    const std::size_t start = 2;
    Parameters parameters;
    const std::size_t end = start + readParameters(bytes.substr(start), parameters);
    if (end >= bytes.size()) {
        return end >= LongestSequence ? skip(end) : unfinishedSequence(bytes, settings, alt, quiet);
    }
    const auto final = static_cast<unsigned char>(bytes[end]);
    const int modifierParameter = parameters.count >= 2 ? parameters.second : parameters.first;
    KeyModifiers modifiers = modifiersOfParameter(modifierParameter);
    modifiers.alt = modifiers.alt || alt;
    std::uint8_t virtualKey = virtualKeyOfLetter(final);
    if (virtualKey == 0) {
        virtualKey = virtualKeyOfRxvtArrow(final);
        modifiers.ctrl = modifiers.ctrl || virtualKey != 0;
    }
    if (virtualKey == 0) {
        virtualKey = virtualKeyOfKeypad(final);
    }
    return virtualKey == 0 ? skip(end + 1) : lookUp({virtualKey, modifiers}, end + 1);
}

// Everything that begins with Esc.
DecodedKey decodeEscape(std::string_view bytes, const KeyDecoderSettings& settings, bool quiet) {
    if (bytes.size() == 1) {
        return quiet ? key({Esc, false}, 1) : needMore();
    }
    const char second = bytes[1];
    if (second == '[') {
        return decodeCsi(bytes, settings, false, quiet);
    }
    if (second == 'O') {
        return decodeSs3(bytes, settings, false, quiet);
    }
    if (static_cast<unsigned char>(second) == Esc) {
        // Esc before a sequence is Alt with that key; Esc twice is Alt+Esc.
        if (bytes.size() == 2) {
            return quiet ? lookUp({vk::Escape, {.alt = true}}, 2) : needMore();
        }
        const std::string_view rest = bytes.substr(1);
        DecodedKey inner = rest[1] == '['   ? decodeCsi(rest, settings, true, quiet)
                           : rest[1] == 'O' ? decodeSs3(rest, settings, true, quiet)
                                            : lookUp({vk::Escape, {.alt = true}}, 1);
        if (inner.status != DecodeStatus::NeedMore) {
            inner.consumed += 1;
        }
        return inner;
    }
    DecodedKey inner = decodeCharacter(bytes.substr(1), settings, true, quiet);
    if (inner.status != DecodeStatus::NeedMore) {
        inner.consumed += 1;
    }
    return inner;
}

}  // namespace

DecodedKey decodeKey(std::string_view bytes, const KeyDecoderSettings& settings, bool quiet) {
    if (bytes.empty()) {
        return quiet ? skip(0) : needMore();
    }
    if (static_cast<unsigned char>(bytes[0]) == Esc) {
        return decodeEscape(bytes, settings, quiet);
    }
    return decodeCharacter(bytes, settings, false, quiet);
}
