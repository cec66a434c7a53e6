#pragma once

#include <cstdint>
#include <optional>

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

// One chord across [a, b]: the values it was drawn from and where it landed.
// x is empty when no point can be drawn (zero denominator, or a point that is
// not finite); fx is then meaningless.
struct ChordStep {
    float a = 0.0f;
    float b = 0.0f;
    float fa = 0.0f;
    long double fb = 0.0L;
    std::optional<float> x;
    float fx = 0.0f;
    bool wroteRangeLine = false;  // an evaluation of F overflowed
};

using ChordObserver = void (*)(const ChordStep& step, void* context);

// a - fa*((a - b)/(fa - fb)) in extended precision, in that order, rounded
// to single precision.
std::optional<float> chordPoint(float a, float b, float fa, long double fb);

// Evaluates F at a, at b and at the new point, in that order.
ChordStep drawChord(float a, float b);

// Replaces the end on the same side of the root as the step's point: a when
// F(a) and F(x) have the same sign, b otherwise.
void moveEnd(const ChordStep& step, float& a, float& b);

// |F(x)|, widened to double, below the accuracy.
bool meetsAccuracy(float fx, float epsilon);

// Draws chords until one meets the accuracy (found, counter unchanged for
// that chord) or the counter reaches the limit (not found). A chord that
// cannot be drawn also ends the search as not found. Once a chord leaves
// both ends exactly as they were and wrote no range line, every later chord
// would be the same one: those are counted up to the limit without being
// drawn. The observer, when given, sees every chord drawn.
ChordOutcome chordIterate(const ChordParameters& parameters, ChordObserver observer = nullptr,
                          void* context = nullptr);
