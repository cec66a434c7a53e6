#pragma once
// What the lesson tells of an equation on the interval beside the chords:
// the end the plain method keeps, and m1, the smallest |F'| there, from
// which an approximation's error is bounded. None where it cannot be told.

#include <optional>

#include "solver/analysis.h"
#include "solver/chord.h"

struct LessonFacts {
    std::optional<ChordEnd> fixedEnd;
    std::optional<double> smallestSlope;
};

// The dialog's F as a chords-steps run sees it: F'' > 0 everywhere, so the
// end kept is where F is positive; the picture's curve from its own bits.
struct FixedEquation : DialogEquation {
    static constexpr bool dialogF = true;
    LessonFacts lesson(float a, float b, Extended fa, Extended fb) const {
        return {fixedEnd(fa, fb), smallestSlope(a, b)};
    }
};
