#pragma once
// An expression evaluated over a whole interval of x at once: a pair of
// doubles certain to enclose every value it takes there. Each operation is
// done by MPFR with its lower end rounded down and its upper end rounded up,
// constants too, so the enclosure holds for the real numbers, not for any
// one precision's arithmetic. It may be wider than the true range (each
// occurrence of x varies on its own), never narrower.

#include "expression/expression.h"

struct Interval {
    double low;
    double high;
    // False when the expression may be undefined somewhere in the interval:
    // ln or log10 of a value <= 0, sqrt of a value < 0, division by an
    // interval holding 0, tan or cot across a pole, asin or acos of a
    // value outside [-1, 1], 0 to a power that may be negative, a negative
    // number to a power not known to be whole. low and high are then -inf
    // and +inf.
    bool defined;
};

// The values f takes for x between low and high (in either order; ends
// included). Ends may be infinite where the values are beyond double, or
// where MPFR's own range was left. An empty expression or a NaN end is
// undefined.
Interval evaluateInterval(const Expression& f, double low, double high);
