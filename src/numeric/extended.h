#pragma once

#include <bit>
#include <cmath>
#include <compare>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "numeric/bit_cast.h"

// Extended precision as the x87 unit keeps it: a 64-bit significand, an
// exponent from -16382 to 16383, every operation rounded to nearest, ties to
// even. Where long double is that format it is used directly; elsewhere the
// same arithmetic is done in software, so that every processor gives the
// same bits.

enum class ExtendedKind : std::uint8_t { Finite, Infinite, NotANumber };

// value = significand * 2^(exponent - 63). A finite nonzero value has the
// top bit of its significand set, except below 2^-16382, where the exponent
// stays -16382 and the significand loses leading bits (as on the x87 unit).
// Zero has significand 0. A NaN carries only its sign.
struct SoftExtended {
    std::uint64_t significand = 0;
    std::int32_t exponent = 0;
    bool negative = false;
    ExtendedKind kind = ExtendedKind::Finite;
};

inline constexpr std::int32_t SoftExtendedMinExponent = -16382;
inline constexpr std::int32_t SoftExtendedMaxExponent = 16383;

// Exact conversions.
constexpr SoftExtended softFromUnsigned(std::uint64_t value) {
    if (value == 0) {
        return {};
    }
    const int shift = std::countl_zero(value);
    return {value << shift, 63 - shift, false, ExtendedKind::Finite};
}

constexpr SoftExtended softFromDouble(double value) {
    const auto bits = bitCast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const auto field = static_cast<std::int32_t>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (field == 0x7FF) {
        return {0, 0, negative, fraction != 0 ? ExtendedKind::NotANumber : ExtendedKind::Infinite};
    }
    if (field == 0) {
        // Zero, or a subnormal double: fraction * 2^-1074.
        SoftExtended result = softFromUnsigned(fraction);
        result.exponent = fraction != 0 ? result.exponent - 1074 : 0;
        result.negative = negative;
        return result;
    }
    return {(fraction | (std::uint64_t{1} << 52)) << 11, field - 1023, negative, ExtendedKind::Finite};
}

constexpr SoftExtended softFromFloat(float value) {
    return softFromDouble(value);
}

// significand * 2^(exponent - 63), for a significand with its top bit set.
constexpr SoftExtended softFromParts(std::uint64_t significand, std::int32_t exponent) {
    return {significand, exponent, false, ExtendedKind::Finite};
}

// Rounded to 64 bits once, to nearest even (exact where long double has at
// most 64 bits).
SoftExtended softFromLongDouble(long double value);

// Each correctly rounded: the exact result rounded once to nearest even,
// overflowing to infinity beyond the largest finite value. Invalid
// operations give the x87 unit's default NaN, which is negative.
SoftExtended operator+(SoftExtended a, SoftExtended b);
SoftExtended operator-(SoftExtended a, SoftExtended b);
SoftExtended operator*(SoftExtended a, SoftExtended b);
SoftExtended operator/(SoftExtended a, SoftExtended b);

constexpr SoftExtended operator-(SoftExtended value) {
    value.negative = !value.negative;
    return value;
}

bool operator==(SoftExtended a, SoftExtended b);
std::partial_ordering operator<=>(SoftExtended a, SoftExtended b);

// Rounded once from the 64-bit significand to the narrower format, to
// nearest even, with that format's subnormals and overflow.
double softToDouble(SoftExtended value);
float softToFloat(SoftExtended value);

// e^t rounded once to 64 bits from a result good to about 2^-100, for
// processors whose own long double exponential is less precise than that.
SoftExtended softExponential(double t);

// The largest whole number not above the value.
SoftExtended softFloor(SoftExtended value);

// ---------------------------------------------------------------------------
// The type the program computes in, and the operations it needs beyond the
// arithmetic operators, for both kinds.

// Decided once, when the build is configured (cmake/LongDouble.cmake), and
// handed to every file as CHORDS_X87_LONG_DOUBLE.
#ifndef CHORDS_X87_LONG_DOUBLE
#error "CHORDS_X87_LONG_DOUBLE must say whether long double is the x87 format"
#endif
inline constexpr bool LongDoubleIsExtended = CHORDS_X87_LONG_DOUBLE != 0;
static_assert(LongDoubleIsExtended == (std::numeric_limits<long double>::digits == 64 &&
                                       std::numeric_limits<long double>::max_exponent == 16384),
              "the build's view of long double differs from the compiler's");

