#pragma once

#include "numeric/extended.h"

// Upper 32 bits of a double (sign, exponent, top 20 fraction bits) from
// which the exponential leaves its normal range.
inline constexpr unsigned ExpOverflowHighWord = 0x40862E42u;   // t >= 709.7822265625
inline constexpr unsigned ExpUnderflowHighWord = 0x4086232Bu;  // t <= -708.39599609375

// e^t in extended precision (extendedExponential inside the range). The
// range is decided on the upper 32 bits of t alone: overflow yields
// +infinity and reports "exp: OVERFLOW error" to the range sink; underflow
// yields 0 silently.
Extended exponential(double t);
