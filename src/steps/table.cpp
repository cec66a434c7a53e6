#include "steps/table.h"

#include <algorithm>
#include <array>
#include <bit>
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

namespace {

void appendPadded(std::string& out, std::string_view field, std::size_t width) {
    out.append(width - std::min(width, field.size()), ' ');
    out.append(field);
}

// Nine digits of a finite value as the table writes it (the value widened to
// double), from the cache when the same bits were written lately.
std::string_view cachedDigits9(DigitsCache& cache, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < cache.used; ++i) {
        const DigitsCache::Entry& entry = cache.entries[i];
        if (entry.bits == bits) {
            return {entry.text, entry.size};
        }
    }
    DigitsCache::Entry& entry = cache.entries[cache.next];
    cache.next = (cache.next + 1) % DigitsCache::Size;
    cache.used = std::max(cache.used, cache.next == 0 ? DigitsCache::Size : cache.next);
    const auto result = std::to_chars(entry.text, entry.text + sizeof entry.text, value,
                                      std::chars_format::general, 9);
    entry.bits = bits;
    entry.size = static_cast<std::uint8_t>(result.ptr - entry.text);
    return {entry.text, entry.size};
}

void appendReal(std::string& out, DigitsCache& cache, Extended value) {
    if (!isFinite(value)) {
        appendPadded(out, formatDigits9(value), RealColumnWidth);
        return;
    }
    appendPadded(out, cachedDigits9(cache, toDouble(value)), RealColumnWidth);
}

void appendReal(std::string& out, DigitsCache& cache, float value) {
    appendReal(out, cache, toExtended(value));
}

}  // namespace

RowFormat rowFormatFor(std::uint32_t limit) {
    RowFormat format;
    format.chordWidth = chordColumnWidth(limit);
    return format;
}

void appendChordRow(std::string& out, RowFormat& format, std::uint64_t number,
                    const ChordStep& step, bool accuracyMet) {
    std::array<char, 24> numberText{};
    const auto numberEnd = std::to_chars(numberText.data(), numberText.data() + numberText.size(), number).ptr;
    appendPadded(out, {numberText.data(), numberEnd}, format.chordWidth);
    appendReal(out, format.cache, step.a);
    appendReal(out, format.cache, step.b);
    appendReal(out, format.cache, step.fa);
    appendReal(out, format.cache, step.fb);
    const bool drawn = step.x.has_value();
    if (drawn) {
        appendReal(out, format.cache, *step.x);
        appendReal(out, format.cache, step.fx);
    } else {
        appendPadded(out, "-", RealColumnWidth);
        appendPadded(out, "-", RealColumnWidth);
    }
    out.append("  ");
    const char replaced = endName(step.replaced);
    const bool noted = step.rangeReported || !drawn || accuracyMet;
    if (!noted) {
        out.push_back(replaced);
        return;
    }
    out.push_back(replaced);
    out.append(ReplacedColumnWidth - 1, ' ');
    out.append("  ");
    if (step.rangeReported) {
        out.append(TextOverflowMark.data());
    }
    if (!drawn || accuracyMet) {
        if (step.rangeReported) {
            out.append(", ");
        }
        out.append((drawn ? TextAccuracyMet : TextNoChord).data());
    }
}

std::string chordRow(std::uint32_t limit, std::uint64_t number, const ChordStep& step,
                     bool accuracyMet) {
    RowFormat format = rowFormatFor(limit);
    std::string line;
    appendChordRow(line, format, number, step, accuracyMet);
    return line;
}

std::string idleRow(std::uint64_t first, std::uint64_t last) {
    return text(TextIdleFrom) + std::to_string(first) + text(TextIdleTo) + std::to_string(last) +
           text(TextIdleRepeat) + std::to_string(first - 1) + text(TextIdleReason);
}
