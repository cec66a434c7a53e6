#include "steps/table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "console/codec/number_format.h"
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

std::string padRight(const std::string& field, std::size_t width) {
    std::string padded = field;
    padded.append(width - std::min(width, field.size()), ' ');
    return padded;
}

std::size_t chordColumnWidth(std::uint32_t limit) {
    return std::max(text(TextColumnChord).size(), std::to_string(limit).size());
}

std::string realColumns(const std::string (&fields)[6]) {
    std::string line;
    for (const std::string& field : fields) {
        line += padLeft(field, RealColumnWidth);
    }
    return line;
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
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(),
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
            std::to_chars(digits.data(), digits.data() + digits.size(), number, format, precision);
        return std::string(digits.data(), result.ptr);
    };
    int precision = 1;
    for (; precision < 9; ++precision) {
        float readBack = 0.0f;
        const std::string candidate = formatted(value, std::chars_format::general, precision);
        std::from_chars(candidate.data(), candidate.data() + candidate.size(), readBack);
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

std::string titleLine() {
    return text(TextTitle) + text(TextEquation) + " = 0";
}

std::string inputsLine(const ChordParameters& parameters) {
    return text(TextInterval) + "Xib = " + formatShortest(parameters.a) +
           ", Xie = " + formatShortest(parameters.b) + text(TextAccuracy) +
           formatShortest(parameters.epsilon) + text(TextLimit) + std::to_string(parameters.limit);
}

std::string columnHeader(std::uint32_t limit) {
    const std::string names[6] = {"a", "b", "F(a)", "F(b)", "x", "F(x)"};
    return padLeft(text(TextColumnChord), chordColumnWidth(limit)) + realColumns(names) + "  " +
           text(TextColumnReplaced);
}

std::string chordRow(std::uint32_t limit, std::uint64_t number, const ChordStep& step,
                     bool accuracyMet) {
    const bool drawn = step.x.has_value();
    const std::string values[6] = {formatDigits9(step.a),  formatDigits9(step.b),
                                   formatDigits9(step.fa), formatDigits9(step.fb),
                                   drawn ? formatDigits9(*step.x) : "-",
                                   drawn ? formatDigits9(step.fx) : "-"};
    std::string line = padLeft(std::to_string(number), chordColumnWidth(limit)) +
                       realColumns(values) + "  ";
    std::string note;
    if (step.rangeReported) {
        note = text(TextOverflowMark);
    }
    if (!drawn || accuracyMet) {
        note += (note.empty() ? "" : ", ") + text(drawn ? TextAccuracyMet : TextNoChord);
    }
    const std::string replaced(1, endName(step.replaced));
    return note.empty() ? line + replaced
                        : line + padRight(replaced, ReplacedColumnWidth) + "  " + note;
}

std::string idleRow(std::uint64_t first, std::uint64_t last) {
    return text(TextIdleFrom) + std::to_string(first) + text(TextIdleTo) + std::to_string(last) +
           text(TextIdleRepeat) + std::to_string(first - 1) + text(TextIdleReason);
}
