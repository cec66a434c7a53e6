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
std::string idleRow(std::uint64_t first, std::uint64_t last);
