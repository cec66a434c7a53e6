#include "numeric/extended.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::uint64_t TopBit = std::uint64_t{1} << 63;

// A 128-bit unsigned number in two halves: no processor-specific type, so
// that 32-bit ARM builds it too.
struct Wide {
    std::uint64_t high;
    std::uint64_t low;
};

bool isZero(Wide value) {
    return (value.high | value.low) == 0;
}

int leadingZeros(Wide value) {
    return value.high != 0 ? std::countl_zero(value.high) : 64 + std::countl_zero(value.low);
}

// 0 <= count < 128.
Wide shiftLeft(Wide value, int count) {
    if (count == 0) {
        return value;
    }
    if (count >= 64) {
        return {value.low << (count - 64), 0};
    }
    return {(value.high << count) | (value.low >> (64 - count)), value.low << count};
}

// Shifts right and sets the lowest bit when any bit shifted out was set, so
// that rounding still sees that the value lies above the kept bits.
Wide shiftRightSticky(Wide value, std::int64_t count) {
    if (count == 0) {
        return value;
    }
    if (count >= 128) {
        return {0, isZero(value) ? 0u : 1u};
    }
    Wide result{};
    std::uint64_t lost = 0;
    if (count >= 64) {
        const auto inner = static_cast<int>(count - 64);
        result = {0, inner == 0 ? value.high : value.high >> inner};
        lost = value.low | (inner == 0 ? 0 : value.high << (64 - inner));
    } else {
        const auto inner = static_cast<int>(count);
        result = {value.high >> inner, (value.low >> inner) | (value.high << (64 - inner))};
        lost = value.low << (64 - inner);
    }
    result.low |= lost != 0 ? 1u : 0u;
    return result;
}

Wide add(Wide a, Wide b) {
    Wide sum{a.high + b.high, a.low + b.low};
    sum.high += sum.low < a.low ? 1u : 0u;
    return sum;
}

// a >= b.
Wide subtract(Wide a, Wide b) {
    Wide difference{a.high - b.high, a.low - b.low};
    difference.high -= a.low < b.low ? 1u : 0u;
    return difference;
}

// The full 128-bit product from 32-bit halves.
Wide multiplyWide(std::uint64_t a, std::uint64_t b) {
    constexpr std::uint64_t LowHalf = 0xFFFFFFFFu;
    const std::uint64_t aLow = a & LowHalf;
    const std::uint64_t aHigh = a >> 32;
    const std::uint64_t bLow = b & LowHalf;
    const std::uint64_t bHigh = b >> 32;
    const std::uint64_t lowLow = aLow * bLow;
    const std::uint64_t lowHigh = aLow * bHigh;
    const std::uint64_t highLow = aHigh * bLow;
    const std::uint64_t highHigh = aHigh * bHigh;
    const std::uint64_t middle = (lowLow >> 32) + (lowHigh & LowHalf) + (highLow & LowHalf);
    return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
            (middle << 32) | (lowLow & LowHalf)};
}

SoftExtended zero(bool negative) {
    return {0, 0, negative, ExtendedKind::Finite};
}

SoftExtended infinity(bool negative) {
    return {0, 0, negative, ExtendedKind::Infinite};
}

SoftExtended notANumber(bool negative) {
    return {0, 0, negative, ExtendedKind::NotANumber};
}

// The x87 unit's answer to an invalid operation.
SoftExtended defaultNotANumber() {
    return notANumber(true);
}

// Of two NaN operands the positive one comes through, as on the x87 unit
// (its NaNs here all have the same payload).
SoftExtended eitherNotANumber(SoftExtended a, SoftExtended b) {
    if (a.kind == ExtendedKind::NotANumber && b.kind == ExtendedKind::NotANumber) {
        return notANumber(a.negative && b.negative);
    }
    return a.kind == ExtendedKind::NotANumber ? a : b;
}

bool eitherIsNotANumber(SoftExtended a, SoftExtended b) {
    return a.kind == ExtendedKind::NotANumber || b.kind == ExtendedKind::NotANumber;
}

// Rounds magnitude * 2^(exponent - 127) to the format: bit 127 of the
// magnitude weighs 2^exponent; its lowest bit may stand for bits lost below.
SoftExtended roundToExtended(bool negative, std::int64_t exponent, Wide magnitude) {
    if (isZero(magnitude)) {
        return zero(negative);
    }
    const int shift = leadingZeros(magnitude);
    magnitude = shiftLeft(magnitude, shift);
    exponent -= shift;
    if (exponent < SoftExtendedMinExponent) {
        magnitude = shiftRightSticky(magnitude, SoftExtendedMinExponent - exponent);
        exponent = SoftExtendedMinExponent;
    }
    std::uint64_t significand = magnitude.high;
    if (magnitude.low > TopBit || (magnitude.low == TopBit && (significand & 1) != 0)) {
        ++significand;
        if (significand == 0) {
            significand = TopBit;
            ++exponent;
        }
    }
    if (significand == 0) {
        return zero(negative);
    }
    if (exponent > SoftExtendedMaxExponent) {
        return infinity(negative);
    }
    return {significand, static_cast<std::int32_t>(exponent), negative, ExtendedKind::Finite};
}

