#include "steps/estimates.h"

#include <cmath>

ChordEstimates estimateChord(EstimateTrail& trail, const DialogChord& step) {
    ChordEstimates estimates;
    if (!step.x) {
        return estimates;
    }
    const double x = *step.x;
    if (trail.previousX) {
        estimates.step = std::fabs(x - static_cast<double>(*trail.previousX));
        if (trail.previousStep && *trail.previousStep != 0.0) {
            estimates.ratio = *estimates.step / *trail.previousStep;
        }
    }
    if (trail.smallestSlope) {
        estimates.bound = std::fabs(static_cast<double>(step.fx)) / *trail.smallestSlope;
    }
    trail.previousX = step.x;
    trail.previousStep = estimates.step;
    return estimates;
}
