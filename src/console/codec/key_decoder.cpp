#include "console/codec/key_decoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "text/cp1251.h"
#include "console/codec/key_table.h"
#include "text/utf8.h"

namespace {

// Only 7-bit introducers are understood. The 8-bit forms of CSI, OSC, DCS
// and ST (0x9B, 0x9D, 0x90, 0x9C) are UTF-8 continuation bytes, letters of
// Windows-1251 and box-drawing characters of KOI8-R, and terminals send them
// only when asked to, which this program never does.
constexpr unsigned char Esc = 0x1B;
constexpr unsigned char Bel = 0x07;

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

// All the bytes given belong to a sequence that goes on.
DecodedKey skipRest(std::size_t consumed, SequenceRest rest) {
    return {DecodeStatus::Skip, {}, consumed, rest};
}

// Drops the sequence whose rest begins at `from` up to its end, or all the
// bytes when its end has not come yet.
DecodedKey skipSequence(std::string_view bytes, std::size_t from, SequenceRest rest) {
    for (std::size_t i = from; i < bytes.size(); ++i) {
        const SkipStep step = skipSequenceByte(rest, static_cast<unsigned char>(bytes[i]));
        if (!step.consumed) {
            return skip(step.escapeFirst ? i - 1 : i);
        }
        rest = step.rest;
        if (rest == SequenceRest::None) {
            return skip(i + 1);
        }
    }
    return skipRest(bytes.size(), rest);
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

// A Unicode character as a key code: its Windows-1251 byte where the code
// page has the character, and '?' otherwise.
KeyCode codeOfCharacter(char32_t codePoint) {
    const std::optional<unsigned char> byte = cp1251ByteOf(codePoint);
    return {byte ? *byte : '?', false};
}

// A UTF-8 character is one key, with its character's code.
DecodedKey decodeUtf8Key(std::string_view bytes, bool quiet) {
    const Utf8Character character = decodeUtf8(bytes);
    if (!character.complete && character.length == bytes.size() && !quiet) {
        return needMore();
    }
    // A broken sequence is still one key.
    return key(character.codePoint ? codeOfCharacter(*character.codePoint) : KeyCode{'?', false},
               character.length);
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

// The parts of "ESC [ parameters intermediates final" that tell keys apart.
struct ControlSequence {
    std::array<int, 3> parameters{};  // the first three, 0 where left out
    std::size_t count = 0;            // parameters given, empty ones included
    int event = 0;                    // after a colon in the second: 3 is a key release
    bool privateMarker = false;       // '<' '=' '>' '?': only replies and mouse reports
    bool intermediates = false;
    std::size_t length = 0;           // bytes scanned, the final one included
    bool ended = false;               // the last byte scanned is the final one
    bool broken = false;              // a byte that cannot belong to it stops it at `length`
};

// The event sub-parameter of a key release in the keyboard protocol's reports.
constexpr int KeyRelease = 3;
// Large enough for every Unicode code point.
constexpr int LargestParameter = 9999999;

int* parameterSlot(ControlSequence& sequence, std::size_t subParameter) {
    if (subParameter == 0 && sequence.count <= sequence.parameters.size()) {
        return &sequence.parameters[sequence.count - 1];
    }
    return subParameter == 1 && sequence.count == 2 ? &sequence.event : nullptr;
}

// Scans the bytes after "ESC [" (or "ESC O") as far as they go.
ControlSequence scanControlSequence(std::string_view bytes) {
    ControlSequence sequence;
    std::size_t subParameter = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        sequence.length = i + 1;
        if (c >= '0' && c <= '9') {
            sequence.count = std::max<std::size_t>(sequence.count, 1);
            if (int* slot = parameterSlot(sequence, subParameter)) {
                *slot = std::min(*slot * 10 + (c - '0'), LargestParameter);
            }
        } else if (c == ';' || c == ':') {
            sequence.count = std::max<std::size_t>(sequence.count, 1) + (c == ';' ? 1 : 0);
            subParameter = c == ';' ? 0 : subParameter + 1;
        } else if (c >= '<' && c <= '?') {
            sequence.privateMarker = true;
        } else if (c == '$' && !sequence.privateMarker && !sequence.intermediates &&
                   sequence.count <= 1) {
            sequence.ended = true;  // rxvt's Shift suffix after a key number
            return sequence;
        } else if (c >= 0x20 && c <= 0x2F) {
            sequence.intermediates = true;
        } else {
            sequence.ended = c >= 0x40 && c <= 0x7E;
            sequence.broken = !sequence.ended;
            sequence.length = sequence.ended ? i + 1 : i;
            return sequence;
        }
    }
    return sequence;
}

// The keys whose characters are controls in a character report.
std::uint8_t virtualKeyOfControlCharacter(int codePoint) {
    switch (codePoint) {
    case '\r': return vk::Enter;
    case '\t': return vk::Tab;
    case Esc: return vk::Escape;
    case 0x08: case 0x7F: return vk::Backspace;
    default: return 0;
    }
}

// A character with modifiers, as "ESC [ code ; modifier u" and xterm's
// "ESC [ 27 ; modifier ; code ~" report it: the code the same key press
// gives when the terminal sends it in the usual way (Ctrl+A as 1, Alt+A as
// the table's Alt code, a character alone as itself). Characters of the
// private use area are keys of the keyboard protocol without a character
// (modifiers alone among them) and keep the wait going.
DecodedKey keyOfCharacterReport(int codePoint, int modifierParameter, bool alt,
                                std::size_t consumed) {
    KeyModifiers modifiers = modifiersOfParameter(modifierParameter);
    modifiers.alt = modifiers.alt || alt;
    if (const std::uint8_t virtualKey = virtualKeyOfControlCharacter(codePoint)) {
        return lookUp({virtualKey, modifiers}, consumed);
    }
    if (codePoint >= 0x20 && codePoint < 0x7F) {
        const auto character = static_cast<unsigned char>(codePoint);
        if (!modifiers.shift && !modifiers.ctrl && !modifiers.alt) {
            return key({character, false}, consumed);
        }
        const ExtendedKeyRow* row = findExtendedKey(virtualKeyOfCharacter(character));
        const std::optional<KeyCode> code =
            row != nullptr ? codeFor(*row, modifiers, character) : std::nullopt;
        return code ? key(*code, consumed) : skip(consumed);
    }
    const bool privateUse = codePoint >= 0xE000 && codePoint <= 0xF8FF;
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < 0x80 || codePoint > 0x10FFFF || privateUse || surrogate) {
        return skip(consumed);
    }
    return key(codeOfCharacter(static_cast<char32_t>(codePoint)), consumed);
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

// An X10 mouse report, "ESC [ M" and three bytes of button and position.
DecodedKey skipMouseReport(std::string_view bytes, bool quiet) {
    constexpr std::size_t length = 6;
    if (bytes.size() >= length) {
        return skip(length);
    }
    return quiet ? skip(bytes.size()) : needMore();
}

// OSC, DCS, APC, PM and SOS after Esc: strings that run to BEL or ST.
bool introducesControlString(unsigned char c) {
    return c == ']' || c == 'P' || c == '_' || c == '^' || c == 'X';
}

DecodedKey keyOfControlSequence(const ControlSequence& sequence, unsigned char final, bool alt,
                                std::size_t consumed);

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
    if (bytes.size() > start && bytes[start] == 'M') {
        return skipMouseReport(bytes, quiet);
    }
    const ControlSequence sequence = scanControlSequence(bytes.substr(start));
    const std::size_t end = start + sequence.length;
    if (sequence.broken) {
        return skip(end);  // not a sequence after all: drop what came before
    }
    // Private markers and intermediates mark replies; so does a length no
    // key report reaches.
    const bool reply =
        sequence.privateMarker || sequence.intermediates || end > LongestKeySequence;
    if (!sequence.ended) {
        return reply ? skipRest(bytes.size(), SequenceRest::ControlSequence)
                     : unfinishedSequence(bytes, settings, alt, quiet);
    }
    if (reply || sequence.event == KeyRelease) {
        return skip(end);
    }
    return keyOfControlSequence(sequence, static_cast<unsigned char>(bytes[end - 1]), alt, end);
}

// The key a complete control sequence without private marker names.
DecodedKey keyOfControlSequence(const ControlSequence& sequence, unsigned char final, bool alt,
                                std::size_t consumed) {
    const auto& parameters = sequence.parameters;
    if (final == 'u') {
        return keyOfCharacterReport(parameters[0], parameters[1], alt, consumed);
    }
    if (final == '~' && parameters[0] == 27 && sequence.count >= 3) {
        return keyOfCharacterReport(parameters[2], parameters[1], alt, consumed);
    }
    KeyModifiers modifiers = modifiersOfParameter(parameters[1]);
    modifiers.alt = modifiers.alt || alt;
    std::uint8_t virtualKey = 0;
    switch (final) {
    case '~': case '$': case '^': case '@':
        virtualKey = virtualKeyOfNumber(parameters[0]);
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
    const ControlSequence sequence = scanControlSequence(bytes.substr(start));
    const std::size_t end = start + sequence.length;
    if (sequence.broken) {
        return skip(end);
    }
    if (!sequence.ended) {
        return end > LongestKeySequence ? skip(end)
                                        : unfinishedSequence(bytes, settings, alt, quiet);
    }
    const auto final = static_cast<unsigned char>(bytes[end - 1]);
    const auto& parameters = sequence.parameters;
    KeyModifiers modifiers = modifiersOfParameter(sequence.count >= 2 ? parameters[1] : parameters[0]);
    modifiers.alt = modifiers.alt || alt;
    std::uint8_t virtualKey = virtualKeyOfLetter(final);
    if (virtualKey == 0) {
        virtualKey = virtualKeyOfRxvtArrow(final);
        modifiers.ctrl = modifiers.ctrl || virtualKey != 0;
    }
    if (virtualKey == 0) {
        virtualKey = virtualKeyOfKeypad(final);
    }
    return virtualKey == 0 ? skip(end) : lookUp({virtualKey, modifiers}, end);
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
    if (introducesControlString(static_cast<unsigned char>(second))) {
        // Alone and then quiet, the two bytes are Alt with a key typed by hand.
        if (bytes.size() > 2) {
            return skipSequence(bytes, 2, SequenceRest::ControlString);
        }
        if (!quiet) {
            return needMore();
        }
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

SkipStep skipSequenceByte(SequenceRest rest, unsigned char byte) {
    switch (rest) {
    case SequenceRest::ControlSequence:
        if (byte >= 0x20 && byte <= 0x3F) {
            return {SequenceRest::ControlSequence, true, false};
        }
        return {SequenceRest::None, byte >= 0x40 && byte <= 0x7E, false};
    case SequenceRest::ControlString:
        if (byte == Esc) {
            return {SequenceRest::ControlStringEscape, true, false};
        }
        if (byte < 0x20) {
            return {SequenceRest::None, byte == Bel, false};
        }
        return {SequenceRest::ControlString, true, false};
    case SequenceRest::ControlStringEscape:
        if (byte == '\\') {
            return {SequenceRest::None, true, false};
        }
        return {SequenceRest::None, false, true};
    case SequenceRest::None:
        break;
    }
    return {SequenceRest::None, false, false};
}

DecodedKey decodeKey(std::string_view bytes, const KeyDecoderSettings& settings, bool quiet) {
    if (bytes.empty()) {
        return quiet ? skip(0) : needMore();
    }
    if (static_cast<unsigned char>(bytes[0]) == Esc) {
        return decodeEscape(bytes, settings, quiet);
    }
    return decodeCharacter(bytes, settings, false, quiet);
}

namespace {

// Decodes the pending bytes until they make a key or run out; what is
// skipped leaves the reader, and bytes after it are decoded anew.
KeyReadStep decodePending(KeyReader& reader, const KeyDecoderSettings& settings, bool quiet) {
    for (;;) {
        const DecodedKey decoded = decodeKey(reader.pending, settings, quiet);
        if (decoded.status == DecodeStatus::NeedMore) {
            return {KeyReadStatus::WaitOrQuiet, {}};
        }
        reader.pending.erase(0, decoded.consumed);
        if (decoded.status == DecodeStatus::Key) {
            return {KeyReadStatus::Key, decoded.key};
        }
        reader.skipping = decoded.rest;
        if (reader.pending.empty()) {
            return {KeyReadStatus::WaitForByte, {}};
        }
        quiet = false;  // the quiet came before the bytes left over
    }
}

}  // namespace

KeyReadStep feedKeyByte(KeyReader& reader, unsigned char byte, const KeyDecoderSettings& settings) {
    if (reader.skipping != SequenceRest::None) {
        const SkipStep step = skipSequenceByte(reader.skipping, byte);
        reader.skipping = step.rest;
        if (step.consumed) {
            return {KeyReadStatus::WaitForByte, {}};
        }
        if (step.escapeFirst) {
            reader.pending += static_cast<char>(Esc);
        }
    }
    reader.pending += static_cast<char>(byte);
    return decodePending(reader, settings, false);
}

KeyReadStep feedQuiet(KeyReader& reader, const KeyDecoderSettings& settings) {
    return decodePending(reader, settings, true);
}
