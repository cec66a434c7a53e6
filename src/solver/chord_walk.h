#pragma once
// The method of chords, one chord per call with the stopping tests apart,
// over any number format and any equation: the dialog's own F in its model,
// or an equation a teacher typed in the precision chosen. The plain method
// and its modified forms are one loop; a method is only the factor that
// scales the value kept at an end that stays a second time in a row, so
// that the walk no longer crawls from one side. Numbers alone: nothing is
// printed; whoever walks is told about every chord.
//
// Values are stored in Numbers::Storage and formulas evaluated in
// Numbers::Work (numeric/number_formats.h). F(a) enters a chord as stored,
// F(b) unrounded. An end's value is evaluated afresh for every chord, as the
// dialog evaluates F three times a chord; only a scaled value is carried.
//
// The equation is any object with
//   Work operator()(Storage x)         F(x), NaN where F is not defined;
//   std::uint64_t rangeEvents() const  range events reported so far (a
//                                      chord that reported one is never
//                                      taken for a repetition).

#include <cstdint>
#include <optional>

#include "numeric/number_formats.h"
#include "solver/method.h"

// Which end of the interval a chord's point replaced.
enum class ChordEnd { None, A, B };

// One chord across [a, b]: the values it was drawn from and where it
// landed. x is empty when no point can be drawn (zero denominator, or a
// point that is not finite); fx is then meaningless and no end moves.
template <typename Numbers>
struct Chord {
    using Storage = typename Numbers::Storage;
    using Work = typename Numbers::Work;
    Storage a{};
    Storage b{};
    Work fa{};  // F(a) as stored, or the scaled value kept at a
    Work fb{};  // F(b) unrounded, or the scaled value kept at b
    bool faScaled = false;
    bool fbScaled = false;
    std::optional<Storage> x;
    Storage fx{};
    ChordEnd replaced = ChordEnd::None;
    // The factor the kept end's value was multiplied by after this chord,
    // for the chords that follow; none where nothing was scaled.
    std::optional<Work> scale;
    bool undefined = false;      // F is not defined at x: the walk ends here
    bool rangeReported = false;  // an evaluation of F reported a range event
    bool pole = false;  // met a rule on the step where |F| grew past the ends': the walk ends
};

// What the walk carries from one chord to the next.
template <typename Numbers>
struct ChordWalk {
    typename Numbers::Storage a{};
    typename Numbers::Storage b{};
    std::optional<typename Numbers::Work> scaledA;  // a modified method's value kept at a
    std::optional<typename Numbers::Work> scaledB;
    ChordEnd lastReplaced = ChordEnd::None;
    std::uint32_t counter = 0;                    // chords that missed the accuracy so far
    std::optional<typename Numbers::Storage> x;   // the last approximation
    std::optional<typename Numbers::Storage> previousX;
    typename Numbers::Storage fx{};  // F at the last approximation, as stored
};

template <typename Numbers>
struct ChordRules {
    typename Numbers::Storage epsilon{};
    std::uint32_t limit = 0;
    Method method = Method::Chords;
    StopRule stop = StopRule::Residual;
    std::optional<typename Numbers::Work> endsSize;  // max |F| at the ends, for closesOnPole
};

// The modified methods' factor for the value kept at an end that stays a
// second time: `replaced` is F at the end just replaced (the newest point
// before this chord), `fx` F at the new point.
template <typename Numbers>
typename Numbers::Work keptEndFactor(Method method, typename Numbers::Work replaced,
                                     typename Numbers::Work fx) {
    using Work = typename Numbers::Work;
    const Work half = Numbers::work(0.5);
    switch (method) {
    case Method::Illinois:
        return half;
    case Method::Pegasus: {
        // Both zero only where the walk sits on an exact root (EPS 0):
        // Illinois' half, as Anderson-Bjorck falls back to, not 0/0.
        const Work sum = replaced + fx;
        return sum == Numbers::work(0.0) ? half : replaced / sum;
    }
    case Method::AndersonBjorck: {
        const Work m = Numbers::work(1.0) - fx / replaced;
        return m > Numbers::work(0.0) ? m : half;
    }
    default:
        break;
    }
    return Numbers::work(1.0);
}

// a - fa*((a - b)/(fa - fb)) in the working format, in that order, stored;
// none for a zero denominator or a point that is not finite.
template <typename Numbers>
std::optional<typename Numbers::Storage> chordPointOf(typename Numbers::Storage a, typename Numbers::Storage b,
                                                      typename Numbers::Work fa, typename Numbers::Work fb) {
    const typename Numbers::Work denominator = fa - fb;
    if (denominator == Numbers::work(0.0)) {
        return std::nullopt;
    }
    const typename Numbers::Work wideA = Numbers::widened(a);
    const auto x = Numbers::stored(wideA - fa * ((wideA - Numbers::widened(b)) / denominator));
    if (!Numbers::finite(x)) {
        return std::nullopt;
    }
    return x;
}

// The walk before the first chord: the interval as given, counter 0.
template <typename Numbers>
ChordWalk<Numbers> startWalk(typename Numbers::Storage a, typename Numbers::Storage b) {
    ChordWalk<Numbers> walk;
    walk.a = a;
    walk.b = b;
    return walk;
}

