#pragma once

#include <cstdint>
#include <optional>

#include "numeric/extended.h"

struct ChordParameters {
    float a;  // start of the interval, as typed
    float b;  // end of the interval, as typed
    float epsilon;
    std::uint32_t limit;
};

struct ChordOutcome {
    bool found = false;       // the last approximation met the accuracy
    std::optional<float> x;   // the last approximation; none when no chord was drawn
    std::uint32_t counter = 0;  // chords that missed the accuracy
    float a = 0.0f;           // the interval as the iteration left it
    float b = 0.0f;
};

// What the iteration carries from one chord to the next.
struct ChordState {
    float a = 0.0f;
    float b = 0.0f;
    std::uint32_t counter = 0;  // chords that missed the accuracy so far
    std::optional<float> x;     // the last approximation
};

// Which end of the interval a chord's point replaced.
enum class ChordEnd { None, A, B };

// One chord across [a, b]: the values it was drawn from and where it landed.
// x is empty when no point can be drawn (zero denominator, or a point that is
// not finite); fx is then meaningless and no end moves.
struct ChordStep {
    float a = 0.0f;
    float b = 0.0f;
    float fa = 0.0f;
    Extended fb = toExtended(0.0);
    std::optional<float> x;
    float fx = 0.0f;
    ChordEnd replaced = ChordEnd::None;
    bool rangeReported = false;  // an evaluation of F reported a range event
};

// a - fa*((a - b)/(fa - fb)) in extended precision, in that order, rounded
// to single precision.
std::optional<float> chordPoint(float a, float b, float fa, Extended fb);

// The state before the first chord: the interval as typed, counter 0.
ChordState startChords(const ChordParameters& parameters);

// Draws one chord from the state's ends, evaluating F at a, at b and at the
// new point in that order, and moves one end to the point: a when F(a) and
// F(x) have the same sign, b otherwise. The counter is the caller's.
ChordStep drawChord(ChordState& state);

// The stopping tests, apart from stepping.
// No chord may be drawn once the counter has reached the limit.
bool limitReached(const ChordState& state, std::uint32_t limit);
// |F(x)|, widened to double, below the accuracy.
bool meetsAccuracy(float fx, float epsilon);
// The chord left both ends exactly as they were and reported no range
// event: every later chord would be the same one, with the same outcome.
bool chordRepeats(const ChordStep& step, const ChordState& state);

ChordOutcome outcomeOf(const ChordState& state, bool found);

// Walks the chords exactly as the dialog runs them, telling the caller about
// every chord drawn and about the idle stretch the dialog only counts.
// Chords are numbered from 1: chord n is drawn with n - 1 chords behind it
// that missed the accuracy. The walk ends when a chord meets the accuracy
// (found, counter unchanged for that chord), when the counter reaches the
// limit (not found), or when a chord cannot be drawn (not found). Once a
// chord repeats itself, the rest are counted up to the limit without being
// drawn.
//   onChord(number, step, accuracyMet) for every chord drawn, answering
//   whether to go on (a reader that has gone away needs no more chords);
//   onIdle(first, last) when chords first..last would repeat chord first - 1.
template <typename OnChord, typename OnIdle>
ChordOutcome walkChords(const ChordParameters& parameters, OnChord onChord, OnIdle onIdle) {
    ChordState state = startChords(parameters);
    bool found = false;
    while (!limitReached(state, parameters.limit)) {
        const std::uint64_t number = std::uint64_t{state.counter} + 1;
        const ChordStep step = drawChord(state);
        found = step.x && meetsAccuracy(step.fx, parameters.epsilon);
        if (!onChord(number, step, found) || !step.x || found) {
            break;
        }
        if (chordRepeats(step, state)) {
            if (number < parameters.limit) {
                onIdle(number + 1, std::uint64_t{parameters.limit});
            }
            state.counter = parameters.limit;
            break;
        }
        ++state.counter;
    }
    return outcomeOf(state, found);
}

// The walk with nobody told: the dialog's iteration.
ChordOutcome chordIterate(const ChordParameters& parameters);
