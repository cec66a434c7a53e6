#pragma once
// What a student reads beside each chord: how far the approximation moved,
// how fast those moves shrink, and how far it can be from the root.

#include <optional>

#include "solver/chord.h"

struct ChordEstimates {
    // s_n = |x_n - x_(n-1)|; none for the first approximation, which has no
    // approximation before it (the moving end is none).
    std::optional<double> step;
    // s_n / s_(n-1), tending to the method's linear rate; none where either
    // step is missing or s_(n-1) = 0.
    std::optional<double> ratio;
    // |F(x_n)| / m1, the a-posteriori bound on the error; none without m1.
    std::optional<double> bound;
};

// What the estimates carry from one chord to the next.
struct EstimateTrail {
    std::optional<double> smallestSlope;  // m1 over the interval typed
    std::optional<float> previousX;
    std::optional<double> previousStep;
};

// The estimates of one drawn chord, in double: the difference of two
// single-precision numbers, then the quotients. A chord without a point has
// none.
ChordEstimates estimateChord(EstimateTrail& trail, const DialogChord& step);
