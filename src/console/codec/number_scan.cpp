#include "console/codec/number_scan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Only this many significant digits take part in the value; later ones count
// as zeros.
constexpr int SignificantDigits = 19;
// Far beyond any exponent that can give a finite nonzero result, small enough
// that sums of such values never overflow.
constexpr std::int64_t ExponentCeiling = 100000;

enum class NumberKind { Real, Count };

// What the lexer keeps of a number: never more than the leading digits, so a
// number of any length costs the same memory.
struct ScannedNumber {
    bool negative = false;
    std::uint64_t significand = 0;
    int significantDigits = 0;
    std::int64_t scale = 0;  // power of ten the significand is to be multiplied by
    std::int64_t exponent = 0;
    std::uint64_t digitCount = 0;
};

bool isWhiteSpace(int byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

bool isDigit(int byte) {
    return byte >= '0' && byte <= '9';
}

// Skips white space; false when the input ends first.
bool skipWhiteSpace(InputStream& stream) {
    for (;;) {
        const int byte = peekByte(stream);
        if (byte < 0) {
            return false;
        }
        if (!isWhiteSpace(byte)) {
            return true;
        }
        takeByte(stream);
    }
}

void addMantissaDigit(ScannedNumber& number, int digit, bool inFraction) {
    ++number.digitCount;
    if (number.significantDigits == 0 && digit == 0) {
        // A leading zero only shifts the point.
        number.scale -= inFraction ? 1 : 0;
        return;
    }
    if (number.significantDigits < SignificantDigits) {
        number.significand = number.significand * 10 + static_cast<unsigned>(digit);
        ++number.significantDigits;
        number.scale -= inFraction ? 1 : 0;
    } else if (!inFraction) {
        ++number.scale;
    }
}

// Takes a run of mantissa digits and returns how many there were.
std::uint64_t takeMantissaDigits(InputStream& stream, ScannedNumber& number, bool inFraction) {
    std::uint64_t taken = 0;
    for (int byte = peekByte(stream); isDigit(byte); byte = peekByte(stream)) {
        addMantissaDigit(number, byte - '0', inFraction);
        takeByte(stream);
        ++taken;
    }
    return taken;
}

// Takes "e", an optional sign and the exponent digits; false when no digit
// follows the mark.
bool takeExponent(InputStream& stream, ScannedNumber& number) {
    takeByte(stream);
    bool negative = false;
    const int sign = peekByte(stream);
    if (sign == '+' || sign == '-') {
        negative = sign == '-';
        takeByte(stream);
    }
    std::uint64_t taken = 0;
    for (int byte = peekByte(stream); isDigit(byte); byte = peekByte(stream)) {
        number.exponent = std::min(number.exponent * 10 + (byte - '0'), ExponentCeiling);
        ++number.digitCount;
        ++taken;
        takeByte(stream);
    }
    if (negative) {
        number.exponent = -number.exponent;
    }
    return taken > 0;
}

bool scanNumber(InputStream& stream, NumberKind kind, ScannedNumber& number) {
    if (!skipWhiteSpace(stream)) {
        return false;
    }
    const int sign = peekByte(stream);
    if (sign == '+' || sign == '-') {
        number.negative = sign == '-';
        takeByte(stream);
        if (!skipWhiteSpace(stream)) {
            return false;
        }
    }
    std::uint64_t mantissaDigits = takeMantissaDigits(stream, number, false);
    if (kind == NumberKind::Real && peekByte(stream) == '.') {
        takeByte(stream);
        mantissaDigits += takeMantissaDigits(stream, number, true);
    }
    if (mantissaDigits == 0) {
        return false;
    }
    const int mark = peekByte(stream);
    if (kind == NumberKind::Real && (mark == 'e' || mark == 'E') && !takeExponent(stream, number)) {
        return false;
    }
    return number.digitCount <= MaxNumberDigits;
}

// Scans one number and settles the stream's state around it: a failed stream
// takes nothing, a failure fails it, and so does the end of input right after
// a number.
bool scanIntoStream(InputStream& stream, NumberKind kind, ScannedNumber& number) {
    if (stream.failed) {
        return false;
    }
    if (!scanNumber(stream, kind, number)) {
        stream.failed = true;
        return false;
    }
    if (peekByte(stream) < 0) {
        stream.failed = true;
    }
    return true;
}

Extended powerOfTen(std::int64_t exponent) {
    // 10^(2^k) as significand and exponent: the first five exact, the rest
    // correctly rounded to 64 bits, so every power up to 10^27 comes out exact
    // and larger ones within a few units.
    static constexpr Extended Squares[] = {
        extendedFromParts(0xa000000000000000u, 3),     extendedFromParts(0xc800000000000000u, 6),
        extendedFromParts(0x9c40000000000000u, 13),    extendedFromParts(0xbebc200000000000u, 26),
        extendedFromParts(0x8e1bc9bf04000000u, 53),    extendedFromParts(0x9dc5ada82b70b59eu, 106),
        extendedFromParts(0xc2781f49ffcfa6d5u, 212),   extendedFromParts(0x93ba47c980e98ce0u, 425),
        extendedFromParts(0xaa7eebfb9df9de8eu, 850),   extendedFromParts(0xe319a0aea60e91c7u, 1700),
        extendedFromParts(0xc976758681750c17u, 3401),  extendedFromParts(0x9e8b3b5dc53d5de5u, 6803),
        extendedFromParts(0xc46052028a20979bu, 13606)};
    constexpr std::int64_t Reach = (std::int64_t{1} << std::size(Squares)) - 1;
    if (exponent > Reach) {
        return extendedInfinity();
    }
    Extended power = toExtended(1.0);
    for (std::size_t bit = 0; bit < std::size(Squares); ++bit) {
        if ((exponent >> bit) & 1) {
            power = power * Squares[bit];
        }
    }
    return power;
}

}  // namespace

