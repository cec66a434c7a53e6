#pragma once
// The three number formats a walk can run in, as numbers: the type a value
// is stored in from one step to the next, the type formulas are evaluated
// in, and the exact passages between them. The texts that go with each
// (digits, widths, names) are the table's, built on these.
//   single    the dialog's model: stored in single precision, formulas in
//             extended precision, rounded where stored;
//   double    IEEE binary64 throughout;
//   extended  the 64-bit significand throughout.

#include <cmath>
#include <cstring>

#include "numeric/extended.h"

enum class Precision { Single, Double, Wide };  // Wide: "extended"

struct SingleNumbers {
    using Storage = float;
    using Work = Extended;
    static constexpr Precision precision = Precision::Single;
    static constexpr double unit = 0x1p-23;  // the gap from 1 to the next value stored
    static float stored(Extended value) { return toFloat(value); }
    static Extended widened(float value) { return toExtended(value); }
    static Extended work(double value) { return toExtended(value); }
    static double plotted(Extended value) { return toDouble(value); }
    static bool finite(float value) { return std::isfinite(value); }
    static bool undefined(Extended value) { return isNan(value); }
    static bool finiteWork(Extended value) { return isFinite(value); }
    static Extended magnitudeOf(Extended value) { return magnitude(value); }
    static bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    static bool sameWork(Extended a, Extended b) { return !(a < b) && !(b < a) && signBit(a) == signBit(b); }
    // |a - b| as the dialog's lesson measures it: in double.
    static double distance(float a, float b) { return std::fabs(static_cast<double>(a) - static_cast<double>(b)); }
};

struct DoubleNumbers {
    using Storage = double;
    using Work = double;
    static constexpr Precision precision = Precision::Double;
    static constexpr double unit = 0x1p-52;
    static double stored(double value) { return value; }
    static double widened(double value) { return value; }
    static double work(double value) { return value; }
    static double plotted(double value) { return value; }
    static bool finite(double value) { return std::isfinite(value); }
    static bool undefined(double value) { return std::isnan(value); }
    static bool finiteWork(double value) { return std::isfinite(value); }
    static double magnitudeOf(double value) { return std::fabs(value); }
    static bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    static bool sameWork(double a, double b) { return sameBits(a, b); }
    static double distance(double a, double b) { return std::fabs(a - b); }
};

struct ExtendedNumbers {
    using Storage = Extended;
    using Work = Extended;
    static constexpr Precision precision = Precision::Wide;
    static constexpr double unit = 0x1p-63;
    static Extended stored(Extended value) { return value; }
    static Extended widened(Extended value) { return value; }
    static Extended work(double value) { return toExtended(value); }
    static double plotted(Extended value) { return toDouble(value); }
    static bool finite(Extended value) { return isFinite(value); }
    static bool undefined(Extended value) { return isNan(value); }
    static bool finiteWork(Extended value) { return isFinite(value); }
    static Extended magnitudeOf(Extended value) { return magnitude(value); }
    // Equal and of the same sign: the extended type has no padding-free
    // bytes to compare, and its values have one encoding each.
    static bool sameBits(Extended a, Extended b) { return !(a < b) && !(b < a) && signBit(a) == signBit(b); }
    static bool sameWork(Extended a, Extended b) { return sameBits(a, b); }
    static double distance(Extended a, Extended b) { return std::fabs(toDouble(a - b)); }
};
