#include "console/codec/number_format.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

// Room for the longest "%.6g" of a double: "-1.23457e-308".
constexpr std::size_t RealTextCapacity = 32;
constexpr int RealPrecision = 6;

}  // namespace

const char* nonFiniteText(bool infinite, bool negative) {
    if (infinite) {
        return negative ? "-INF" : "+INF";
    }
    return negative ? "-NAN" : "+NAN";
}

std::string formatReal(float value) {
    if (!std::isfinite(value)) {
        return nonFiniteText(std::isinf(value), std::signbit(value));
    }
    // to_chars is locale-independent and exact, rounding like printf.
    std::array<char, RealTextCapacity> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(),
                                      static_cast<double>(value), std::chars_format::general,
                                      RealPrecision);
    return {text.data(), result.ptr};
}

std::string formatCount(std::uint32_t value) {
    std::array<char, 10> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return {text.data(), result.ptr};
}
