#pragma once
// The table's lines as Windows-1251 text without the line break. One byte is
// one character in that code page, so columns are aligned by counting bytes.

#include <cstdint>
#include <string>

#include "solver/chord.h"

// Nine significant digits, enough to tell any two single-precision numbers
// apart; "." as the decimal point; infinities and NaNs as the dialog writes them.
std::string formatDigits9(Extended value);
std::string formatDigits9(float value);
// The shortest digits that read back as the same single-precision number.
std::string formatShortest(float value);

std::string titleLine();
std::string inputsLine(const ChordParameters& parameters);
// The chord number column is as wide as the largest number the limit allows.
std::string columnHeader(std::uint32_t limit);
std::string chordRow(std::uint32_t limit, std::uint64_t number, const ChordStep& step,
                     bool accuracyMet);

// The texts of the last values written, by their bits: in a long walk most
// values of a row stood in the row before (b and F(b) stay, x takes a's
// place), so most fields are copied rather than written afresh.
struct DigitsCache {
    struct Entry {
        std::uint64_t bits = 0;
        std::uint8_t size = 0;
        char text[23] = {};
    };
    static constexpr std::size_t Size = 8;
    Entry entries[Size];
    std::size_t used = 0;
    std::size_t next = 0;
};

// What a table's rows share: the chord column's width and the cache.
struct RowFormat {
    std::size_t chordWidth = 0;
    DigitsCache cache;
};

RowFormat rowFormatFor(std::uint32_t limit);
// Appends the same row chordRow makes, without a string of its own per field.
void appendChordRow(std::string& out, RowFormat& format, std::uint64_t number,
                    const ChordStep& step, bool accuracyMet);
std::string idleRow(std::uint64_t first, std::uint64_t last);
