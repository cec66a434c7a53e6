#pragma once
// The method of chords on an equation a teacher typed, in a precision of
// the teacher's choosing, and its modified forms, which scale the value
// kept at an end that stays twice in a row so that the walk no longer
// crawls from one side. Numbers alone, like the dialog's walk: F is handed
// in, the walk tells its caller about every chord.
//
// Values are stored in Storage (float, double or the extended type); F and
// the chord's formula are evaluated in Work (the extended type for single
// and extended, double for double). As in the dialog, F(a) is used as
// stored and F(b) unrounded.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

#include "solver/chord.h"

enum class ChordMethod { Plain, Illinois, Pegasus, AndersonBjorck };
enum class StopRule { Residual, Step };

// One chord of a typed walk. fa and fb are the values the chord is drawn
// from: F's own, or for a modified method the scaled value at the end kept.
template <typename Storage, typename Work>
struct TypedStep {
    Storage a{};
    Storage b{};
    Work fa{};
    Work fb{};
    bool faScaled = false;
    bool fbScaled = false;
    std::optional<Storage> x;
    Storage fx{};
    ChordEnd replaced = ChordEnd::None;
    // The factor the kept end's value was multiplied by after this chord
    // (for the chords that follow); none where nothing was scaled.
    std::optional<Work> scale;
    bool undefined = false;  // F is not defined at x: the walk ends here
};

template <typename Storage, typename Work>
struct TypedState {
    Storage a{};
    Storage b{};
    Work fa{};
    Work fb{};
    bool faScaled = false;
    bool fbScaled = false;
    ChordEnd lastReplaced = ChordEnd::None;
    std::uint32_t counter = 0;
    std::optional<Storage> x;
    std::optional<Storage> previousX;
};

template <typename Storage, typename Work>
struct TypedParameters {
    Storage a{};
    Storage b{};
    Storage epsilon{};
    std::uint32_t limit = 0;
    ChordMethod method = ChordMethod::Plain;
    StopRule stop = StopRule::Residual;
};

template <typename Storage, typename Work>
struct TypedOutcome {
    bool found = false;
    std::optional<Storage> x;
    Storage fx{};
    std::uint32_t counter = 0;
};

// Rounding between the two: to storage, and back exactly.
inline float storedAs(float, Extended value) { return toFloat(value); }
inline double storedAs(double, double value) { return value; }
template <typename Type>
    requires(!std::is_same_v<Type, float> && !std::is_same_v<Type, double>)
Type storedAs(Type, Type value) {
    return value;
}
inline Extended widened(float value) { return toExtended(value); }
inline double widened(double value) { return value; }
template <typename Type>
    requires(!std::is_same_v<Type, float> && !std::is_same_v<Type, double>)
Type widened(Type value) {
    return value;
}

inline bool isFiniteValue(float value) { return std::isfinite(value); }
inline bool isFiniteValue(double value) { return std::isfinite(value); }
template <typename Type>
    requires(!std::is_same_v<Type, float> && !std::is_same_v<Type, double>)
bool isFiniteValue(Type value) {
    return isFinite(value);
}
inline bool isNanValue(double value) { return std::isnan(value); }
template <typename Type>
    requires(!std::is_same_v<Type, double>)
bool isNanValue(Type value) {
    return isNan(value);
}
inline double magnitudeOf(double value) { return std::fabs(value); }
template <typename Type>
    requires(!std::is_same_v<Type, double>)
Type magnitudeOf(Type value) {
    return magnitude(value);
}

template <typename Storage>
bool sameBitsOf(Storage a, Storage b) {
    if constexpr (std::is_same_v<Storage, float> || std::is_same_v<Storage, double>) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    } else {
        return !(a < b) && !(b < a) && signBit(a) == signBit(b);
    }
}

// Work(0.5) for double; for the extended type, its own conversion.
template <typename Work>
Work workOf(double value) {
    if constexpr (std::is_same_v<Work, double>) {
        return value;
    } else {
        return toExtended(value);
    }
}

