#include "steps/table.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "numeric/bit_cast.h"
#include "text/float_chars.h"
#include "text/number_format.h"
#include "steps/method_texts.h"
#include "steps/texts.h"

namespace {

constexpr std::size_t RealColumnWidth = 16;  // "-1.23456789e-38" and a blank
constexpr std::size_t ReplacedColumnWidth = 6;

std::string nonFinite(Extended value) {
    return nonFiniteText(isInfinite(value), signBit(value));
}

// Built by appending: GCC 12 at -O3 warns wrongly (-Wrestrict) about the
// same padding written with operator+.
std::string padLeft(const std::string& field, std::size_t width) {
    std::string padded(width - std::min(width, field.size()), ' ');
    padded.append(field);
    return padded;
}


char endName(ChordEnd end) {
    return end == ChordEnd::A ? 'a' : end == ChordEnd::B ? 'b' : '-';
}

}  // namespace

std::string formatDigits9(Extended value) {
    if (!isFinite(value)) {
        return nonFinite(value);
    }
    std::array<char, 32> digits{};
    const auto result = floatchars::toChars(digits.data(), digits.data() + digits.size(),
                                            toDouble(value), std::chars_format::general, 9);
    return {digits.data(), result.ptr};
}

std::string formatDigits9(float value) {
    return formatDigits9(toExtended(value));
}

std::string formatShortest(float value) {
    if (!std::isfinite(value)) {
        return nonFinite(toExtended(value));
    }
    // The fewest digits that read back as the same number, written in full
    // while that takes at most nine digits: 0.0001 stays 0.0001 and 100
    // stays 100, rather than 1e-04, 1e+02 or 9.99999975e-05.
    std::array<char, 32> digits{};
    const auto formatted = [&digits](double number, std::chars_format format, int precision) {
        const auto result =
            floatchars::toChars(digits.data(), digits.data() + digits.size(), number, format, precision);
        return std::string(digits.data(), result.ptr);
    };
    int precision = 1;
    for (; precision < 9; ++precision) {
        float readBack = 0.0f;
        const std::string candidate = formatted(value, std::chars_format::general, precision);
        floatchars::fromChars(candidate.data(), candidate.data() + candidate.size(), readBack);
        if (readBack == value) {
            break;
        }
    }
    const std::string scientific = formatted(value, std::chars_format::scientific, precision - 1);
    const int exponent = std::stoi(scientific.substr(scientific.find('e') + 1));
    if (exponent >= precision && exponent < 9) {
        precision = exponent + 1;
    }
    return formatted(value, std::chars_format::general, precision);
}

std::string legendLine() {
    return text(TextLegendReplaced) + text(TextLegendSteps);
}

std::string countsLine() {
    return text(TextCounts);
}

std::size_t chordColumnWidth(std::uint32_t limit) {
    return std::max(text(TextColumnChord).size(), std::to_string(limit).size());
}

std::vector<ColumnName> columnNames(bool scale) {
    std::vector<ColumnName> names = {{text(TextColumnChord), "chord"}, {"a", "a"}, {"b", "b"}, {"F(a)", "F(a)"},
                                     {"F(b)", "F(b)"}, {"x", "x"}, {"F(x)", "F(x)"},
                                     {text(TextColumnReplaced), "replaced"}};
    if (scale) {
        names.push_back({text(TextColumnScale), "scale"});
    }
    names.insert(names.end(), {{text(TextColumnStep), "step"}, {text(TextColumnRatio), "ratio"},
                               {text(TextColumnBound), "bound"}, {text(TextColumnBoundM1), "bound_M1"},
                               {text(TextColumnNote), "note"}});
    return names;
}

std::string columnHeader(const TableColumns& layout) {
    const std::vector<ColumnName> names = columnNames(layout.scale);
    std::string header = padLeft(names.front().shown, layout.chordWidth);
    for (std::size_t i = 1; i < names.size(); ++i) {
        const bool words = i == 7 || i + 1 == names.size();  // the replaced end and the note: after two blanks
        const bool estimate = i + 5 >= names.size();  // the four before the note
        header += words      ? "  " + names[i].shown
                  : estimate ? padLeft(names[i].shown, EstimateColumnWidth)
                             : padLeft(names[i].shown, layout.valueWidth);
    }
    return header;
}

