#pragma once

#include <cstdint>

#include "numeric/extended.h"

// F(x) = 2*e^(-x) + 0.2*x*x - 1.5 in extended precision, not rounded:
// 2*t, then (0.2*x)*x with 0.2 as the nearest double, then the sum, then 1.5
// subtracted. Evaluated afresh on every call; an exponential that overflows
// reports its range event each time.
Extended equationF(float x);

// How many times F has been evaluated in this process: the measure of the
// work a run did.
std::uint64_t equationEvaluationCount();

// True when the interval [a, b] cannot be searched: F(a), stored in single
// precision, times F(b) at full precision is positive. Also true when an end
// is infinite or F(a) does not fit single precision, since no chord can be
// drawn from such values. F is evaluated exactly twice, at a first.
bool intervalRejected(float a, float b);