using Extended = std::conditional_t<LongDoubleIsExtended, long double, SoftExtended>;

// Each a template only so that the branch not taken is not compiled; Type
// is always Extended in the program.
template <typename Type = Extended>
constexpr Type toExtended(double value) {
    if constexpr (std::is_same_v<Type, long double>) {
        return value;
    } else {
        return softFromDouble(value);
    }
}

template <typename Type = Extended>
constexpr Type toExtended(float value) {
    return toExtended<Type>(static_cast<double>(value));
}

template <typename Type = Extended>
constexpr Type toExtended(std::uint64_t value) {
    if constexpr (std::is_same_v<Type, long double>) {
        return static_cast<long double>(value);
    } else {
        return softFromUnsigned(value);
    }
}

// significand * 2^(exponent - 63), for a significand with its top bit set:
// how constants that need all 64 bits are written.
template <typename Type = Extended>
constexpr Type extendedFromParts(std::uint64_t significand, std::int32_t exponent) {
    if constexpr (std::is_same_v<Type, long double>) {
        long double value = static_cast<long double>(significand);
        for (std::int32_t power = exponent - 63; power > 0; --power) {
            value *= 2.0L;
        }
        for (std::int32_t power = exponent - 63; power < 0; ++power) {
            value /= 2.0L;
        }
        return value;
    } else {
        return softFromParts(significand, exponent);
    }
}

template <typename Type = Extended>
constexpr Type extendedInfinity() {
    if constexpr (std::is_same_v<Type, long double>) {
        return std::numeric_limits<long double>::infinity();
    } else {
        return SoftExtended{0, 0, false, ExtendedKind::Infinite};
    }
}

template <typename Type = Extended>
Type extendedFromLongDouble(long double value) {
    if constexpr (std::is_same_v<Type, long double>) {
        return value;
    } else {
        return softFromLongDouble(value);
    }
}

// e^t: the C library's long double exponential, rounded to 64 bits, where
// that is at least as precise (x87, IEEE quadruple); computed in software
// where long double is narrower or the C library's exponential is not that
// precise (CHORDS_LONG_DOUBLE_EXP, decided in cmake/LongDouble.cmake).
template <typename Type = Extended>
Type extendedExponential(double t) {
    if constexpr (std::is_same_v<Type, long double>) {
        return std::exp(static_cast<long double>(t));
    } else if constexpr (std::numeric_limits<long double>::digits >= 64 && CHORDS_LONG_DOUBLE_EXP) {
        return softFromLongDouble(std::exp(static_cast<long double>(t)));
    } else {
        return softExponential(t);
    }
}

inline float toFloat(long double value) {
    return static_cast<float>(value);
}
inline float toFloat(SoftExtended value) {
    return softToFloat(value);
}

inline double toDouble(long double value) {
    return static_cast<double>(value);
}
inline double toDouble(SoftExtended value) {
    return softToDouble(value);
}

inline bool isFinite(long double value) {
    return std::isfinite(value);
}
inline bool isFinite(SoftExtended value) {
    return value.kind == ExtendedKind::Finite;
}

inline bool isNan(long double value) {
    return std::isnan(value);
}
inline bool isNan(SoftExtended value) {
    return value.kind == ExtendedKind::NotANumber;
}

inline bool isInfinite(long double value) {
    return std::isinf(value);
}
inline bool isInfinite(SoftExtended value) {
    return value.kind == ExtendedKind::Infinite;
}

inline bool signBit(long double value) {
    return std::signbit(value);
}
inline bool signBit(SoftExtended value) {
    return value.negative;
}

inline long double magnitude(long double value) {
    return std::fabs(value);
}
inline SoftExtended magnitude(SoftExtended value) {
    value.negative = false;
    return value;
}

inline long double floorOf(long double value) {
    return std::floor(value);
}
inline SoftExtended floorOf(SoftExtended value) {
    return softFloor(value);
}
