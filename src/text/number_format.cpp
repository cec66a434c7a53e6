#include "text/number_format.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "numeric/bit_cast.h"
#include "text/float_chars.h"

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
    const auto result = floatchars::toChars(text.data(), text.data() + text.size(),
                                      static_cast<double>(value), std::chars_format::general,
                                      RealPrecision);
    return {text.data(), result.ptr};
}

std::string formatCount(std::uint32_t value) {
    std::array<char, 10> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return {text.data(), result.ptr};
}

#ifdef __SIZEOF_INT128__
namespace {

using Wide = unsigned __int128;

constexpr std::uint32_t NineDigitsLow = 100'000'000u;
constexpr std::uint32_t NineDigitsEnd = 1'000'000'000u;

template <std::size_t Count>
constexpr std::array<Wide, Count> powersOf(unsigned base) {
    std::array<Wide, Count> powers{};
    Wide power = 1;
    for (Wide& entry : powers) {
        entry = power;
        power *= base;
    }
    return powers;
}

// 5^0 .. 5^53: a float of at least 10^-45 needs no more to reach nine
// digits; 10^0 .. 10^31 divide the largest floats down to them.
constexpr std::array<Wide, 54> PowersOfFive = powersOf<54>(5);
constexpr std::array<Wide, 32> PowersOfTen = powersOf<32>(10);

// Where the part below the whole number stands against one half.
enum class Rest { Zero, BelowHalf, Half, AboveHalf };

// floor(m * 2^e2 * 10^scale) and its rest.
struct ScaledValue {
    Wide whole;
    Rest rest;
};

Rest restAgainstHalf(Wide rest, Wide half) {
    return rest == 0 ? Rest::Zero : rest < half ? Rest::BelowHalf : rest == half ? Rest::Half : Rest::AboveHalf;
}

ScaledValue scaled(std::uint32_t m, int e2, int scale) {
    if (scale < 0) {
        // A value of at least 10^9: m * 2^e2 is a whole number below 2^128.
        const Wide value = Wide{m} << e2;
        const Wide divisor = PowersOfTen[static_cast<std::size_t>(-scale)];
        const Wide rest = value % divisor;
        return {value / divisor, rest == 0 ? Rest::Zero : restAgainstHalf(rest * 2, divisor)};
    }
    // m * 5^scale * 2^(e2 + scale), the product as high * 2^64 + low.
    const Wide power = PowersOfFive[static_cast<std::size_t>(scale)];
    const Wide lowProduct = Wide{m} * static_cast<std::uint64_t>(power);
    const std::uint64_t low = static_cast<std::uint64_t>(lowProduct);
    const Wide high = (lowProduct >> 64) + Wide{m} * static_cast<std::uint64_t>(power >> 64);
    const int shift = e2 + scale;
    if (shift >= 0) {
        return {((high << 64) | low) << shift, Rest::Zero};
    }
    const int bits = -shift;  // dropped to the right
    if (bits < 64) {
        const Wide whole = (high << (64 - bits)) | (low >> bits);
        const std::uint64_t rest = low & ((std::uint64_t{1} << bits) - 1);
        return {whole, restAgainstHalf(rest, Wide{1} << (bits - 1))};
    }
    const int highBits = bits - 64;
    if (highBits == 0) {
        return {high, restAgainstHalf(low, Wide{1} << 63)};
    }
    const Wide whole = highBits >= 128 ? 0 : high >> highBits;
    const Wide highRest = highBits >= 128 ? high : high & ((Wide{1} << highBits) - 1);
    const Rest rest = restAgainstHalf(highRest, Wide{1} << (highBits - 1));
    if (low == 0 || rest == Rest::BelowHalf || rest == Rest::AboveHalf) {
        return {whole, rest};
    }
    return {whole, rest == Rest::Zero ? Rest::BelowHalf : Rest::AboveHalf};
}

// The nine digits of m * 2^e2 rounded to nearest, ties to even, and the
// decimal exponent of the first.
void nineDigits(std::uint32_t m, int e2, std::uint32_t& digits, int& exponent) {
    const int bitLength = 32 - std::countl_zero(m);
    // The value lies in [2^(e2 + bitLength - 1), 2^(e2 + bitLength)): its
    // decimal exponent is this estimate or one above it, so ten digits are
    // made at most, and the tenth is rounded away.
    // floor(k * log10(2)) as (k * 78913) >> 18, exact for |k| < 1650.
    exponent = ((e2 + bitLength - 1) * 78913) >> 18;
    ScaledValue value = scaled(m, e2, 8 - exponent);
    while (value.whole < NineDigitsLow) {  // only where the estimate's rounding fell short
        --exponent;
        value = scaled(m, e2, 8 - exponent);
    }
    if (value.whole >= NineDigitsEnd) {
        const auto dropped = static_cast<std::uint32_t>(value.whole % 10);
        value.whole /= 10;
        ++exponent;
        value.rest = dropped > 5   ? Rest::AboveHalf
                     : dropped < 5 ? (dropped == 0 && value.rest == Rest::Zero ? Rest::Zero
                                                                               : Rest::BelowHalf)
                     : value.rest == Rest::Zero ? Rest::Half
                                                : Rest::AboveHalf;
    }
    digits = static_cast<std::uint32_t>(value.whole);
    if (value.rest == Rest::AboveHalf || (value.rest == Rest::Half && (digits & 1) != 0)) {
        ++digits;
    }
    if (digits == NineDigitsEnd) {
        digits = NineDigitsLow;
        ++exponent;
    }
}

}  // namespace
#endif

