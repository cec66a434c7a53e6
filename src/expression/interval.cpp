#include "expression/interval.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "expression/mpfr_values.h"

namespace {

// Wider than double, so that a chain of operations loses less than the
// final rounding outwards to double.
constexpr mpfr_prec_t Bits = 64;

// [low, high], or nothing known when not defined. The ends point into the
// range's own values, which the holder keeps from being copied or moved.
struct Range {
    MpfrValues<2> ends{Bits};
    const mpfr_ptr low = ends[0];
    const mpfr_ptr high = ends[1];
    bool defined = true;
};

// Room for the candidates of an end: up to four corners.
struct Scratch {
    MpfrValues<4> candidates{Bits};
};

using Operation = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);
using Function = MpfrFunction;

void setAll(Range& r) {
    mpfr_set_inf(r.low, -1);
    mpfr_set_inf(r.high, 1);
}

void setUndefined(Range& r) {
    setAll(r);
    r.defined = false;
}

void setPoint(Range& r, long value) {
    mpfr_set_si(r.low, value, MPFR_RNDD);
    mpfr_set_si(r.high, value, MPFR_RNDU);
}

// A NaN end (inf - inf, inf/inf) says nothing: the end goes to infinity.
void widenNan(Range& r) {
    if (mpfr_nan_p(r.low)) {
        mpfr_set_inf(r.low, -1);
    }
    if (mpfr_nan_p(r.high)) {
        mpfr_set_inf(r.high, 1);
    }
}

bool holdsZero(const Range& r) {
    return mpfr_sgn(r.low) <= 0 && mpfr_sgn(r.high) >= 0;
}

bool isBounded(const Range& r) {
    return mpfr_number_p(r.low) && mpfr_number_p(r.high);
}

// 0 times an infinite end is 0: the end stands for values beyond any bound,
// and none of them times 0 is anything but 0.
int multiplyEnds(mpfr_ptr result, mpfr_srcptr x, mpfr_srcptr y, mpfr_rnd_t rounding) {
    if (mpfr_zero_p(x) || mpfr_zero_p(y)) {
        mpfr_set_zero(result, 1);
        return 0;
    }
    return mpfr_mul(result, x, y, rounding);
}

// For operations monotonic in each operand over the box (products,
// quotients by an interval without 0, powers of a base >= 0): the extremes
// are among the four corners.
void corners(Range& r, const Range& a, const Range& b, Operation operation, Scratch& scratch) {
    const mpfr_srcptr xs[2] = {a.low, a.high};
    const mpfr_srcptr ys[2] = {b.low, b.high};
    // A point operand has one end, not two: half the corners, or a quarter.
    const std::size_t columns = mpfr_equal_p(b.low, b.high) ? 1 : 2;
    const std::size_t count = (mpfr_equal_p(a.low, a.high) ? 1 : 2) * columns;
    for (const mpfr_rnd_t rounding : {MPFR_RNDD, MPFR_RNDU}) {
        bool unknown = false;
        for (std::size_t corner = 0; corner < count; ++corner) {
            operation(scratch.candidates[corner], xs[corner / columns], ys[corner % columns], rounding);
            unknown = unknown || mpfr_nan_p(scratch.candidates[corner]);
        }
        mpfr_ptr end = rounding == MPFR_RNDD ? r.low : r.high;
        if (unknown) {
            mpfr_set_inf(end, rounding == MPFR_RNDD ? -1 : 1);
            continue;
        }
        mpfr_set(end, scratch.candidates[0], MPFR_RNDN);
        for (std::size_t corner = 1; corner < count; ++corner) {
            const bool beyond = rounding == MPFR_RNDD ? mpfr_less_p(scratch.candidates[corner], end)
                                                      : mpfr_greater_p(scratch.candidates[corner], end);
            if (beyond) {
                mpfr_set(end, scratch.candidates[corner], MPFR_RNDN);
            }
        }
    }
}

void increasing(Range& r, const Range& a, Function function) {
    function(r.low, a.low, MPFR_RNDD);
    function(r.high, a.high, MPFR_RNDU);
    widenNan(r);
}