// Finite values, by size alone.
bool smallerMagnitude(SoftExtended a, SoftExtended b) {
    return a.exponent != b.exponent ? a.exponent < b.exponent : a.significand < b.significand;
}

// A finite nonzero value's significand with its top bit set, and the exponent
// that goes with it (below -16382 for values beneath the normal range).
std::pair<std::uint64_t, std::int64_t> normalized(SoftExtended value) {
    const int shift = std::countl_zero(value.significand);
    return {value.significand << shift, std::int64_t{value.exponent} - shift};
}

SoftExtended addFinite(SoftExtended a, SoftExtended b) {
    if (a.significand == 0 && b.significand == 0) {
        return zero(a.negative && b.negative);
    }
    if (b.significand == 0) {
        return a;
    }
    if (a.significand == 0) {
        return b;
    }
    if (smallerMagnitude(a, b)) {
        std::swap(a, b);
    }
    // Both significands one bit down, so that a carry stays inside.
    const Wide larger{a.significand >> 1, a.significand << 63};
    const Wide smaller = shiftRightSticky({b.significand >> 1, b.significand << 63},
                                          std::int64_t{a.exponent} - b.exponent);
    const Wide sum = a.negative == b.negative ? add(larger, smaller) : subtract(larger, smaller);
    if (isZero(sum)) {
        return zero(false);  // exact cancellation gives +0 when rounding to nearest
    }
    return roundToExtended(a.negative, std::int64_t{a.exponent} + 1, sum);
}

// Rounds a finite value to a binary format of `precision` significand bits
// whose normal numbers start at 2^minExponent: the kept significand as a
// whole number and the power of two it is to be scaled by.
struct Narrowed {
    std::uint64_t significand;
    int scale;
};

Narrowed narrow(SoftExtended value, int precision, int minExponent) {
    if (value.significand == 0) {
        return {0, 0};
    }
    const auto [significand, exponent] = normalized(value);
    const std::int64_t lostToRange = exponent < minExponent ? minExponent - exponent : 0;
    const std::int64_t kept = precision - lostToRange;
    if (kept < 0) {
        return {0, 0};  // below half the smallest subnormal
    }
    const auto dropped = static_cast<int>(64 - kept);
    const std::uint64_t whole = dropped == 64 ? 0 : significand >> dropped;
    const std::uint64_t roundBit = (significand >> (dropped - 1)) & 1;
    const std::uint64_t below = dropped == 1 ? 0 : significand << (65 - dropped);
    const bool up = roundBit != 0 && (below != 0 || (whole & 1) != 0);
    const std::int64_t scale = std::max<std::int64_t>(exponent, minExponent) - (precision - 1);
    // Beyond any finite value of the narrower format: any scale past its
    // range turns into infinity the same way.
    constexpr std::int64_t ScaleCeiling = 100000;
    return {whole + (up ? 1u : 0u), static_cast<int>(std::min(scale, ScaleCeiling))};
}

template <typename Narrow>
Narrow narrowTo(SoftExtended value) {
    using Limits = std::numeric_limits<Narrow>;
    if (value.kind == ExtendedKind::NotANumber) {
        return std::copysign(Limits::quiet_NaN(), value.negative ? Narrow{-1} : Narrow{1});
    }
    if (value.kind == ExtendedKind::Infinite) {
        return value.negative ? -Limits::infinity() : Limits::infinity();
    }
    const Narrowed rounded = narrow(value, Limits::digits, Limits::min_exponent - 1);
    // Exact: the significand fits the format, and the scaled value is one of
    // its numbers or beyond its largest (infinity, as rounding gives).
    const Narrow result = std::ldexp(static_cast<Narrow>(rounded.significand), rounded.scale);
    return value.negative ? -result : result;
}

}  // namespace

SoftExtended softFromLongDouble(long double value) {
    if (std::isnan(value)) {
        return notANumber(std::signbit(value));
    }
    if (std::isinf(value)) {
        return infinity(std::signbit(value));
    }
    if (value == 0.0L) {
        return zero(std::signbit(value));
    }
    int exponent = 0;
    // In [2^63, 2^64): the whole part is the top 64 bits, the rest exact.
    const long double scaled = std::ldexp(std::fabs(std::frexp(value, &exponent)), 64);
    const long double whole = std::floor(scaled);
    const long double fraction = std::ldexp(scaled - whole, 64);
    const long double fractionWhole = std::floor(fraction);
    const Wide magnitude{static_cast<std::uint64_t>(whole),
                         static_cast<std::uint64_t>(fractionWhole) |
                             (fraction != fractionWhole ? 1u : 0u)};
    return roundToExtended(std::signbit(value), std::int64_t{exponent} - 1, magnitude);
}

SoftExtended operator+(SoftExtended a, SoftExtended b) {
    if (eitherIsNotANumber(a, b)) {
        return eitherNotANumber(a, b);
    }
    if (a.kind == ExtendedKind::Infinite || b.kind == ExtendedKind::Infinite) {
        if (a.kind == b.kind && a.negative != b.negative) {
            return defaultNotANumber();
        }
        return a.kind == ExtendedKind::Infinite ? a : b;
    }
    return addFinite(a, b);
}

