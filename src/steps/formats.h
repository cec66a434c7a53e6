#pragma once
// The three formats a chords-steps run computes in, each in one record: its
// numbers (storage and working types, bit identity) and its texts: how an
// argument is read into it, how the table writes a value and how wide, the
// exact form the CSV writes, the report's six digits, its name in the head
// and in a refusal. Nothing outside these records asks which format it is.
//   single    nine digits in the table, as the dialog's values are told;
//   double    the shortest digits that read back, in a wider column;
//   extended  the same, wider still.

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "expression/evaluate.h"
#include "expression/parse.h"
#include "numeric/extended_digits.h"
#include "numeric/number_formats.h"
#include "steps/arguments.h"
#include "steps/table.h"
#include "steps/texts.h"
#include "text/float_chars.h"
#include "text/number_format.h"

namespace formats {

template <typename Number>
std::string toChars(Number value) {
    std::array<char, 48> digits{};
    return {digits.data(), floatchars::toChars(digits.data(), digits.data() + digits.size(), value).ptr};
}

inline std::string shownDouble(double value) {
    if (!std::isfinite(value)) {
        return nonFiniteText(std::isinf(value), std::signbit(value) && !std::isnan(value));
    }
    return toChars(value);
}

inline std::string shownExtended(Extended value) {
    if (!isFinite(value)) {
        return nonFiniteText(isInfinite(value), signBit(value) && !isNan(value));
    }
    return shortestExtendedText(value);
}

}  // namespace formats

// What every format's record holds as constants: its numbers, the width of
// its table columns, its name in the head and its words for an end beyond it.
template <typename NumbersType, std::size_t Width, const CatalogueText& Name, const CatalogueText& Beyond>
struct FormatConstants : NumbersType {
    using Numbers = NumbersType;
    static constexpr std::size_t width = Width;
    static constexpr const CatalogueText& name = Name;
    static constexpr const CatalogueText& beyond = Beyond;
};

// A format whose values are stored as they are computed: a working value is
// written as a stored one, and F beyond the format at the start leaves no
// chord to draw.
template <typename Format>
struct StoredAsComputed {
    template <typename Value>
    static std::string shownWork(Value value) {
        return Format::shown(value);
    }
    template <typename Value>
    static std::string exactWork(Value value) {
        return Format::exact(value);
    }
    static std::string startBeyond() { return text(Format::beyond) + text(TextNoChordThen); }
};

struct SingleFormat : FormatConstants<SingleNumbers, 16, TextPrecisionSingle, TextInfiniteEnd> {
    // The argument as the dialog reads it.
    static float read(const std::string&, float dialogValue) { return dialogValue; }
    // A constant expression as F is evaluated: in extended precision, stored after.
    static Extended constant(const Expression& typed) { return constantExtended(typed, Precision::Single); }
    static std::string shown(float value) { return formatDigits9(value); }
    static std::string shownWork(Extended value) { return formatDigits9(value); }
    // The CSV's forms: the shortest that reads back as the value held, a
    // value that is not finite as spreadsheets read it ("inf", "nan").
    static std::string exact(float value) { return formats::toChars(value); }
    static std::string exactWork(Extended value) { return shortestExtendedText(value); }
    static std::string sixDigits(float value) { return formatReal(value); }
    // F at the start beyond the format: single's own words.
    static std::string startBeyond() { return text(TextStartValueTooLarge); }
};

struct DoubleFormat : FormatConstants<DoubleNumbers, 26, TextPrecisionDouble, TextBeyondDouble>,
                      StoredAsComputed<DoubleFormat> {
    // The nearest double to the argument's decimal digits.
    static double read(const std::string& typed, float) { return nearestDouble(typed); }
    static double constant(const Expression& typed) { return constantDouble(typed); }
    static std::string shown(double value) { return formats::shownDouble(value); }
    static std::string exact(double value) { return formats::toChars(value); }
    static std::string sixDigits(double value) {
        std::array<char, 40> digits{};
        char* const end =
            floatchars::toChars(digits.data(), digits.data() + digits.size(), value, std::chars_format::general, 6).ptr;
        return std::isfinite(value) ? std::string(digits.data(), static_cast<std::size_t>(end - digits.data()))
                                    : nonFiniteText(std::isinf(value), std::signbit(value));
    }
};

struct ExtendedFormat : FormatConstants<ExtendedNumbers, 30, TextPrecisionExtended, TextBeyondExtended>,
                        StoredAsComputed<ExtendedFormat> {
    static Extended read(const std::string& typed, float) { return nearestExtended(typed); }
    static Extended constant(const Expression& typed) { return constantExtended(typed, Precision::Wide); }
    static std::string shown(Extended value) { return formats::shownExtended(value); }
    static std::string exact(Extended value) { return shortestExtendedText(value); }
    // Six digits of the value itself, beyond the range of doubles too.
    static std::string sixDigits(Extended value) {
        return isFinite(value) ? sixSignificantDigits(value)
                               : nonFiniteText(isInfinite(value), signBit(value) && !isNan(value));
    }
};

// A number argument of a typed equation's run (XIB, XIE) that may be a
// constant expression, as the format holds it: a number as `read` takes it,
// so that no number reads otherwise than it did; any other text, checked
// beforehand to read as an expression without x, evaluated as F would be
// and stored. Not for the dialog's F, whose arguments are numbers only.
template <typename Format>
typename Format::Storage readArgument(const std::string& typed) {
    float dialogValue = 0.0f;
    if (parseRealArgument(typed, dialogValue)) {
        return Format::read(typed, dialogValue);
    }
    return Format::stored(Format::constant(parseExpression(typed).expression));
}