Extended scaleByPowerOfTen(std::uint64_t significand, std::int64_t exponent) {
    if (significand == 0) {
        return toExtended(0.0);  // zero stays zero even where the power overflows
    }
    const Extended digits = toExtended(significand);
    return exponent >= 0 ? digits * powerOfTen(exponent) : digits / powerOfTen(-exponent);
}

float roundTypedToSingle(Extended value) {
    constexpr Extended Overflow = extendedFromParts(std::uint64_t{1} << 63, 128);
    constexpr Extended LastBinade = extendedFromParts(std::uint64_t{1} << 63, 127);
    constexpr Extended SingleStep = extendedFromParts(std::uint64_t{1} << 63, 104);
    constexpr Extended Underflow = extendedFromParts(std::uint64_t{1} << 63, -149);
    const Extended size = magnitude(value);
    const float sign = signBit(value) ? -1.0f : 1.0f;
    if (size >= Overflow) {
        return sign * std::numeric_limits<float>::infinity();
    }
    if (size >= LastBinade) {
        // Truncate to the 24-bit significand of this binade: steps of 2^104.
        const Extended truncated = floorOf(size / SingleStep) * SingleStep;
        return std::copysign(toFloat(truncated), sign);
    }
    if (size != toExtended(0.0) && size < Underflow) {
        return std::copysign(0.0f, sign);
    }
    return static_cast<float>(toDouble(value));
}

bool scanReal(InputStream& stream, float& target) {
    ScannedNumber number;
    if (!scanIntoStream(stream, NumberKind::Real, number)) {
        return false;
    }
    const Extended size = scaleByPowerOfTen(number.significand, number.scale + number.exponent);
    target = roundTypedToSingle(number.negative ? -size : size);
    return true;
}

bool scanCount(InputStream& stream, std::uint32_t& target) {
    ScannedNumber number;
    if (!scanIntoStream(stream, NumberKind::Count, number)) {
        return false;
    }
    const bool overflow =
        number.scale > 0 || number.significand > std::numeric_limits<std::uint32_t>::max();
    if (overflow || (number.negative && number.significand != 0)) {
        stream.failed = true;
        return false;
    }
    target = static_cast<std::uint32_t>(number.significand);
    return true;
}
