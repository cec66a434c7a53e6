#pragma once
// The methods beside the chords, one step per call with the stopping tests
// apart: bisection, tangents (Newton), secants, the combined method of
// chords and tangents, and simple iteration x = phi(x). Numbers alone:
// nothing is printed; whoever walks is told about every step.
//
// Values are stored in Numbers::Storage and formulas evaluated in
// Numbers::Work, in the order each formula is written below, as the chord
// walk does. A value of F a step has made is carried to the step that
// starts from it, never evaluated twice.
//
// The equation is any object with
//   Work operator()(Storage x)  F(x), NaN where F is not defined;
//   Work slope(Storage x)       F'(x) (Newton, the combined method);
//   Work map(Storage x)         phi(x) (simple iteration).

#include <cstdint>
#include <optional>

#include "numeric/number_formats.h"
#include "solver/chord_walk.h"
#include "solver/method.h"

// One step. Where it starts: the bracket [a, b] (bisection, the combined
// method), x_(n-1) in a and x_n in b (secants), x_n in a (Newton, simple
// iteration).
template <typename Numbers>
struct MethodStep {
    using Storage = typename Numbers::Storage;
    using Work = typename Numbers::Work;
    Storage a{};
    Storage b{};
    Work fa{};
    Work fb{};
    Work slope{};                     // F' where the tangent is drawn
    std::optional<Storage> chordX;    // the combined method's two new points
    std::optional<Storage> tangentX;
    std::optional<Storage> x;  // the new approximation; none where none can be made
    Storage fx{};
    // What the step rule measures: |x_(n+1) - x_n|; bisection's (b - a)/2;
    // the combined method's |x_tangent - x_chord|.
    std::optional<Work> length;
    bool undefined = false;  // F is not defined at x, or infinite: the walk ends here
    bool flat = false;       // F' = 0 where the tangent was to be drawn: it ends
    bool outside = false;    // x left the interval typed; the walk goes on
    bool pole = false;       // met a rule on the step where |F| grew past the ends': it ends
};

template <typename Numbers>
struct MethodWalk {
    using Storage = typename Numbers::Storage;
    using Work = typename Numbers::Work;
    Method method = Method::Bisection;
    Storage a{};
    Storage b{};
    Work fa{};
    Work fb{};
    bool tangentAtA = false;  // the combined method: the end where F*F'' > 0
    Storage low{};            // the interval typed, ascending
    Storage high{};
    std::uint32_t counter = 0;  // steps that missed the test so far
    std::optional<Storage> x;   // the last approximation
    Storage fx{};
};

template <typename Numbers>
struct MethodRules {
    typename Numbers::Storage epsilon{};
    std::uint32_t limit = 0;
    StopRule stop = StopRule::Residual;
    std::optional<typename Numbers::Work> endsSize;  // max |F| at the ends, for closesOnPole
};

// The walk before its first step. `start` is x_0 for Newton and simple
// iteration; the combined method draws its tangents from the end where
// F*F'' > 0 (tangentAtA). F is evaluated where the first step needs it.
template <typename Numbers, typename Equation>
MethodWalk<Numbers> startMethod(Method method, typename Numbers::Storage a, typename Numbers::Storage b,
                                typename Numbers::Storage start, bool tangentAtA, Equation& equation) {
    MethodWalk<Numbers> walk;
    walk.method = method;
    const bool ascending = Numbers::widened(a) < Numbers::widened(b);
    walk.low = ascending ? a : b;
    walk.high = ascending ? b : a;
    walk.tangentAtA = tangentAtA;
    const bool fromPoint = method == Method::Newton || method == Method::Iteration;
    walk.a = fromPoint ? start : a;
    walk.b = b;
    if (method != Method::Iteration) {
        walk.fa = equation(walk.a);
    }
    if (!fromPoint) {
        walk.fb = equation(walk.b);
    }
    return walk;
}

