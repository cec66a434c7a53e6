// The numeric room: the program's one number model, extended precision with a
// 64-bit significand and every operation rounded to nearest even, the same
// bits on every processor. Where long double is that format it does the work;
// here is the same arithmetic in software, for the processors where it is not.
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

bool less(Wide a, Wide b) {
    return a.high != b.high ? a.high < b.high : a.low < b.low;
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

// Fixed-point numbers for the exponential: a Wide holding value * 2^124.
constexpr int FixedPoint = 124;

// The 256-bit product's bits from 2^124 up: (a * b) / 2^124, truncated.
Wide multiplyFixed(Wide a, Wide b) {
    const Wide lowLow = multiplyWide(a.low, b.low);
    const Wide lowHigh = multiplyWide(a.low, b.high);
    const Wide highLow = multiplyWide(a.high, b.low);
    const Wide highHigh = multiplyWide(a.high, b.high);
    // Limbs of 64 bits, least significant first, with their carries.
    std::uint64_t limbs[4] = {lowLow.low, lowLow.high, highHigh.low, highHigh.high};
    for (const Wide cross : {lowHigh, highLow}) {
        const Wide middle = add({0, limbs[1]}, {0, cross.low});
        limbs[1] = middle.low;
        const Wide upper = add({0, limbs[2]}, {0, cross.high + middle.high});
        limbs[2] = upper.low;
        limbs[3] += upper.high;
    }
    constexpr int Shift = FixedPoint - 64;
    return {(limbs[2] >> Shift) | (limbs[3] << (64 - Shift)),
            (limbs[1] >> Shift) | (limbs[2] << (64 - Shift))};
}

// value / divisor, truncated, for a divisor below 2^32: 32 bits at a time.
Wide divideSmall(Wide value, std::uint32_t divisor) {
    const std::uint64_t parts[4] = {value.high >> 32, value.high & 0xFFFFFFFFu,
                                    value.low >> 32, value.low & 0xFFFFFFFFu};
    std::uint64_t quotients[4] = {};
    std::uint64_t remainder = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint64_t current = (remainder << 32) | parts[i];
        quotients[i] = current / divisor;
        remainder = current % divisor;
    }
    return {(quotients[0] << 32) | quotients[1], (quotients[2] << 32) | quotients[3]};
}

// |t| * 2^116 for |t| < 2^10, truncated.
Wide reductionFixed(double t) {
    const auto bits = bitCast<std::uint64_t>(t);
    const auto field = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t significand = field == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    // |t| = significand * 2^(exponent - 52), with exponent at least -1022.
    const int shift = std::max(field, 1) - 1023 - 52 + 116;
    const Wide whole{0, significand};
    return shift >= 0 ? shiftLeft(whole, shift)
                      : (shift > -64 ? Wide{0, significand >> -shift} : Wide{0, 0});
}

}  // namespace

SoftExtended softExponential(double t) {
    if (std::isnan(t)) {
        return notANumber(std::signbit(t));
    }
    if (t == 0.0) {
        return softFromUnsigned(1);
    }
    if (!(std::fabs(t) < 1024.0)) {
        return t > 0 ? infinity(false) : zero(false);  // far beyond the format either way
    }
    // t = k*ln 2 + r with |r| at most about ln 2 / 2, in fixed point with 116
    // fractional bits; ln 2 is good to 2^-116, so k*ln 2 to 2^-105.
    constexpr Wide Ln2 = {0xb17217f7d1cf7u, 0x9abc9e3b39803f2fu};  // ln 2 * 2^116
    const long k = std::lround(t * 1.4426950408889634);
    const Wide size = reductionFixed(t);
    const auto kSize = static_cast<std::uint32_t>(k < 0 ? -k : k);
    const Wide kLn2 = {Ln2.high * kSize + multiplyWide(Ln2.low, kSize).high,
                       Ln2.low * kSize};
    const bool kLarger = less(size, kLn2);
    const Wide rSize = kLarger ? subtract(kLn2, size) : subtract(size, kLn2);
    const bool rNegative = kLarger != (t < 0);
    // e^r by its series, every term r^n/n! kept to 2^-124: 27 terms take
    // |r| < 0.36 below that.
    const Wide r = shiftLeft(rSize, FixedPoint - 116);
    const Wide one{std::uint64_t{1} << (FixedPoint - 64), 0};
    Wide sum = one;
    Wide term = one;
    for (std::uint32_t n = 1; n <= 27 && !isZero(term); ++n) {
        term = divideSmall(multiplyFixed(term, r), n);
        sum = rNegative && n % 2 == 1 ? subtract(sum, term) : add(sum, term);
    }
    // e^t is never exactly a whole number of 2^-124 (t = 0 aside): the lowest
    // bit set keeps a sum on a midpoint, as for t = 2^-64, from rounding as
    // a tie.
    sum.low |= 1;
    // Bit 127 of the sum weighs 2^(127 - 124); the power of two adds k.
    return roundToExtended(false, 127 - FixedPoint + std::int64_t{k}, sum);
}

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
    return (a <=> b) == 0;
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
