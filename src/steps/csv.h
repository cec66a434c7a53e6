#pragma once
// The table for spreadsheets: RFC 4180 comma-separated values, one header
// row of English column names, one row a chord, every number in the
// shortest form that reads back as the value held.

#include <cstdint>
#include <string>

#include "solver/chord.h"
#include "steps/estimates.h"
#include "steps/table.h"

// The header row; the factor's column only where a modified method scales.
std::string csvHeader(bool scale);

// What a row carries from the row before: F(b) seldom changes, and its
// shortest extended digits are the dearest to find.
struct CsvFormat {
    Extended lastFb = toExtended(0.0);
    std::string lastFbText;
};

std::string csvRow(CsvFormat& format, std::uint64_t number, const DialogChord& step,
                   const ChordEstimates& estimates, const ChordNotes& notes);

// A field as RFC 4180 writes it: quoted, its quotes doubled, where it holds
// a comma, a quote or a line break.
std::string csvField(const std::string& field);
