#pragma once
// The methods a walk can take, the rules that stop it, what a walk ends
// with, how whoever walks is told about each step, and the one loop that
// walks every method.

#include <cstdint>
#include <optional>

// The method of chords and its modified forms, then the methods beside
// them: bisection, tangents (Newton), secants, the combined method of
// chords and tangents, and simple iteration x = phi(x).
enum class Method {
    Chords,
    Illinois,
    Pegasus,
    AndersonBjorck,
    Bisection,
    Newton,
    Secant,
    Combined,
    Iteration,
};

// The chords, plain or modified: the walk that keeps a bracket and moves
// one end a chord.
constexpr bool isChordMethod(Method method) {
    return method == Method::Chords || method == Method::Illinois || method == Method::Pegasus ||
           method == Method::AndersonBjorck;
}

// |F(x_n)| < EPS; |x_n - x_(n-1)| < EPS; |x_n - x_(n-1)| < EPS*|x_n|.
enum class StopRule { Residual, Step, Relative };

// The stopping tests every walk shares, over a number format.
// |F(x)| below EPS.
template <typename Numbers>
bool residualMet(typename Numbers::Storage fx, typename Numbers::Storage epsilon) {
    return Numbers::magnitudeOf(Numbers::widened(fx)) < Numbers::widened(epsilon);
}
// A step's length below EPS, or below EPS*|x| for the relative rule.
template <typename Numbers>
bool stepLengthMet(typename Numbers::Work length, typename Numbers::Storage x, typename Numbers::Storage epsilon,
                   StopRule rule) {
    const typename Numbers::Work limit = Numbers::widened(epsilon);
    return length < (rule == StopRule::Relative ? limit * Numbers::magnitudeOf(Numbers::widened(x)) : limit);
}

// A rule on the step met where |F(x)| has grown from the last
// approximation's and past F's size at both ends of the interval: the steps
// shrink while F grows, as they do closing in on a pole, where F changes
// sign through infinity; closing in on a root |F| falls. `previousSize` is
// |F| at the last approximation, 0 before the first. None without the
// ends' size.
template <typename Numbers>
bool closesOnPole(typename Numbers::Storage fx, typename Numbers::Work previousSize,
                  const std::optional<typename Numbers::Work>& endsSize) {
    const auto size = Numbers::magnitudeOf(Numbers::widened(fx));
    return endsSize && size > *endsSize && size > previousSize;
}

template <typename Numbers>
struct WalkOutcome {
    bool found = false;  // the last step met the stopping test
    std::optional<typename Numbers::Storage> x;  // none when no approximation was made
    typename Numbers::Storage fx{};
    std::uint32_t counter = 0;  // steps that missed the test
    typename Numbers::Storage a{};  // the bracket as the walk left it (the chords)
    typename Numbers::Storage b{};
};

// An observer made of two functions: onStep(number, step, met) -> bool,
// whether to go on; onIdle(first, last) for steps only counted.
template <typename OnStep, typename OnIdle>
struct StepObserver {
    OnStep onStep;
    OnIdle onIdle;
    template <typename Step>
    bool step(std::uint64_t number, const Step& step, bool met) {
        return onStep(number, step, met);
    }
    void idle(std::uint64_t first, std::uint64_t last) { onIdle(first, last); }
};
template <typename OnStep, typename OnIdle>
StepObserver<OnStep, OnIdle> observeSteps(OnStep onStep, OnIdle onIdle) {
    return {onStep, onIdle};
}

// An observer that wants nothing: the walk alone.
struct NoObserver {
    template <typename Step>
    bool step(std::uint64_t, const Step&, bool) const {
        return true;
    }
    void idle(std::uint64_t, std::uint64_t) const {}
};

// Walks any method, one step per call, telling the observer about every
// step and about the idle stretch that is only counted:
//   observer.step(number, step, met), answering whether to go on (a
//   reader that has gone away needs no more steps);
//   observer.idle(first, last) when steps first..last would repeat step
//   first - 1.
// Steps are numbered from 1: step n is taken with n - 1 steps behind it
// that missed the test. The walk ends when a step meets the test (found,
// counter unchanged for that step), when the counter reaches the limit
// (not found), when a step leaves nothing to go on from, or when a rule on
// the step is met closing in on a pole (not found). Once a step leaves the
// walk as it found it, the rest are counted up to the limit without being
// taken. A method's walk answers, by overloads of its own types:
//   takeStep(walk, equation, rules)   one step; the counter is this loop's;
//   stepMeets(step, walk, rules)      the stopping test;
//   poleTestApplies(walk, rules)      whether a met rule is checked for a pole;
//   stepEnds(step)                    nothing left to go on from;
//   stepRepeats(step, walk, rules)    every later step would be this one.
template <typename Numbers, typename Walk, typename Rules, typename Equation, typename Observer>
WalkOutcome<Numbers> walkSteps(Walk& walk, const Rules& rules, Equation& equation, Observer&& observer) {
    bool found = false;
    while (walk.counter < rules.limit) {
        const std::uint64_t number = std::uint64_t{walk.counter} + 1;
        const auto previousSize = walk.x ? Numbers::magnitudeOf(Numbers::widened(walk.fx)) : Numbers::work(0.0);
        auto step = takeStep(walk, equation, rules);
        found = stepMeets(step, walk, rules);
        if (found && poleTestApplies(walk, rules) && closesOnPole<Numbers>(step.fx, previousSize, rules.endsSize)) {
            found = false;
            step.pole = true;
        }
        if (!observer.step(number, step, found) || stepEnds(step) || step.pole || found) {
            break;
        }
        if (stepRepeats(step, walk, rules)) {
            if (number < rules.limit) {
                observer.idle(number + 1, std::uint64_t{rules.limit});
            }
            walk.counter = rules.limit;
            break;
        }
        ++walk.counter;
    }
    return {found, walk.x, walk.fx, walk.counter, walk.a, walk.b};
}
