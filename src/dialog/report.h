#pragma once

#include <string>

#include "text/cp1251_text.h"
#include "console/console.h"
#include "solver/chord.h"

// A fixed Windows-1251 text on the console.
inline void showCatalogueText(Console& console, const CatalogueText& text) {
    showText(console, text.data());
}

// The closing lines of a search, ended by a line break: the root, F at the
// root and the count of chords that missed the accuracy; or the line saying
// that no solution was found. F is evaluated once more at the root.
void writeReport(Console& console, const ChordOutcome& outcome);

