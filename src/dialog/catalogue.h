#pragma once

#include <array>
#include <cstddef>

#include "console/codec/cp1251.h"

// The longest text the console accepts, terminator not counted.
inline constexpr std::size_t MaxTextBytes = 99;

// A fixed text in Windows-1251, zero-terminated, padded with zeros.
using CatalogueText = std::array<char, MaxTextBytes + 1>;

namespace catalogue_detail {

// Decodes one UTF-8 sequence starting at text[i] and advances i past it.
consteval char32_t decodeUtf8(const char* text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) {
        return lead;
    }
    int continuation = lead >= 0xE0 ? 2 : 1;
    char32_t codePoint = lead & (continuation == 2 ? 0x0Fu : 0x1Fu);
    while (continuation-- > 0) {
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[i++]) & 0x3Fu);
    }
    return codePoint;
}

consteval char encodeCp1251(char32_t codePoint) {
    if (codePoint < 0x80) {
        return static_cast<char>(codePoint);
    }
    for (std::size_t index = 0; index < Cp1251UpperHalf.size(); ++index) {
        if (Cp1251UpperHalf[index] == codePoint) {
            return static_cast<char>(0x80 + index);
        }
    }
    throw "character outside Windows-1251";  // stops compilation
}

}  // namespace catalogue_detail

// Stores a UTF-8 literal as Windows-1251; a text too long or a character
// the code page lacks is a compile error.
template <std::size_t N>
consteval CatalogueText cp1251Text(const char (&utf8)[N]) {
    CatalogueText text{};
    std::size_t length = 0;
    for (std::size_t i = 0; i + 1 < N;) {
        if (length == MaxTextBytes) {
            throw "text longer than the console accepts";
        }
        text[length++] = catalogue_detail::encodeCp1251(catalogue_detail::decodeUtf8(utf8, i));
    }
    return text;
}

// TextCatalogue: the dialog's fixed texts.
inline constexpr CatalogueText TextBanner =
    cp1251Text("Программа демонстрирует решение нелинейного уравнения методом хорд");
inline constexpr CatalogueText TextPromptXib =
    cp1251Text("Введите начало интервала поиска корня Xib: ");
inline constexpr CatalogueText TextPromptXie =
    cp1251Text("Введите конец интервала поиска корня Xie: ");
inline constexpr CatalogueText TextBadInterval =
    cp1251Text("Неудачный интервал, попробуйте еще раз");
inline constexpr CatalogueText TextPromptEpsilon = cp1251Text("Введите точность расчета: ");
inline constexpr CatalogueText TextPromptLimit =
    cp1251Text("Введите максимальное число итераций:");
inline constexpr CatalogueText TextNotFound = cp1251Text("Решение не найдено");
inline constexpr CatalogueText TextRoot = cp1251Text("Корень = ");
inline constexpr const char* TextValueOpen = " F(";
inline constexpr const char* TextValueClose = ")=";
inline constexpr CatalogueText TextIterations = cp1251Text("Число итераций = ");
inline constexpr CatalogueText TextPressKey = cp1251Text("Нажмите любую клавишу");
// Written when a number cannot be read: malformed, out of range, or the
// input has ended.
inline constexpr CatalogueText TextReadFailed =
    cp1251Text("Не удалось прочитать число, расчет прерван");