std::string formatEstimate(std::optional<double> value) {
    if (!value) {
        return "-";
    }
    if (!std::isfinite(*value)) {
        return nonFinite(toExtended(*value));
    }
    std::array<char, 32> digits{};
    const auto result = floatchars::toChars(digits.data(), digits.data() + digits.size(), *value,
                                            std::chars_format::general, 3);
    return {digits.data(), result.ptr};
}

namespace {

char* writePadded(char* out, std::string_view field, std::size_t width) {
    const std::size_t blanks = width - std::min(width, field.size());
    std::memset(out, ' ', blanks);
    std::memcpy(out + blanks, field.data(), field.size());
    return out + blanks + field.size();
}

enum Column { ColumnA, ColumnB, ColumnFa, ColumnFb, ColumnX, ColumnFx };

// The column's field for the bits: kept from the row before, or copied
// from the column whose value took this one's place, or written afresh.
// Filled in the row's order, a column's source is still the row before's.
template <typename Write>
void fillField(RowFormat& format, Column column, Column source, std::uint64_t bits, Write write) {
    if (format.valid[column] && format.bits[column] == bits) {
        return;
    }
    if (source != column && format.valid[source] && format.bits[source] == bits) {
        std::memcpy(format.fields[column], format.fields[source], RealColumnWidth);
    } else {
        // Written after a field's width of blanks, so that the field is the
        // last RealColumnWidth bytes: right-aligned without a padding step.
        char padded[RealColumnWidth + 24];
        std::memset(padded, ' ', RealColumnWidth);
        const char* end = write(padded + RealColumnWidth);
        std::memcpy(format.fields[column], end - RealColumnWidth, RealColumnWidth);
    }
    format.bits[column] = bits;
    format.valid[column] = true;
}

void fillText(RowFormat& format, Column column, std::string_view text) {
    format.valid[column] = false;
    writePadded(format.fields[column], text, RealColumnWidth);
}

void fillField(RowFormat& format, Column column, Column source, float value) {
    if (!std::isfinite(value)) {
        fillText(format, column, formatDigits9(value));
        return;
    }
    fillField(format, column, source, bitCast<std::uint64_t>(static_cast<double>(value)),
              [value](char* text) { return writeFloatDigits9(text, value); });
}

void fillField(RowFormat& format, Column column, Column source, Extended value) {
    if (!isFinite(value)) {
        fillText(format, column, formatDigits9(value));
        return;
    }
    const double wide = toDouble(value);
    fillField(format, column, source, bitCast<std::uint64_t>(wide), [wide](char* text) {
        return floatchars::toChars(text, text + 24, wide, std::chars_format::general, 9).ptr;
    });
}

char* writeText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

}  // namespace

namespace {

// The chord column: the number before counted up by one in place where it
// is the next one, written afresh otherwise.
char* writeChordNumber(char* out, RowFormat& format, std::uint64_t number) {
    const std::size_t width = format.chordWidth;
    if (format.chordNumber != 0 && number == format.chordNumber + 1) {
        std::size_t at = width;
        while (at > 0 && format.chord[at - 1] == '9') {
            format.chord[--at] = '0';
        }
        if (at == 0 || format.chord[at - 1] == ' ') {
            if (at == 0) {  // wider than the column: written afresh below
                format.chordNumber = 0;
                return writeChordNumber(out, format, number);
            }
            format.chord[at - 1] = '1';
        } else {
            ++format.chord[at - 1];
        }
    } else {
        std::array<char, 24> text{};
        const char* end = std::to_chars(text.data(), text.data() + text.size(), number).ptr;
        const auto size = static_cast<std::size_t>(end - text.data());
        if (size > width) {
            format.chordNumber = 0;
            return writeText(out, {text.data(), size});
        }
        writePadded(format.chord, {text.data(), size}, width);
    }
    format.chordNumber = number;
    std::memcpy(out, format.chord, width);
    return out + width;
}

}  // namespace