// The modified methods' factor for the value kept at an end that stays a
// second time: `replaced` is F at the end just replaced (the newest point
// before this chord), `fx` F at the new point.
template <typename Work>
Work keptEndFactor(ChordMethod method, Work replaced, Work fx) {
    const Work half = workOf<Work>(0.5);
    switch (method) {
    case ChordMethod::Illinois:
        return half;
    case ChordMethod::Pegasus: {
        // Both zero only where the walk sits on an exact root (EPS 0):
        // Illinois' half, as Anderson-Bjorck falls back to, not 0/0.
        const Work sum = replaced + fx;
        return sum == workOf<Work>(0.0) ? half : replaced / sum;
    }
    case ChordMethod::AndersonBjorck: {
        const Work m = workOf<Work>(1.0) - fx / replaced;
        return m > workOf<Work>(0.0) ? m : half;
    }
    case ChordMethod::Plain:
        break;
    }
    return workOf<Work>(1.0);
}

// The chords, F handed in as evaluate(Storage) -> Work. Chords are numbered
// from 1 as in the dialog's walk; a plain walk whose chord repeats itself
// counts the rest without drawing them (onIdle), a modified one cannot
// repeat, since the kept value keeps changing.
template <typename Storage, typename Work, typename Evaluate, typename OnChord, typename OnIdle>
TypedOutcome<Storage, Work> walkTypedChords(const TypedParameters<Storage, Work>& parameters,
                                            Evaluate evaluate, OnChord onChord, OnIdle onIdle) {
    TypedState<Storage, Work> state;
    state.a = parameters.a;
    state.b = parameters.b;
    state.fa = widened(storedAs(Storage{}, evaluate(state.a)));
    state.fb = evaluate(state.b);
    const Work zero = workOf<Work>(0.0);
    TypedOutcome<Storage, Work> outcome;
    while (state.counter < parameters.limit) {
        const std::uint64_t number = std::uint64_t{state.counter} + 1;
        TypedStep<Storage, Work> step;
        step.a = state.a;
        step.b = state.b;
        step.fa = state.fa;
        step.fb = state.fb;
        step.faScaled = state.faScaled;
        step.fbScaled = state.fbScaled;
        const Work denominator = state.fa - state.fb;
        std::optional<Storage> x;
        if (!(denominator == zero)) {
            const Work wideA = widened(state.a);
            const Storage point =
                storedAs(Storage{}, wideA - state.fa * ((wideA - widened(state.b)) / denominator));
            if (isFiniteValue(point)) {
                x = point;
            }
        }
        step.x = x;
        bool found = false;
        if (x) {
            const Work fxWork = evaluate(*x);
            step.fx = storedAs(Storage{}, fxWork);
            step.undefined = isNanValue(fxWork);
            state.previousX = state.x;
            state.x = x;
            outcome.x = x;
            outcome.fx = step.fx;
            if (!step.undefined) {
                const Work fx = widened(step.fx);
                const bool sideOfA = state.fa * fx > zero;
                step.replaced = sideOfA ? ChordEnd::A : ChordEnd::B;
                const bool keptTwice = parameters.method != ChordMethod::Plain &&
                                       state.lastReplaced == step.replaced;
                if (sideOfA) {
                    if (keptTwice) {
                        step.scale = keptEndFactor(parameters.method, state.fa, fx);
                        state.fb = state.fb * *step.scale;
                        state.fbScaled = true;
                    }
                    state.a = *x;
                    state.fa = fx;
                    state.faScaled = false;
                } else {
                    if (keptTwice) {
                        step.scale = keptEndFactor(parameters.method, state.fb, fx);
                        state.fa = state.fa * *step.scale;
                        state.faScaled = true;
                    }
                    state.b = *x;
                    state.fb = fxWork;  // unrounded at b, as the dialog uses F(b)
                    state.fbScaled = false;
                }
                state.lastReplaced = step.replaced;
                found = parameters.stop == StopRule::Residual
                            ? magnitudeOf(fx) < widened(parameters.epsilon)
                            : state.previousX &&
                                  magnitudeOf(widened(*x) - widened(*state.previousX)) <
                                      widened(parameters.epsilon);
            }
        }
        outcome.found = found;
        if (!onChord(number, step, found) || !x || step.undefined || found) {
            break;
        }
        const bool repeats = parameters.method == ChordMethod::Plain && sameBitsOf(step.a, state.a) &&
                             sameBitsOf(step.b, state.b);
        if (repeats) {
            if (number < parameters.limit) {
                onIdle(number + 1, std::uint64_t{parameters.limit});
            }
            state.counter = parameters.limit;
            break;
        }
        ++state.counter;
    }
    outcome.counter = state.counter;
    return outcome;
}
