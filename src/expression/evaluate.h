#pragma once
// An expression evaluated in one of three precisions, with the same bits on
// every platform: + - * / rounded per operation in the format, and the
// elementary functions and powers correctly rounded to it by MPFR, which
// gives one answer everywhere (the C libraries' functions differ between
// glibc, MinGW and the ARM libraries).
//   single    the dialog's model: formulas in extended precision (values
//             stored in single precision by the walk), decimal constants
//             the nearest double, as the fixed F's 0.2 is;
//   double    IEEE binary64 throughout;
//   extended  the 64-bit significand throughout, constants the nearest
//             extended value.

#include <memory>
#include <string>
#include <vector>

#include "expression/expression.h"
#include "numeric/extended.h"
#include "numeric/number_formats.h"


struct MpfrScratch;

// The expression with its constants rounded once for the precision, and
// room to evaluate it. Not to be shared between threads.
struct Evaluator {
    Evaluator(const Expression& typed, Precision chosen);
    ~Evaluator();
    Evaluator(Evaluator&&) noexcept;
    Evaluator& operator=(Evaluator&&) = delete;
    Evaluator(const Evaluator&) = delete;

    const Expression* expression;
    Precision precision;
    std::vector<double> doubleConstants;      // by node: Number, Pi, E
    std::vector<Extended> extendedConstants;  // by node
    std::vector<double> doubleValues;         // scratch, by node
    std::vector<Extended> extendedValues;
    std::unique_ptr<MpfrScratch> scratch;
};

// F(x) in binary64 (precision double).
double evaluateDouble(Evaluator& evaluator, double x);
// F(x) in extended precision (precisions single and extended). A NaN is
// always the same one, whatever operation made it.
Extended evaluateExtended(Evaluator& evaluator, Extended x);

// An expression without x (an end of the interval typed as "3*pi/2")
// evaluated once, exactly as F would be in the precision: binary64 for
// double, extended for single and extended, with single's decimal
// constants the nearest double. NaN for an empty expression.
double constantDouble(const Expression& constant);
Extended constantExtended(const Expression& constant, Precision precision);  // single or extended

// A decimal number, already checked by the dialog's number rules, correctly
// rounded into binary64 or the extended format, subnormals included.
double nearestDouble(const std::string& decimal);
Extended nearestExtended(const std::string& decimal);

// An extended value in six significant digits, as printf's %.6g writes a
// double, from the value itself: beyond the range of doubles too.
std::string sixSignificantDigits(Extended value);
