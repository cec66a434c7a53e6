#pragma once
// Fixed texts kept in Windows-1251, written as UTF-8 literals in the source
// and converted when the program is compiled.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "text/cp1251.h"
#include "text/utf8.h"

// The longest text the console accepts, terminator not counted.
inline constexpr std::size_t MaxTextBytes = 99;

// A fixed text in Windows-1251, zero-terminated, padded with zeros.
using CatalogueText = std::array<char, MaxTextBytes + 1>;

// Stores a UTF-8 literal as Windows-1251; a text too long or a character
// the code page lacks is a compile error.
template <std::size_t N>
consteval CatalogueText cp1251Text(const char (&utf8)[N]) {
    CatalogueText text{};
    std::size_t length = 0;
    const std::string_view source(utf8, N - 1);
    for (std::size_t i = 0; i < source.size();) {
        const Utf8Character character = decodeUtf8(source.substr(i));
        if (!character.codePoint) {
            throw "text not in UTF-8";  // stops compilation
        }
        const std::optional<unsigned char> byte = cp1251ByteOf(*character.codePoint);
        if (!byte) {
            throw "character outside Windows-1251";
        }
        if (length == MaxTextBytes) {
            throw "text longer than the console accepts";
        }
        text[length++] = static_cast<char>(*byte);
        i += character.length;
    }
    return text;
}
