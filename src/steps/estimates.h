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
    // (M1 - m1) / m1 * s_n, the textbook's second bound for the chords;
    // none without s_n, without m1 (or where it is 0) or M1, and where F
    // is not defined at x_n.
    std::optional<double> boundM1;
};

// What the estimates carry from one chord to the next.
template <typename Numbers>
struct EstimateTrail {
    std::optional<double> smallestSlope;  // m1 over the interval typed
    std::optional<double> largestSlope;   // M1 over the interval typed
    std::optional<typename Numbers::Storage> previousX;
    std::optional<double> previousStep;
};

// The estimates of one drawn chord: the distance of two stored numbers as
// the format measures it, then the quotients and products in double. A
// chord without a point has none.
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
    // M1 beyond double (the dialog's F far to the left) is no number to
    // bound with.
    if (estimates.step && trail.smallestSlope && *trail.smallestSlope != 0.0 && trail.largestSlope &&
        std::isfinite(*trail.largestSlope) && !chord.undefined) {
        estimates.boundM1 = (*trail.largestSlope - *trail.smallestSlope) / *trail.smallestSlope * *estimates.step;
    }
    trail.previousX = chord.x;
    trail.previousStep = estimates.step;
    return estimates;
}
