#pragma once

#include <cstdint>
#include <string>

// The "%.6g" form of the value widened to double, with "." as the decimal
// point whatever the locale; infinities and NaNs as "+INF", "-INF", "+NAN",
// "-NAN".
std::string formatReal(float value);

// How every number the program writes spells a value that is not finite:
// "+INF", "-INF", "+NAN" or "-NAN".
const char* nonFiniteText(bool infinite, bool negative);

// The unsigned decimal digits of the value.
std::string formatCount(std::uint32_t value);

// The nine significant digits of a finite float as std::to_chars writes the
// value widened to double in the general form with precision 9 ("%.9g"),
// written at `out` (at most 16 bytes); returns the end. Exact integer
// arithmetic on the float's 24-bit significand, several times faster.
char* writeFloatDigits9(char* out, float value);
