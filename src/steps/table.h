#pragma once
// The table's lines as Windows-1251 text without the line break. One byte is
// one character in that code page, so columns are aligned by counting bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "solver/chord.h"
#include "steps/estimates.h"

// Nine significant digits, enough to tell any two single-precision numbers
// apart; "." as the decimal point; infinities and NaNs as the dialog writes them.
std::string formatDigits9(Extended value);
std::string formatDigits9(float value);
// The shortest digits that read back as the same single-precision number.
std::string formatShortest(float value);

std::string titleLine();
std::string inputsLine(const ChordParameters& parameters);
// What the lesson says before the rows: the end the method keeps and why,
// m1 for the error bound (or why there is none), and what the columns and
// the counts mean.
std::string fixedEndLine(const ChordParameters& parameters, std::optional<ChordEnd> fixed);
std::string slopeLine(const ChordParameters& parameters, std::optional<double> smallestSlope);
std::string legendLine();
std::string countsLine();
// The chord number column is as wide as the largest number the limit allows.
std::string columnHeader(std::uint32_t limit);

// An estimate's field, and the range of doubles known to be written with
// the same three digits: in a long walk the estimates change their digits
// seldom, so most rows copy the field.
struct EstimateField {
    char text[11] = {};
    double low = 1.0;  // empty range until written
    double high = 0.0;
    bool empty = false;
};

// What a table's rows share: the chord column's width, and the six real
// fields of the row before, padded, side by side as the row shows them, with
// the bits (widened to double) each was written from. In a long walk most
// fields stood in that row (b and F(b) stay, x takes the place of the end
// it replaces), so they are kept or copied rather than written afresh.
struct RowFormat {
    std::size_t chordWidth = 0;
    // The chord column of the row before, padded: chords are numbered one
    // after another, so the next number is this one counted up in place.
    char chord[24] = {};
    std::uint64_t chordNumber = 0;
    char fields[6][16] = {};
    std::uint64_t bits[6] = {};
    bool valid[6] = {};
    EstimateField estimates[3];
    // The end the method keeps: a row that replaces it is flagged.
    std::optional<ChordEnd> fixedEnd;
};

RowFormat rowFormatFor(std::uint32_t limit, std::optional<ChordEnd> fixedEnd);

// The most bytes a row takes, its note included.
inline constexpr std::size_t MaxRowBytes = 320;

// Writes a chord's row at `out`, which has room for MaxRowBytes, without a
// string of its own per field; returns the end.
char* writeChordRow(char* out, RowFormat& format, std::uint64_t number, const ChordStep& step,
                    const ChordEstimates& estimates, bool accuracyMet);
// Whether the row carries a note in words (not ASCII, then).
bool rowHasNote(const RowFormat& format, const ChordStep& step, bool accuracyMet);
// Whether the chord moved the end the method keeps: rounding put x just
// past the root.
bool replacesFixedEnd(const RowFormat& format, const ChordStep& step);

// A row or the column header for a terminal of `columns` columns: where the
// line is wider, it goes on in a further line (and another, as needed) from
// a column's edge, under the chord column's blanks, so that no field is
// broken and the columns below each other still align.
std::string foldRow(std::string_view row, std::size_t chordWidth, std::size_t columns);

// A line of prose in Windows-1251 (a byte a letter) for a terminal of
// `columns` columns: where it is wider, it goes on in further lines, each
// `indent` blanks in, broken at blanks only, never inside [...]. A word
// wider than a line stays whole, for the terminal to wrap.
std::string foldProse(std::string_view line, std::size_t indent, std::size_t columns);

// A number as the estimate columns write it: three significant digits, the
// style of printf's %.3g; "-" for none.
std::string formatEstimate(std::optional<double> value);

// The idle stretch; flagged as its chord is when that chord moved the end
// the method keeps.
std::string idleRow(std::uint64_t first, std::uint64_t last, bool fixedEndReplaced);