namespace {

// The doubles strictly between the two halfway points around the three
// digits just written, which are written with the same digits: "0.000155"
// stands for (0.0001545, 0.0001555). Conservative at the ends, where a
// halfway point may be a double of its own.
void rememberEstimateRange(EstimateField& field, double value) {
    std::array<char, 32> digits{};
    const auto written = floatchars::toChars(digits.data(), digits.data() + digits.size(), value,
                                             std::chars_format::scientific, 2);
    const std::string_view scientific(digits.data(), static_cast<std::size_t>(written.ptr - digits.data()));
    const int mantissa = (scientific[0] - '0') * 100 + (scientific[2] - '0') * 10 + (scientific[3] - '0');
    // from_chars reads no '+': "e+01" is read from its digits.
    const char* exponentText = scientific.data() + scientific.find('e') + 1;
    exponentText += *exponentText == '+' ? 1 : 0;
    int exponent = 0;
    std::from_chars(exponentText, written.ptr, exponent);
    const auto halfway = [](int tenths, int power) {
        const std::string decimal = std::to_string(tenths) + "e" + std::to_string(power);
        double point = 0.0;
        floatchars::fromChars(decimal.data(), decimal.data() + decimal.size(), point);
        return point;
    };
    // 1.00e-3 is reached from 9.995e-4 below, every other number from the
    // mantissa less half a unit.
    const double below = mantissa == 100 ? halfway(9995, exponent - 4)
                                         : halfway(mantissa * 10 - 5, exponent - 3);
    field.low = std::nextafter(below, HUGE_VAL);
    field.high = std::nextafter(halfway(mantissa * 10 + 5, exponent - 3), -HUGE_VAL);
}

char* writeEstimate(char* out, EstimateField& field, std::optional<double> value) {
    const bool reuse = value ? !field.empty && field.low <= *value && *value <= field.high
                             : field.empty;
    if (!reuse) {
        writePadded(field.text, value ? formatEstimate(value) : "", EstimateColumnWidth);
        field.empty = !value;
        field.low = 1.0;
        field.high = 0.0;
        if (value && std::isfinite(*value) && *value > 0.0) {
            rememberEstimateRange(field, *value);
        }
    }
    std::memcpy(out, field.text, EstimateColumnWidth);
    return out + EstimateColumnWidth;
}

}  // namespace

RowFormat rowFormatFor(std::uint32_t limit) {
    RowFormat format;
    format.chordWidth = chordColumnWidth(limit);
    return format;
}

namespace {

// A note's words, the table's (Windows-1251) or the CSV's.
struct ChordNoteWords {
    std::string_view overflow, undefined, noChord, pole, residual, step, relative, fixedEnd;
};

std::string joinedNotes(const ChordNotes& notes, const ChordNoteWords& words) {
    std::string joined;
    const auto add = [&joined](std::string_view word) { joined.append(joined.empty() ? "" : ", ").append(word); };
    if (notes.rangeEvent) {
        add(words.overflow);
    }
    if (notes.undefined) {
        add(words.undefined);
    } else if (notes.noChord) {
        add(words.noChord);
    } else if (notes.pole) {
        add(words.pole);
    } else if (notes.accuracyMet) {
        // A rule on the step says so: |F(x)| may still be above EPS.
        add(notes.rule == StopRule::Residual ? words.residual : notes.rule == StopRule::Step ? words.step : words.relative);
    }
    if (notes.fixedEndReplaced) {
        add(words.fixedEnd);
    }
    return joined;
}

}  // namespace

std::string noteWords(const ChordNotes& notes) {
    static constexpr ChordNoteWords Words{TextOverflowMark.data(), TextUndefinedAtX.data(), TextNoChord.data(),
                                          TextPoleNotRoot.data(),  TextAccuracyMet.data(),  TextMetStep.data(),
                                          TextMetRelative.data(),  TextFixedEndReplaced.data()};
    return joinedNotes(notes, Words);
}

std::string noteCsv(const ChordNotes& notes) {
    return joinedNotes(notes, {"exp overflow", "undefined", "no chord", "pole, not a root", "accuracy met",
                               "step below EPS", "step below EPS*|x|", "fixed end replaced"});
}