char* writeFloatDigits9(char* out, float value) {
    // The standard library's writer over the float widened to double: the
    // same digits, where there is no 128-bit integer for the fast way.
#ifndef __SIZEOF_INT128__
    return floatchars::toChars(out, out + 16, static_cast<double>(value), std::chars_format::general, 9).ptr;
#else
    const auto bits = bitCast<std::uint32_t>(value);
    if ((bits >> 31) != 0) {
        *out++ = '-';
    }
    const std::uint32_t field = (bits >> 23) & 0xFFu;
    const std::uint32_t fraction = bits & 0x7FFFFFu;
    if (field == 0 && fraction == 0) {
        *out++ = '0';
        return out;
    }
    const std::uint32_t m = field == 0 ? fraction : fraction | 0x800000u;
    const int e2 = field == 0 ? -149 : static_cast<int>(field) - 150;
    std::uint32_t digits = 0;
    int exponent = 0;
    nineDigits(m, e2, digits, exponent);
    // Two digits at a time.
    static constexpr char Pairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char text[9];
    for (int i = 7; i >= 1; i -= 2) {
        std::memcpy(text + i, Pairs + 2 * (digits % 100), 2);
        digits /= 100;
    }
    text[0] = static_cast<char>('0' + digits);
    int length = 9;  // without the trailing zeros
    while (length > 1 && text[length - 1] == '0') {
        --length;
    }
    if (exponent >= -4 && exponent < 9) {
        if (exponent < 0) {
            *out++ = '0';
            *out++ = '.';
            for (int i = exponent; i < -1; ++i) {
                *out++ = '0';
            }
            std::memcpy(out, text, static_cast<std::size_t>(length));
            return out + length;
        }
        const int whole = exponent + 1;
        std::memcpy(out, text, static_cast<std::size_t>(whole));
        out += whole;
        if (length > whole) {
            *out++ = '.';
            std::memcpy(out, text + whole, static_cast<std::size_t>(length - whole));
            out += length - whole;
        }
        return out;
    }
    *out++ = text[0];
    if (length > 1) {
        *out++ = '.';
        std::memcpy(out, text + 1, static_cast<std::size_t>(length - 1));
        out += length - 1;
    }
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int size = exponent < 0 ? -exponent : exponent;
    if (size >= 10) {
        *out++ = static_cast<char>('0' + size / 10);
    } else {
        *out++ = '0';
    }
    *out++ = static_cast<char>('0' + size % 10);
    return out;
#endif
}
