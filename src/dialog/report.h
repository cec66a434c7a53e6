#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/cp1251_text.h"
#include "console/console.h"
#include "solver/chord.h"

// A fixed Windows-1251 text on the console.
inline void showCatalogueText(Console& console, const CatalogueText& text) {
    showText(console, text.data());
}

// The closing lines of a search in Windows-1251, in any format, given the
// root and F there as written: the root, F at the root and the count of
// chords that missed the accuracy; or the line saying that no solution was
// found.
std::vector<std::string> reportLines(bool found, const std::string& root, const std::string& valueAtRoot,
                                     std::uint32_t counter);

// The dialog's closing lines, each ended by a line break, in its own format
// (six digits of single-precision values). F is evaluated once more at the
// root.
void writeReport(Console& console, const ChordOutcome& outcome);

