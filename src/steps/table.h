#pragma once
// The table's lines as Windows-1251 text without the line break. One byte is
// one character in that code page, so columns are aligned by counting bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "solver/chord.h"
#include "steps/estimates.h"

// Nine significant digits, enough to tell any two single-precision numbers
// apart; "." as the decimal point; infinities and NaNs as the dialog writes them.
std::string formatDigits9(Extended value);
std::string formatDigits9(float value);
// The shortest digits that read back as the same single-precision number.
std::string formatShortest(float value);

// What the columns and the counts mean.
std::string legendLine();
std::string countsLine();
// The chord number column is as wide as the largest number the limit allows.
std::size_t chordColumnWidth(std::uint32_t limit);

// An estimate's field, and the range of doubles known to be written with
// the same three digits: in a long walk the estimates change their digits
// seldom, so most rows copy the field.
struct EstimateField {
    char text[11] = {};
    double low = 1.0;  // empty range until written
    double high = 0.0;
    bool empty = false;
};
// An estimate column's width: "1.23e-308" and blanks.
inline constexpr std::size_t EstimateColumnWidth = sizeof(EstimateField::text);

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
    EstimateField estimates[4];
};

RowFormat rowFormatFor(std::uint32_t limit);

// What a chord's row notes, in this order: a range event of F, then that F
// is not defined at x, or that no chord can be drawn, or that the test was
// met; last that the chord moved the end the method keeps.
struct ChordNotes {
    bool rangeEvent = false;
    bool undefined = false;
    bool noChord = false;
    bool accuracyMet = false;
    bool fixedEndReplaced = false;
    StopRule rule = StopRule::Residual;  // the rule accuracyMet met
    bool pole = false;                   // the rule met where |F| grew: no root
    bool any() const { return rangeEvent || undefined || noChord || accuracyMet || fixedEndReplaced || pole; }
};

template <typename Numbers>
ChordNotes notesOf(const Chord<Numbers>& chord, bool accuracyMet, std::optional<ChordEnd> flaggedEnd,
                   StopRule rule) {
    return {chord.rangeReported, chord.x && chord.undefined, !chord.x, accuracyMet,
            flaggedEnd && chord.replaced == *flaggedEnd, rule, chord.pole};
}

// The notes in the table's and the page's words (Windows-1251), and in the
// CSV's English ones.
std::string noteWords(const ChordNotes& notes);
std::string noteCsv(const ChordNotes& notes);

// The most bytes a row takes, its note included.
inline constexpr std::size_t MaxRowBytes = 320;

// Writes a chord's row at `out`, which has room for MaxRowBytes, without a
// string of its own per field; returns the end.
char* writeChordRow(char* out, RowFormat& format, std::uint64_t number, const DialogChord& step,
                    const ChordEstimates& estimates, const ChordNotes& notes);

// A row or the column header for a terminal of `columns` columns: where the
// line is wider, it goes on in a further line (and another, as needed) from
// a column's edge, under the chord column's blanks, so that no field is
// broken and the columns below each other still align.
// The table's columns as the rows lay them out: the chord number, the six
// values at the format's width, the end replaced, a modified method's
// factor, the four estimates, the note.
struct TableColumns {
    std::size_t chordWidth = 0;
    std::size_t valueWidth = 16;
    bool scale = false;
};
std::string foldRow(std::string_view row, const TableColumns& layout, std::size_t columns);
// A row cut at column edges into lines of at most `columns`, the lines
// after the first indented by `indent` (under the row's number).
std::string foldAtEdges(std::string_view row, const std::vector<std::size_t>& edges, std::size_t indent,
                        std::size_t columns);

// The columns of every table, in order: the name the table and the page
// show (Windows-1251) and the CSV's; the factor's only where a modified
// method scales.
struct ColumnName {
    std::string shown;
    const char* csv;
};
std::vector<ColumnName> columnNames(bool scale);
// The header line over the rows, each name where its column ends.
std::string columnHeader(const TableColumns& layout);

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