SoftExtended operator-(SoftExtended a, SoftExtended b) {
    if (eitherIsNotANumber(a, b)) {
        return eitherNotANumber(a, b);  // a NaN keeps its sign
    }
    return a + -b;
}

SoftExtended operator*(SoftExtended a, SoftExtended b) {
    if (eitherIsNotANumber(a, b)) {
        return eitherNotANumber(a, b);
    }
    const bool negative = a.negative != b.negative;
    const bool aZero = a.kind == ExtendedKind::Finite && a.significand == 0;
    const bool bZero = b.kind == ExtendedKind::Finite && b.significand == 0;
    if (a.kind == ExtendedKind::Infinite || b.kind == ExtendedKind::Infinite) {
        return aZero || bZero ? defaultNotANumber() : infinity(negative);
    }
    if (aZero || bZero) {
        return zero(negative);
    }
    return roundToExtended(negative, std::int64_t{a.exponent} + b.exponent + 1,
                           multiplyWide(a.significand, b.significand));
}

SoftExtended operator/(SoftExtended a, SoftExtended b) {
    if (eitherIsNotANumber(a, b)) {
        return eitherNotANumber(a, b);
    }
    const bool negative = a.negative != b.negative;
    const bool aZero = a.kind == ExtendedKind::Finite && a.significand == 0;
    const bool bZero = b.kind == ExtendedKind::Finite && b.significand == 0;
    if (a.kind == ExtendedKind::Infinite) {
        return b.kind == ExtendedKind::Infinite ? defaultNotANumber() : infinity(negative);
    }
    if (b.kind == ExtendedKind::Infinite) {
        return zero(negative);
    }
    if (bZero) {
        return aZero ? defaultNotANumber() : infinity(negative);
    }
    if (aZero) {
        return zero(negative);
    }
    const auto [dividend, dividendExponent] = normalized(a);
    const auto [divisor, divisorExponent] = normalized(b);
    // Long division, one quotient bit at a time, from the bit worth 1 down:
    // 128 bits, the last of them also standing for a nonzero remainder.
    Wide quotient{0, 0};
    std::uint64_t remainder = dividend;
    bool carry = false;  // the remainder's bit 64
    for (int bit = 0; bit < 128; ++bit) {
        quotient = shiftLeft(quotient, 1);
        if (carry || remainder >= divisor) {
            remainder -= divisor;
            quotient.low |= 1;
        }
        carry = (remainder >> 63) != 0;
        remainder <<= 1;
    }
    quotient.low |= remainder != 0 || carry ? 1u : 0u;
    return roundToExtended(negative, dividendExponent - divisorExponent, quotient);
}

bool operator==(SoftExtended a, SoftExtended b) {
    return std::is_eq(a <=> b);
}

std::partial_ordering operator<=>(SoftExtended a, SoftExtended b) {
    if (eitherIsNotANumber(a, b)) {
        return std::partial_ordering::unordered;
    }
    const bool aZero = a.kind == ExtendedKind::Finite && a.significand == 0;
    const bool bZero = b.kind == ExtendedKind::Finite && b.significand == 0;
    if (aZero && bZero) {
        return std::partial_ordering::equivalent;
    }
    if (a.negative != b.negative || aZero || bZero) {
        // Different signs, or one zero: the signs alone decide.
        const int aSign = aZero ? 0 : (a.negative ? -1 : 1);
        const int bSign = bZero ? 0 : (b.negative ? -1 : 1);
        return aSign <=> bSign;
    }
    std::strong_ordering bySize = std::strong_ordering::equal;
    if (a.kind != b.kind) {
        bySize = a.kind == ExtendedKind::Infinite ? std::strong_ordering::greater
                                                  : std::strong_ordering::less;
    } else if (a.kind == ExtendedKind::Finite) {
        bySize = smallerMagnitude(a, b)   ? std::strong_ordering::less
                 : smallerMagnitude(b, a) ? std::strong_ordering::greater
                                          : std::strong_ordering::equal;
    }
    return a.negative ? 0 <=> bySize : bySize;
}

double softToDouble(SoftExtended value) {
    return narrowTo<double>(value);
}

float softToFloat(SoftExtended value) {
    return narrowTo<float>(value);
}

SoftExtended softFloor(SoftExtended value) {
    if (value.kind != ExtendedKind::Finite || value.exponent >= 63) {
        return value;  // already whole
    }
    if (value.exponent < 0) {
        const bool belowZero = value.negative && value.significand != 0;
        return belowZero ? softFromDouble(-1.0) : zero(value.negative);
    }
    const std::uint64_t fractionMask = (std::uint64_t{1} << (63 - value.exponent)) - 1;
    SoftExtended whole = value;
    whole.significand &= ~fractionMask;
    if (value.negative && (value.significand & fractionMask) != 0) {
        return whole - softFromUnsigned(1);  // further down, below zero
    }
    return whole;
}
