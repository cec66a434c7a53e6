#pragma once
// What a student reads beside each chord: how far the approximation moved,
// how fast those moves shrink, and how far it can be from the root. One
// trail for every format, in double.

#include <cmath>
#include <optional>

#include "solver/chord_walk.h"

struct ChordEstimates {
    // s_n = |x_n - x_(n-1)|; none for the first approximation, which has no
    // approximation before it (the moving end is none).
    std::optional<double> step;
    // s_n / s_(n-1), tending to the method's linear rate; none where either
    // step is missing or s_(n-1) = 0.
    std::optional<double> ratio;
    // |F(x_n)| / m1, the a-posteriori bound on the error; none without m1,
    // and where F is not defined at x_n.
    std::optional<double> bound;
};

// What the estimates carry from one chord to the next.
template <typename Numbers>
struct EstimateTrail {
    std::optional<double> smallestSlope;  // m1 over the interval typed
    std::optional<typename Numbers::Storage> previousX;
    std::optional<double> previousStep;
};

// The estimates of one drawn chord: the distance of two stored numbers as
// the format measures it, then the quotients in double. A chord without a
// point has none.
template <typename Numbers>
ChordEstimates estimateChord(EstimateTrail<Numbers>& trail, const Chord<Numbers>& chord) {
    ChordEstimates estimates;
    if (!chord.x) {
        return estimates;
    }
    if (trail.previousX) {
        estimates.step = Numbers::distance(*chord.x, *trail.previousX);
        if (trail.previousStep && *trail.previousStep != 0.0) {
            estimates.ratio = *estimates.step / *trail.previousStep;
        }
    }
    if (trail.smallestSlope && !chord.undefined) {
        estimates.bound = std::fabs(Numbers::plotted(Numbers::widened(chord.fx))) / *trail.smallestSlope;
    }
    trail.previousX = chord.x;
    trail.previousStep = estimates.step;
    return estimates;
}