void decreasing(Range& r, const Range& a, Function function) {
    function(r.low, a.high, MPFR_RNDD);
    function(r.high, a.low, MPFR_RNDU);
    widenNan(r);
}

// abs and cosh: decreasing, then increasing from their least value at 0.
void even(Range& r, const Range& a, Function function, long atZero, Scratch& scratch) {
    if (mpfr_sgn(a.low) >= 0) {
        increasing(r, a, function);
        return;
    }
    if (mpfr_sgn(a.high) <= 0) {
        function(r.low, a.high, MPFR_RNDD);
        function(r.high, a.low, MPFR_RNDU);
    } else {
        mpfr_set_si(r.low, atZero, MPFR_RNDD);
        function(scratch.candidates[0], a.low, MPFR_RNDU);
        function(r.high, a.high, MPFR_RNDU);
        mpfr_max(r.high, r.high, scratch.candidates[0], MPFR_RNDU);
    }
    widenNan(r);
}

// Whether the interval may hold a point (k + shift)*period*pi for a whole
// k: a point of pi*period*[q.low, q.high] rounded outwards. Wrongly "yes"
// only costs tightness.
bool mayHoldPoint(const Range& x, unsigned long period, double shift, Scratch& scratch) {
    Range cycle;
    mpfr_const_pi(cycle.low, MPFR_RNDD);
    mpfr_const_pi(cycle.high, MPFR_RNDU);
    mpfr_mul_ui(cycle.low, cycle.low, period, MPFR_RNDD);
    mpfr_mul_ui(cycle.high, cycle.high, period, MPFR_RNDU);
    Range q;
    corners(q, x, cycle, mpfr_div, scratch);
    mpfr_sub_d(q.low, q.low, shift, MPFR_RNDD);
    mpfr_sub_d(q.high, q.high, shift, MPFR_RNDU);
    mpfr_ceil(scratch.candidates[0], q.low);
    return !mpfr_number_p(q.low) || !mpfr_number_p(q.high) || mpfr_lessequal_p(scratch.candidates[0], q.high);
}

// sin and cos: the ends' values, widened to 1 or -1 where a maximum or a
// minimum may lie between them. Over more than a period, all of [-1, 1].
void sinusoid(Range& r, const Range& a, bool cosine, Scratch& scratch) {
    if (isBounded(a)) {
        mpfr_sub(scratch.candidates[0], a.high, a.low, MPFR_RNDU);
    }
    if (!isBounded(a) || mpfr_cmp_ui(scratch.candidates[0], 7) >= 0) {
        setPoint(r, -1);
        mpfr_set_si(r.high, 1, MPFR_RNDU);
        return;
    }
    const Function function = cosine ? mpfr_cos : mpfr_sin;
    function(r.low, a.low, MPFR_RNDD);
    function(scratch.candidates[1], a.high, MPFR_RNDD);
    mpfr_min(r.low, r.low, scratch.candidates[1], MPFR_RNDD);
    function(r.high, a.low, MPFR_RNDU);
    function(scratch.candidates[1], a.high, MPFR_RNDU);
    mpfr_max(r.high, r.high, scratch.candidates[1], MPFR_RNDU);
    // Maxima: sin at (k + 1/4)*2pi, cos at k*2pi; minima: sin at
    // (k - 1/4)*2pi, cos at (k + 1/2)*2pi.
    if (mayHoldPoint(a, 2, cosine ? 0.0 : 0.25, scratch)) {
        mpfr_set_si(r.high, 1, MPFR_RNDU);
    }
    if (mayHoldPoint(a, 2, cosine ? 0.5 : -0.25, scratch)) {
        mpfr_set_si(r.low, -1, MPFR_RNDD);
    }
}

// tan increases between its poles at (k + 1/2)*pi.
void tangent(Range& r, const Range& a, Scratch& scratch) {
    if (!isBounded(a) || mayHoldPoint(a, 1, 0.5, scratch)) {
        setUndefined(r);
        return;
    }
    increasing(r, a, mpfr_tan);
}

// cot decreases between its poles at k*pi.
void cotangent(Range& r, const Range& a, Scratch& scratch) {
    if (!isBounded(a) || mayHoldPoint(a, 1, 0.0, scratch)) {
        setUndefined(r);
        return;
    }
    decreasing(r, a, mpfr_cot);
}

