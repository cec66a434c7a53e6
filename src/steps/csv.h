#pragma once
// The table for spreadsheets: RFC 4180 comma-separated values, one header
// row of English column names, one row a chord, every number in the
// shortest form that reads back as the value held, in the run's format.

#include <cstdint>
#include <string>

#include "solver/chord_walk.h"
#include "steps/estimates.h"
#include "steps/formats.h"
#include "steps/table.h"

// The header row; the factor's column only where a modified method scales.
std::string csvHeader(bool scale);

// A field as RFC 4180 writes it: quoted, its quotes doubled, where it holds
// a comma, a quote or a line break.
std::string csvField(const std::string& field);

// What a row carries from the row before: F(b) seldom changes, and its
// exact digits are the dearest to find.
template <typename Format>
struct CsvRows {
    bool scale = false;  // a modified method's factor column
    typename Format::Work lastFb{};
    std::string lastFbText;
};

// Built field by field with append: GCC 12 at -O3 warns wrongly
// (-Wrestrict) about the same line put together with operator+.
template <typename Format>
std::string csvRow(CsvRows<Format>& rows, std::uint64_t number, const Chord<typename Format::Numbers>& step,
                   const ChordEstimates& estimates, const ChordNotes& notes) {
    std::string line = std::to_string(number);
    const auto field = [&line](const std::string& value) { line.append(",").append(value); };
    field(Format::exact(step.a));
    field(Format::exact(step.b));
    // F(a) as stored, or the value scaled in the working format.
    field(step.faScaled ? Format::exactWork(step.fa) : Format::exact(Format::stored(step.fa)));
    if (rows.lastFbText.empty() || !Format::sameWork(rows.lastFb, step.fb)) {
        rows.lastFb = step.fb;
        rows.lastFbText = Format::exactWork(step.fb);
    }
    field(rows.lastFbText);
    field(step.x ? Format::exact(*step.x) : std::string());
    field(step.x && !step.undefined ? Format::exact(step.fx) : std::string());
    field(step.replaced == ChordEnd::A ? "a" : step.replaced == ChordEnd::B ? "b" : "");
    if (rows.scale) {
        field(step.scale ? Format::exactWork(*step.scale) : std::string());
    }
    for (const std::optional<double>& value :
         {estimates.step, estimates.ratio, estimates.bound, estimates.boundM1}) {
        field(value ? formats::toChars(*value) : std::string());
    }
    field(csvField(noteCsv(notes)));
    return line.append("\r\n");
}
