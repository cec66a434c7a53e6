#pragma once
// The methods a walk can take, the rules that stop it, what a walk ends
// with and how whoever walks is told about each step.

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
