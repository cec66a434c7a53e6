#pragma once
// The dialog's iteration: the chord walk with the dialog's F, in the
// dialog's model (values stored in single precision, formulas in extended
// precision), the plain method, the residual test, and nobody told.

#include <cstdint>
#include <optional>

#include "numeric/extended.h"
#include "solver/chord_walk.h"
#include "solver/equation.h"
#include "solver/range_event.h"

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

// The dialog's F as the walk sees an equation: evaluated afresh at every
// call, its range events counted by the solver's sink.
struct DialogEquation {
    Extended operator()(float x) const { return equationF(x); }
    std::uint64_t rangeEvents() const { return rangeSink().reported; }
};

// One chord of the dialog's model.
using DialogChord = Chord<SingleNumbers>;

// The dialog's rules for the walk: plain chords, |F(x)| < EPS.
ChordRules<SingleNumbers> dialogRules(const ChordParameters& parameters);

// The walk with nobody told: the dialog's iteration.
ChordOutcome chordIterate(const ChordParameters& parameters);