// Draws one chord from the walk's ends, evaluating F at a, at b and at the
// new point in that order (a scaled end is not evaluated), and moves one
// end to the point: a when F(a) and F(x) have the same sign, b otherwise.
// Where the method keeps an end a second time, its value is scaled for the
// chords that follow. The counter is the caller's.
template <typename Numbers, typename Equation>
Chord<Numbers> drawChord(ChordWalk<Numbers>& walk, Equation& equation, Method method) {
    using Work = typename Numbers::Work;
    const std::uint64_t eventsBefore = equation.rangeEvents();
    Chord<Numbers> chord;
    chord.a = walk.a;
    chord.b = walk.b;
    chord.faScaled = walk.scaledA.has_value();
    chord.fbScaled = walk.scaledB.has_value();
    chord.fa = chord.faScaled ? *walk.scaledA : Numbers::widened(Numbers::stored(equation(walk.a)));
    chord.fb = chord.fbScaled ? *walk.scaledB : equation(walk.b);
    chord.x = chordPointOf<Numbers>(walk.a, walk.b, chord.fa, chord.fb);
    if (chord.x) {
        const Work fxWork = equation(*chord.x);
        chord.fx = Numbers::stored(fxWork);
        chord.undefined = Numbers::undefined(fxWork);
        walk.previousX = walk.x;
        walk.x = chord.x;
        walk.fx = chord.fx;
        if (!chord.undefined) {
            const Work fx = Numbers::widened(chord.fx);
            const bool sideOfA = chord.fa * fx > Numbers::work(0.0);
            chord.replaced = sideOfA ? ChordEnd::A : ChordEnd::B;
            if (method != Method::Chords) {
                if (walk.lastReplaced == chord.replaced) {  // the other end kept a second time
                    chord.scale = keptEndFactor<Numbers>(method, sideOfA ? chord.fa : chord.fb, fx);
                    (sideOfA ? walk.scaledB : walk.scaledA) = (sideOfA ? chord.fb : chord.fa) * *chord.scale;
                }
                (sideOfA ? walk.scaledA : walk.scaledB).reset();
            }
            (sideOfA ? walk.a : walk.b) = *chord.x;
            walk.lastReplaced = chord.replaced;
        }
    }
    chord.rangeReported = equation.rangeEvents() != eventsBefore;
    return chord;
}

// The stopping tests, apart from stepping.
// |x_n - x_(n-1)| below EPS (or EPS*|x_n|); never for the first approximation.
template <typename Numbers>
bool stepMet(const ChordWalk<Numbers>& walk, typename Numbers::Storage epsilon, StopRule rule) {
    return walk.x && walk.previousX &&
           stepLengthMet<Numbers>(Numbers::magnitudeOf(Numbers::widened(*walk.x) - Numbers::widened(*walk.previousX)),
                                  *walk.x, epsilon, rule);
}

// The chords as the one loop of solver/method.h walks them.
template <typename Numbers, typename Equation>
Chord<Numbers> takeStep(ChordWalk<Numbers>& walk, Equation& equation, const ChordRules<Numbers>& rules) {
    return drawChord(walk, equation, rules.method);
}
// No chord could be drawn, or F is not defined where it landed.
template <typename Numbers>
bool stepEnds(const Chord<Numbers>& chord) {
    return !chord.x || chord.undefined;
}
// The chord landed where F is defined and met the rule's test.
template <typename Numbers>
bool stepMeets(const Chord<Numbers>& chord, const ChordWalk<Numbers>& walk, const ChordRules<Numbers>& rules) {
    if (stepEnds(chord)) {
        return false;
    }
    return rules.stop == StopRule::Residual ? residualMet<Numbers>(chord.fx, rules.epsilon)
                                            : stepMet(walk, rules.epsilon, rules.stop);
}
template <typename Numbers>
bool poleTestApplies(const ChordWalk<Numbers>&, const ChordRules<Numbers>& rules) {
    return rules.stop != StopRule::Residual;
}
// A plain chord that left both ends exactly as they were and reported no
// range event: every later chord would be the same one, with the same
// outcome. A modified method cannot repeat, its kept value keeps changing.
template <typename Numbers>
bool stepRepeats(const Chord<Numbers>& chord, const ChordWalk<Numbers>& walk, const ChordRules<Numbers>& rules) {
    return rules.method == Method::Chords && chord.x && !chord.rangeReported && Numbers::sameBits(chord.a, walk.a) &&
           Numbers::sameBits(chord.b, walk.b);
}

// The chords from [a, b]: the one loop of solver/method.h over a walk
// started on the interval as given, counter 0.
template <typename Numbers, typename Equation, typename Observer>
WalkOutcome<Numbers> walkChords(typename Numbers::Storage a, typename Numbers::Storage b,
                                const ChordRules<Numbers>& rules, Equation& equation, Observer&& observer) {
    ChordWalk<Numbers> walk = startWalk<Numbers>(a, b);
    return walkSteps<Numbers>(walk, rules, equation, observer);
}
