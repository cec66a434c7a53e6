#include "text/float_chars.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <cctype>
#include <type_traits>
#include <utility>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

// The C library's printf and strtod below work in its "C" locale's terms,
// '.' as the decimal point: the program sets only LC_CTYPE from the
// environment (see src/console/), never LC_NUMERIC.

namespace floatchars {

namespace {
// The C++ library's where it has them, else the portable ones.
#if CHORDS_STD_FLOAT_CHARS
template <typename... Arguments>
auto written(Arguments&&... arguments) { return std::to_chars(std::forward<Arguments>(arguments)...); }
template <typename... Arguments>
auto parsed(Arguments&&... arguments) { return std::from_chars(std::forward<Arguments>(arguments)...); }
#else
template <typename... Arguments>
auto written(Arguments&&... arguments) { return portable::toChars(std::forward<Arguments>(arguments)...); }
template <typename... Arguments>
auto parsed(Arguments&&... arguments) { return portable::fromChars(std::forward<Arguments>(arguments)...); }
#endif
}  // namespace

std::to_chars_result toChars(char* first, char* last, double value) { return written(first, last, value); }
std::to_chars_result toChars(char* first, char* last, float value) { return written(first, last, value); }
std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format, int precision) {
    return written(first, last, value, format, precision);
}
std::from_chars_result fromChars(const char* first, const char* last, double& value) {
    return parsed(first, last, value);
}
std::from_chars_result fromChars(const char* first, const char* last, float& value) {
    return parsed(first, last, value);
}

