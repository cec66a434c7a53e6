#pragma once
// What the lesson tells of an equation on the interval beside the steps:
// the end the chords keep (where F*F'' > 0, which is also where Newton's
// method starts), the bounds of |F'| and |F''| from which an
// approximation's error is bounded, and whether F may be unbounded there.
// None where it cannot be told.

#include <optional>

#include "solver/analysis.h"
#include "solver/chord.h"

struct LessonFacts {
    std::optional<ChordEnd> fixedEnd;
    std::optional<double> smallestSlope;     // m1 = min |F'|
    std::optional<double> largestSlope;      // M1 = max |F'|
    std::optional<double> largestCurvature;  // M2 = max |F''|
    std::optional<int> slopeSign;            // F' keeps this sign
    std::optional<int> curvatureSign;        // F'' keeps this sign
    bool mayBeUnbounded = false;             // a pole may lie in the interval
};

// The dialog's F as a chords-steps run sees it: F'' > 0 everywhere, so the
// end kept is where F is positive; F' and F'' written out in the dialog's
// model; the picture's curve from its own bits.
struct FixedEquation : DialogEquation {
    static constexpr bool dialogF = true;
    Extended slope(float x) const { return equationSlope(x); }
    LessonFacts lesson(float a, float b, Extended fa, Extended fb) const {
        return {fixedEnd(fa, fb), smallestSlope(a, b), largestSlope(a, b), largestCurvature(a, b),
                ::slopeSign(a, b), 1, false};
    }
};