// asin increases and acos decreases over [-1, 1], and outside it neither
// has a value.
void inverseSine(Range& r, const Range& a, bool cosine) {
    if (mpfr_cmp_si(a.low, -1) < 0 || mpfr_cmp_si(a.high, 1) > 0) {
        setUndefined(r);
    } else if (cosine) {
        decreasing(r, a, mpfr_acos);
    } else {
        increasing(r, a, mpfr_asin);
    }
}

void applyFunction(Range& r, FunctionName name, const Range& a, Scratch& scratch) {
    switch (name) {
    case FunctionName::Exp: increasing(r, a, mpfr_exp); return;
    case FunctionName::Atan: increasing(r, a, mpfr_atan); return;
    case FunctionName::Sinh: increasing(r, a, mpfr_sinh); return;
    case FunctionName::Tanh: increasing(r, a, mpfr_tanh); return;
    case FunctionName::Ln:
    case FunctionName::Log10:
        if (mpfr_sgn(a.low) <= 0) {
            setUndefined(r);
        } else {
            increasing(r, a, name == FunctionName::Ln ? mpfr_log : mpfr_log10);
        }
        return;
    case FunctionName::Sqrt:
        if (mpfr_sgn(a.low) < 0) {
            setUndefined(r);
        } else {
            increasing(r, a, mpfr_sqrt);
        }
        return;
    case FunctionName::Abs: even(r, a, mpfr_abs, 0, scratch); return;
    case FunctionName::Cosh: even(r, a, mpfr_cosh, 1, scratch); return;
    case FunctionName::Sin: sinusoid(r, a, false, scratch); return;
    case FunctionName::Cos: sinusoid(r, a, true, scratch); return;
    case FunctionName::Tan: tangent(r, a, scratch); return;
    case FunctionName::Cot: cotangent(r, a, scratch); return;
    case FunctionName::Asin: inverseSine(r, a, false); return;
    case FunctionName::Acos: inverseSine(r, a, true); return;
    }
    setUndefined(r);
}

// As C's pow has it: a whole exponent takes any base but 0 to a negative
// power (x^2 of [-1, 2] is [0, 4]); any other exponent needs a base >= 0,
// and 0 only to a positive power. Over a base > 0, x^y = exp(y*ln x) is
// monotonic in each operand, so its extremes are at the corners.
void power(Range& r, const Range& a, const Range& b, Scratch& scratch) {
    if (mpfr_equal_p(b.low, b.high) && mpfr_integer_p(b.low)) {
        if (mpfr_zero_p(b.low)) {
            setPoint(r, 1);
            return;
        }
        const bool negative = mpfr_sgn(b.low) < 0;
        if (negative && holdsZero(a)) {
            setUndefined(r);
            return;
        }
        corners(r, a, b, mpfr_pow, scratch);
        mpfr_div_2ui(scratch.candidates[0], b.low, 1, MPFR_RNDN);
        const bool evenPower = mpfr_integer_p(scratch.candidates[0]) != 0;
        if (!negative && evenPower && mpfr_sgn(a.low) < 0 && mpfr_sgn(a.high) > 0) {
            mpfr_set_zero(r.low, 1);
        }
        return;
    }
    if (mpfr_sgn(a.low) < 0 || (mpfr_zero_p(a.low) && mpfr_sgn(b.low) <= 0) || mpfr_nan_p(b.low)) {
        setUndefined(r);
        return;
    }
    corners(r, a, b, mpfr_pow, scratch);
}

// A decimal constant as typed, rounded down and up. The point is taken out
// first ("0.25e1" is read as "025e-1"): MPFR reads the point of the C
// locale's LC_NUMERIC, and a program may have set another.
bool setConstant(Range& r, const std::string& text) {
    // An exponent past any MPFR range is cut short, and the end it would
    // have moved goes to 0 or to infinity.
    const std::optional<DecimalParts> parts = decimalParts(text, 100000000);
    if (!parts) {
        return false;
    }
    const std::string plain = parts->digits + "e" + std::to_string(parts->scale);
    if (mpfr_set_str(r.low, plain.c_str(), 10, MPFR_RNDD) != 0 ||
        mpfr_set_str(r.high, plain.c_str(), 10, MPFR_RNDU) != 0) {
        return false;
    }
    if (parts->exponentAtLimit && !parts->negativeExponent && !mpfr_zero_p(r.low)) {
        mpfr_set_inf(r.high, 1);
    } else if (parts->exponentAtLimit && parts->negativeExponent) {
        mpfr_set_zero(r.low, 1);
    }
    return true;
}