namespace method_steps {

template <typename Numbers>
typename Numbers::Work lengthOf(typename Numbers::Storage to, typename Numbers::Storage from) {
    return Numbers::magnitudeOf(Numbers::widened(to) - Numbers::widened(from));
}

template <typename Numbers>
bool negative(typename Numbers::Work value) {
    return value < Numbers::work(0.0);
}

// F at the new point, stored, and whether it left the interval typed.
template <typename Numbers, typename Equation>
typename Numbers::Work land(MethodStep<Numbers>& step, const MethodWalk<Numbers>& walk, Equation& equation) {
    const typename Numbers::Work fx = equation(*step.x);
    step.fx = Numbers::stored(fx);
    // Infinite where F has a pole: no root there, and nothing to go on from.
    step.undefined = Numbers::undefined(fx) || !Numbers::finite(Numbers::stored(fx));
    step.outside = Numbers::widened(*step.x) < Numbers::widened(walk.low) ||
                   Numbers::widened(walk.high) < Numbers::widened(*step.x);
    return fx;
}

// A point made by a formula, stored; none where it is not finite.
template <typename Numbers>
std::optional<typename Numbers::Storage> pointOf(typename Numbers::Work value) {
    const typename Numbers::Storage x = Numbers::stored(value);
    return Numbers::finite(x) ? std::optional(x) : std::nullopt;
}

// p = a + (b - a)/2; the half where F changes sign is kept.
template <typename Numbers, typename Equation>
void bisect(MethodWalk<Numbers>& walk, MethodStep<Numbers>& step, Equation& equation) {
    const auto wideA = Numbers::widened(walk.a);
    const auto half = (Numbers::widened(walk.b) - wideA) / Numbers::work(2.0);
    step.x = Numbers::stored(wideA + half);
    step.length = Numbers::magnitudeOf(half);
    const auto fx = land(step, walk, equation);
    if (negative<Numbers>(walk.fa) == negative<Numbers>(fx)) {
        walk.a = *step.x;
        walk.fa = fx;
    } else {
        walk.b = *step.x;
        walk.fb = fx;
    }
}

// x_(n+1) = x_n - F(x_n)/F'(x_n).
template <typename Numbers, typename Equation>
void tangent(MethodWalk<Numbers>& walk, MethodStep<Numbers>& step, Equation& equation) {
    step.slope = equation.slope(walk.a);
    step.flat = step.slope == Numbers::work(0.0);
    if (step.flat) {
        return;
    }
    step.x = pointOf<Numbers>(Numbers::widened(walk.a) - walk.fa / step.slope);
    if (step.x) {
        step.length = lengthOf<Numbers>(*step.x, walk.a);
        walk.fa = land(step, walk, equation);
        walk.a = *step.x;
    }
}

// x_(n+1) = x_n - F(x_n)*(x_n - x_(n-1))/(F(x_n) - F(x_(n-1))), the oldest
// point dropped.
template <typename Numbers, typename Equation>
void secant(MethodWalk<Numbers>& walk, MethodStep<Numbers>& step, Equation& equation) {
    const auto denominator = walk.fb - walk.fa;
    if (denominator == Numbers::work(0.0)) {
        return;
    }
    const auto wideB = Numbers::widened(walk.b);
    step.x = pointOf<Numbers>(wideB - walk.fb * (wideB - Numbers::widened(walk.a)) / denominator);
    if (step.x) {
        step.length = lengthOf<Numbers>(*step.x, walk.b);
        const auto fx = land(step, walk, equation);
        walk.a = walk.b;
        walk.fa = walk.fb;
        walk.b = *step.x;
        walk.fb = fx;
    }
}

// The tangent from the end where F*F'' > 0 and the chord across [a, b]
// close in from both sides; the approximation is their midpoint,
// (x_chord + x_tangent)/2.
template <typename Numbers, typename Equation>
void combine(MethodWalk<Numbers>& walk, MethodStep<Numbers>& step, Equation& equation) {
    auto& tangentEnd = walk.tangentAtA ? walk.a : walk.b;
    auto& tangentValue = walk.tangentAtA ? walk.fa : walk.fb;
    step.slope = equation.slope(tangentEnd);
    step.flat = step.slope == Numbers::work(0.0);
    if (step.flat) {
        return;
    }
    step.chordX = chordPointOf<Numbers>(walk.a, walk.b, walk.fa, walk.fb);
    step.tangentX = pointOf<Numbers>(Numbers::widened(tangentEnd) - tangentValue / step.slope);
    if (!step.chordX || !step.tangentX) {
        return;
    }
    const auto wideChord = Numbers::widened(*step.chordX);
    const auto wideTangent = Numbers::widened(*step.tangentX);
    step.x = Numbers::stored((wideChord + wideTangent) / Numbers::work(2.0));
    step.length = Numbers::magnitudeOf(wideTangent - wideChord);
    land(step, walk, equation);
    (walk.tangentAtA ? walk.b : walk.a) = *step.chordX;
    (walk.tangentAtA ? walk.fb : walk.fa) = equation(*step.chordX);
    tangentEnd = *step.tangentX;
    tangentValue = equation(*step.tangentX);
}

// x_(n+1) = phi(x_n).
template <typename Numbers, typename Equation>
void iterate(MethodWalk<Numbers>& walk, MethodStep<Numbers>& step, Equation& equation) {
    step.x = pointOf<Numbers>(equation.map(walk.a));
    if (step.x) {
        step.length = lengthOf<Numbers>(*step.x, walk.a);
        land(step, walk, equation);
        walk.a = *step.x;
    }
}

}  // namespace method_steps