namespace portable {
namespace {

std::to_chars_result copied(char* first, char* last, const std::string& text) {
    if (text.size() > static_cast<std::size_t>(last - first)) {
        return {last, std::errc::value_too_large};
    }
    std::memcpy(first, text.data(), text.size());
    return {first + text.size(), std::errc{}};
}

// printf with one precision and one double, into a string of its length:
// one call where the text fits the usual room, a second where it does not
// (a whole number of 300 digits).
std::string printed(const char* format, int precision, double value) {
    char room[64];
    const int size = std::snprintf(room, sizeof room, format, precision, value);
    if (static_cast<std::size_t>(size) < sizeof room) {
        return {room, static_cast<std::size_t>(size)};
    }
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, precision, value);
    text.resize(static_cast<std::size_t>(size));
    return text;
}

template <typename Number>
Number readBack(const std::string& text) {
    if constexpr (std::is_same_v<Number, float>) {
        return std::strtof(text.c_str(), nullptr);
    } else {
        return std::strtod(text.c_str(), nullptr);
    }
}

// The decimal significand's digits, without the point, and the exponent of
// its first digit, from printf's "d.ddde±xx".
struct Decimal {
    std::string digits;
    int exponent;
};

Decimal decimalOf(const std::string& scientific) {
    const std::size_t e = scientific.find('e');
    Decimal decimal{scientific.substr(0, 1), std::atoi(scientific.c_str() + e + 1)};
    if (e > 1) {
        decimal.digits += scientific.substr(2, e - 2);
    }
    return decimal;
}

// The digits one unit in the last place above or below; the carry past the
// first digit moves the exponent. Only the value above can carry; the
// value below of "1000" is "9999" one exponent lower.
Decimal stepped(Decimal decimal, bool up) {
    std::string& digits = decimal.digits;
    std::size_t at = digits.size();
    if (up) {
        while (at > 0 && digits[at - 1] == '9') {
            digits[--at] = '0';
        }
        if (at == 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++decimal.exponent;
        } else {
            ++digits[at - 1];
        }
    } else {
        while (at > 0 && digits[at - 1] == '0') {
            digits[--at] = '9';
        }
        --digits[at - 1];
        if (digits[0] == '0') {  // only from "10...0": one digit fewer, a 9 at the end
            digits.erase(digits.begin());
            digits.push_back('9');
            --decimal.exponent;
        }
    }
    return decimal;
}

std::string scientificText(const Decimal& decimal) {
    std::string text = decimal.digits.substr(0, 1);
    if (decimal.digits.size() > 1) {
        text += '.' + decimal.digits.substr(1);
    }
    const int size = std::abs(decimal.exponent);
    text += decimal.exponent < 0 ? "e-" : "e+";
    if (size < 10) {
        text += '0';
    }
    return text + std::to_string(size);
}

// The digits of one length (precision + 1) that read back as the
// magnitude, the nearest of several; none where no such digits do. The
// nearest is printf's rounding or, where the value's neighbours are not
// equally far (a power of two), the digits on its other side.
template <typename Number>
std::optional<Decimal> digitsReadingBack(Number magnitude, int precision) {
    const std::string rounded = printed("%.*e", precision, magnitude);
    if (readBack<Number>(rounded) == magnitude) {
        return decimalOf(rounded);
    }
    const Decimal other = stepped(decimalOf(rounded), readBack<Number>(rounded) < magnitude);
    if (readBack<Number>(scientificText(other)) == magnitude) {
        return other;
    }
    return std::nullopt;
}

// The shortest digits that read back as the magnitude. Digits that read
// back still do with a zero appended, so the shortest length is found by
// halving the lengths between one digit and max_digits10, which always
// reads back: five printf calls instead of up to seventeen, which counts
// where printf is slow (the WebAssembly C library's works in quadruple
// precision).
template <typename Number>
Decimal shortestDigits(Number magnitude) {
    int low = 0;
    int high = std::numeric_limits<Number>::max_digits10 - 1;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (digitsReadingBack(magnitude, middle)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return *digitsReadingBack(magnitude, low);
}

// The fixed form of the digits: the exact integer (printf's "%.0f") when
// the first digit stands at or left of the units, otherwise the digits
// themselves behind the point.
template <typename Number>
std::string fixedText(const Decimal& decimal, Number magnitude) {
    const int length = static_cast<int>(decimal.digits.size());
    if (decimal.exponent >= length - 1) {
        return printed("%.*f", 0, magnitude);
    }
    if (decimal.exponent >= 0) {
        const auto whole = static_cast<std::size_t>(decimal.exponent + 1);
        return decimal.digits.substr(0, whole) + '.' + decimal.digits.substr(whole);
    }
    return "0." + std::string(static_cast<std::size_t>(-decimal.exponent - 1), '0') + decimal.digits;
}

template <typename Number>
std::to_chars_result shortest(char* first, char* last, Number value) {
    if (!std::isfinite(value)) {
        const bool negative = std::signbit(value);
        return copied(first, last, std::string(negative ? "-" : "") + (std::isinf(value) ? "inf" : "nan"));
    }
    const std::string sign = std::signbit(value) ? "-" : "";
    if (value == 0) {
        return copied(first, last, sign + "0");
    }
    const Number magnitude = std::fabs(value);
    const Decimal decimal = shortestDigits(magnitude);
    // Fixed and scientific of the same digits: the shorter, fixed on a tie.
    const int length = static_cast<int>(decimal.digits.size());
    const int exponentDigits = std::abs(decimal.exponent) >= 100 ? 3 : 2;
    const int scientificLength = length + (length > 1 ? 1 : 0) + 2 + exponentDigits;
    const int fixedLength = decimal.exponent >= length - 1 ? decimal.exponent + 1
                            : decimal.exponent >= 0        ? length + 1
                                                           : length + 1 - decimal.exponent;
    return copied(first, last,
                  sign + (fixedLength <= scientificLength ? fixedText(decimal, magnitude) : scientificText(decimal)));
}

template <typename Number>
std::from_chars_result scanned(const char* first, const char* last, Number& value) {
    // strtod would also take blanks, a '+' and hexadecimal digits, where
    // from_chars reads "0x1p3" as the 0 before the 'x'.
    std::string text(first, last);
    if (text.empty() || text[0] == '+' || std::isspace(static_cast<unsigned char>(text[0]))) {
        return {first, std::errc::invalid_argument};
    }
    if (text.find('(') == std::string::npos) {
        text.erase(std::min(text.find_first_of("xX"), text.size()));
    }
    char* end = nullptr;
    errno = 0;
    const Number read = std::is_same_v<Number, float> ? static_cast<Number>(std::strtof(text.c_str(), &end))
                                                      : static_cast<Number>(std::strtod(text.c_str(), &end));
    if (end == text.c_str()) {
        return {first, std::errc::invalid_argument};
    }
    const char* const stop = first + (end - text.c_str());
    if (errno == ERANGE && (std::isinf(read) || read == 0)) {
        return {stop, std::errc::result_out_of_range};
    }
    value = read;
    return {stop, std::errc{}};
}

}  // namespace

std::to_chars_result toChars(char* first, char* last, double value) {
    return shortest(first, last, value);
}

std::to_chars_result toChars(char* first, char* last, float value) {
    return shortest(first, last, value);
}

std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format, int precision) {
    const char* const pattern = format == std::chars_format::fixed        ? "%.*f"
                             : format == std::chars_format::scientific ? "%.*e"
                                                                       : "%.*g";
    return copied(first, last, printed(pattern, precision, value));
}

std::from_chars_result fromChars(const char* first, const char* last, double& value) {
    return scanned(first, last, value);
}

std::from_chars_result fromChars(const char* first, const char* last, float& value) {
    return scanned(first, last, value);
}

}  // namespace portable
}  // namespace floatchars