void evaluateNode(Range& r, const Node& node, const Range* values, std::size_t at, double low, double high,
                  Scratch& scratch) {
    const auto operand = [values, at](std::int32_t index) -> const Range* {
        return index >= 0 && static_cast<std::size_t>(index) < at ? &values[index] : nullptr;
    };
    const Range* a = operand(node.left);
    const Range* b = operand(node.right);
    const bool unary = node.kind == NodeKind::Negate || node.kind == NodeKind::Function;
    const bool binary = !unary && node.kind != NodeKind::Number && node.kind != NodeKind::Variable &&
                        node.kind != NodeKind::Pi && node.kind != NodeKind::E;
    if (((unary || binary) && (a == nullptr || !a->defined)) || (binary && (b == nullptr || !b->defined))) {
        setUndefined(r);
        return;
    }
    r.defined = true;
    switch (node.kind) {
    case NodeKind::Number:
        if (!setConstant(r, node.text)) {
            setUndefined(r);
        }
        return;
    case NodeKind::Variable:
        mpfr_set_d(r.low, low, MPFR_RNDD);
        mpfr_set_d(r.high, high, MPFR_RNDU);
        return;
    case NodeKind::Pi:
        mpfr_const_pi(r.low, MPFR_RNDD);
        mpfr_const_pi(r.high, MPFR_RNDU);
        return;
    case NodeKind::E:
        setPoint(r, 1);
        mpfr_exp(r.low, r.low, MPFR_RNDD);
        mpfr_exp(r.high, r.high, MPFR_RNDU);
        return;
    case NodeKind::Negate:
        mpfr_neg(r.low, a->high, MPFR_RNDD);
        mpfr_neg(r.high, a->low, MPFR_RNDU);
        return;
    case NodeKind::Add:
        mpfr_add(r.low, a->low, b->low, MPFR_RNDD);
        mpfr_add(r.high, a->high, b->high, MPFR_RNDU);
        widenNan(r);
        return;
    case NodeKind::Subtract:
        mpfr_sub(r.low, a->low, b->high, MPFR_RNDD);
        mpfr_sub(r.high, a->high, b->low, MPFR_RNDU);
        widenNan(r);
        return;
    case NodeKind::Multiply:
        corners(r, *a, *b, multiplyEnds, scratch);
        return;
    case NodeKind::Divide:
        if (holdsZero(*b)) {
            setUndefined(r);
        } else {
            corners(r, *a, *b, mpfr_div, scratch);
        }
        return;
    case NodeKind::Power:
        power(r, *a, *b, scratch);
        return;
    case NodeKind::Function:
        applyFunction(r, node.function, *a, scratch);
        return;
    }
    setUndefined(r);
}

}  // namespace

Interval evaluateInterval(const Expression& f, double low, double high) {
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    const Interval undefined{-Infinity, Infinity, false};
    if (f.root < 0 || static_cast<std::size_t>(f.root) >= f.nodes.size() || std::isnan(low) || std::isnan(high)) {
        return undefined;
    }
    if (low > high) {
        std::swap(low, high);
    }
    const std::size_t count = static_cast<std::size_t>(f.root) + 1;
    const std::unique_ptr<Range[]> values(new Range[count]);
    Scratch scratch;
    for (std::size_t at = 0; at < count; ++at) {
        evaluateNode(values[at], f.nodes[at], values.get(), at, low, high, scratch);
    }
    const Range& result = values[count - 1];
    if (!result.defined) {
        return undefined;
    }
    return {mpfr_get_d(result.low, MPFR_RNDD), mpfr_get_d(result.high, MPFR_RNDU), true};
}