// The methods as the one loop of solver/method.h walks them.
// One step of the walk's method.
template <typename Numbers, typename Equation>
MethodStep<Numbers> takeStep(MethodWalk<Numbers>& walk, Equation& equation, const MethodRules<Numbers>&) {
    MethodStep<Numbers> step;
    step.a = walk.a;
    step.b = walk.b;
    step.fa = walk.fa;
    step.fb = walk.fb;
    switch (walk.method) {
    case Method::Bisection:
        method_steps::bisect(walk, step, equation);
        break;
    case Method::Newton:
        method_steps::tangent(walk, step, equation);
        break;
    case Method::Secant:
        method_steps::secant(walk, step, equation);
        break;
    case Method::Combined:
        method_steps::combine(walk, step, equation);
        break;
    case Method::Iteration:
        method_steps::iterate(walk, step, equation);
        break;
    default:
        break;  // the chords walk on their own
    }
    if (step.x) {
        walk.x = step.x;
        walk.fx = step.fx;
    }
    return step;
}

// A step that leaves nothing to go on from.
template <typename Numbers>
bool stepEnds(const MethodStep<Numbers>& step) {
    return !step.x || step.undefined;
}

// The stopping test for one step. The combined method stops when its two
// points are closer than 2*EPS, whatever the rule; bisection when it lands
// on an exact zero.
template <typename Numbers>
bool stepMeets(const MethodStep<Numbers>& step, const MethodWalk<Numbers>& walk, const MethodRules<Numbers>& rules) {
    if (stepEnds(step)) {
        return false;
    }
    if (walk.method == Method::Combined) {
        return *step.length < Numbers::work(2.0) * Numbers::widened(rules.epsilon);
    }
    if (walk.method == Method::Bisection && Numbers::widened(step.fx) == Numbers::work(0.0)) {
        return true;
    }
    return rules.stop == StopRule::Residual ? residualMet<Numbers>(step.fx, rules.epsilon)
                                            : stepLengthMet<Numbers>(*step.length, *step.x, rules.epsilon, rules.stop);
}
// The combined method's own rule is not a rule on the step.
template <typename Numbers>
bool poleTestApplies(const MethodWalk<Numbers>& walk, const MethodRules<Numbers>& rules) {
    return rules.stop != StopRule::Residual && walk.method != Method::Combined;
}
// A step that left the walk's points and their values as it found them
// (bisection's midpoint rounded to an end, a tangent or phi that returns
// x_n itself): every later step would be the same one.
template <typename Numbers>
bool stepRepeats(const MethodStep<Numbers>& step, const MethodWalk<Numbers>& walk, const MethodRules<Numbers>&) {
    return Numbers::sameBits(step.a, walk.a) && Numbers::sameBits(step.b, walk.b) &&
           Numbers::sameWork(step.fa, walk.fa) && Numbers::sameWork(step.fb, walk.fb);
}

// Walks the method from its start with the one loop of solver/method.h.
template <typename Numbers, typename Equation, typename Observer>
WalkOutcome<Numbers> walkMethod(MethodWalk<Numbers> walk, const MethodRules<Numbers>& rules, Equation& equation,
                                Observer&& observer) {
    return walkSteps<Numbers>(walk, rules, equation, observer);
}

// The a-priori count of bisection: the smallest n with (b - a)/2^n <= EPS,
// by halving in the format; none where EPS is not positive or the halving
// does not reach it.
template <typename Numbers>
std::optional<std::uint32_t> bisectionCount(typename Numbers::Storage a, typename Numbers::Storage b,
                                            typename Numbers::Storage epsilon) {
    const auto limit = Numbers::widened(epsilon);
    if (!(limit > Numbers::work(0.0))) {
        return std::nullopt;
    }
    auto width = Numbers::magnitudeOf(Numbers::widened(b) - Numbers::widened(a));
    for (std::uint32_t n = 0; n < 20000; ++n) {
        if (width <= limit) {
            return n;
        }
        width = width / Numbers::work(2.0);
    }
    return std::nullopt;
}

// Simple iteration's a-priori count: the smallest n with
// q^n*|x_1 - x_0|/(1 - q) <= EPS, by multiplying in double, once the first
// step is known; none where q is not below 1 or the count passes 100000.
inline std::optional<std::uint32_t> iterationCount(double q, double firstStep, double epsilon) {
    if (!(q >= 0.0 && q < 1.0) || !(epsilon > 0.0)) {
        return std::nullopt;
    }
    double bound = firstStep / (1.0 - q);
    for (std::uint32_t n = 0; n <= 100000; ++n) {
        if (bound <= epsilon) {
            return n;
        }
        bound *= q;
    }
    return std::nullopt;
}
