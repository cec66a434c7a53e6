#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// One UTF-8 character at the start of some bytes.
struct Utf8Character {
    // The bytes that belong to it: the lead byte and the continuation bytes
    // that follow it, at most as many as the lead byte announces.
    std::size_t length = 0;
    // Every byte the lead byte announces is there (a byte that can start no
    // longer sequence announces only itself).
    bool complete = false;
    // None for a sequence that is broken, unfinished, overlong, a surrogate
    // or beyond U+10FFFF.
    std::optional<char32_t> codePoint;
};

// How many bytes the sequence a lead byte starts takes; 1 for a byte that
// cannot start a sequence of several.
constexpr std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 1;
}

// Decodes the character the bytes start with; `bytes` must not be empty.
// Used at compile time for the dialog's texts and at run time for keys.
constexpr Utf8Character decodeUtf8(std::string_view bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) {
        return {1, true, char32_t{lead}};
    }
    const std::size_t length = utf8SequenceLength(lead);
    Utf8Character character{1, false, std::nullopt};
    char32_t codePoint = lead & (0x7Fu >> length);
    while (character.length < length && character.length < bytes.size()) {
        const auto next = static_cast<unsigned char>(bytes[character.length]);
        if ((next & 0xC0) != 0x80) {
            break;
        }
        codePoint = (codePoint << 6) | (next & 0x3Fu);
        ++character.length;
    }
    character.complete = character.length == length;
    constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool wellFormed = length > 1 && character.complete && codePoint >= Smallest[length] &&
                            codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
    if (wellFormed) {
        character.codePoint = codePoint;
    }
    return character;
}