char* writeChordRow(char* out, RowFormat& format, std::uint64_t number, const DialogChord& step,
                    const ChordEstimates& estimates, const ChordNotes& notes) {
    out = writeChordNumber(out, format, number);
    fillField(format, ColumnA, ColumnX, step.a);
    fillField(format, ColumnB, ColumnX, step.b);
    fillField(format, ColumnFa, ColumnFx, toFloat(step.fa));  // as stored
    fillField(format, ColumnFb, ColumnFb, step.fb);
    if (step.x) {
        fillField(format, ColumnX, ColumnX, *step.x);
    } else {
        fillText(format, ColumnX, "-");
    }
    if (step.x && !step.undefined) {
        fillField(format, ColumnFx, ColumnFx, step.fx);
    } else {
        fillText(format, ColumnFx, "-");
    }
    static_assert(sizeof format.fields == 6 * RealColumnWidth);
    std::memcpy(out, format.fields, sizeof format.fields);
    out += sizeof format.fields;
    out = writeText(out, "  ");
    *out = endName(step.replaced);
    std::memset(out + 1, ' ', ReplacedColumnWidth - 1);
    out += ReplacedColumnWidth;
    out = writeEstimate(out, format.estimates[0], estimates.step);
    out = writeEstimate(out, format.estimates[1], estimates.ratio);
    out = writeEstimate(out, format.estimates[2], estimates.bound);
    out = writeEstimate(out, format.estimates[3], estimates.boundM1);
    if (!notes.any()) {
        while (out[-1] == ' ') {  // a row without a bound ends in blanks
            --out;
        }
        return out;
    }
    out = writeText(out, "  ");
    return writeText(out, noteWords(notes));
}

std::string foldRow(std::string_view row, const TableColumns& layout, std::size_t columns) {
    // The columns' edges: the numbers', the replaced end's, the factor's,
    // the estimates'.
    const std::size_t chordWidth = layout.chordWidth;
    std::vector<std::size_t> edges;
    for (std::size_t i = 1; i <= 6; ++i) {
        edges.push_back(chordWidth + layout.valueWidth * i);
    }
    edges.push_back(edges.back() + 2 + ReplacedColumnWidth);
    if (layout.scale) {
        edges.push_back(edges.back() + layout.valueWidth);
    }
    const std::size_t estimates = edges.back();
    for (std::size_t i = 1; i <= 4; ++i) {
        edges.push_back(estimates + EstimateColumnWidth * i);
    }
    return foldAtEdges(row, edges, chordWidth, columns);
}

std::string foldAtEdges(std::string_view row, const std::vector<std::size_t>& edges, std::size_t rowIndent,
                        std::size_t columns) {
    std::string folded;
    std::size_t from = 0;
    std::size_t indent = 0;
    while (row.size() - from + indent > columns) {
        std::size_t cut = from;
        for (const std::size_t edge : edges) {
            if (edge > from && edge - from + indent <= columns && edge < row.size()) {
                cut = edge;
            }
        }
        if (cut == from) {
            break;  // not even one column fits: the terminal wraps the rest
        }
        std::string_view piece = row.substr(from, cut - from);
        piece.remove_suffix(piece.size() - (piece.find_last_not_of(' ') + 1));  // empty fields' blanks
        folded.append(indent, ' ').append(piece).append("\n");
        from = cut;
        indent = rowIndent;
    }
    return folded.append(indent, ' ').append(row.substr(from));
}

std::string foldProse(std::string_view line, std::size_t indent, std::size_t columns) {
    constexpr auto None = std::string_view::npos;
    std::string folded;
    std::size_t from = 0;
    std::size_t margin = 0;  // the blanks the piece from `from` on starts with
    while (margin + line.size() - from > columns) {
        // The last blank that leaves the piece within the width, or the
        // first after a word too long for it; none inside brackets, nor in
        // the line's own indentation.
        std::size_t cut = None;
        int depth = 0;
        for (std::size_t at = line.find_first_not_of(' ', from); at < line.size(); ++at) {
            depth += line[at] == '[' ? 1 : line[at] == ']' && depth > 0 ? -1 : 0;
            if (line[at] != ' ' || depth > 0) {
                continue;
            }
            if (margin + at - from > columns && cut != None) {
                break;
            }
            cut = at;
            if (margin + at - from > columns) {
                break;
            }
        }
        const std::size_t next = cut == None ? None : line.find_first_not_of(' ', cut);
        if (next == None) {
            break;  // one word, or only blanks after it
        }
        const std::string_view piece = line.substr(from, line.find_last_not_of(' ', cut) + 1 - from);
        folded.append(margin, ' ').append(piece).append("\n");
        from = next;
        margin = indent;
    }
    return folded.append(margin, ' ').append(line.substr(from));
}

std::string idleRow(std::uint64_t first, std::uint64_t last, bool fixedEndReplaced) {
    return text(TextIdleFrom) + std::to_string(first) + text(TextIdleTo) + std::to_string(last) +
           text(TextIdleRepeat) + std::to_string(first - 1) + text(TextIdleReason) +
           (fixedEndReplaced ? text(TextIdleFixedEnd) : std::string());
}
