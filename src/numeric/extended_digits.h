#pragma once
// The shortest decimal text that a correctly rounding reader turns back into
// the same extended value, worked out in exact integer arithmetic, so that
// every platform writes the same digits whatever its long double is.

#include <string>

#include "numeric/extended.h"

// "-1.25", "0.000155", "4.2e-3000": positional while the decimal exponent is
// from -5 to 20, scientific beyond; "inf", "-inf", "nan" otherwise, as
// spreadsheets and Python's float() read them.
std::string shortestExtendedText(const SoftExtended& value);

inline std::string shortestExtendedText(long double value) {
    return shortestExtendedText(softFromLongDouble(value));
}
