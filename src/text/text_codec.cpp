#include "text/text_codec.h"

#include "text/cp1251.h"

namespace {

void appendUtf8(std::string& text, char32_t codePoint) {
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (codePoint < 0x80) {
        text += byte(codePoint);
    } else if (codePoint < 0x800) {
        text += byte(0xC0 | (codePoint >> 6));
        text += byte(0x80 | (codePoint & 0x3F));
    } else {
        // Every code point of the code page lies in the Basic Multilingual Plane.
        text += byte(0xE0 | (codePoint >> 12));
        text += byte(0x80 | ((codePoint >> 6) & 0x3F));
        text += byte(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

std::string cp1251ToUtf8(std::string_view cp1251Text) {
    std::string text;
    text.reserve(cp1251Text.size() * 2);
    for (const char byte : cp1251Text) {
        appendUtf8(text, cp1251CodePoint(static_cast<unsigned char>(byte)));
    }
    return text;
}
