#include "solver/equation.h"

#include <cmath>

#include "solver/exponential.h"

namespace {

std::uint64_t evaluations = 0;

}  // namespace

std::uint64_t equationEvaluationCount() {
    return evaluations;
}

Extended equationF(float x) {
    ++evaluations;
    const Extended t = exponential(-static_cast<double>(x));
    const Extended point2 = toExtended(0.2);  // the double nearest to 0.2, widened exactly
    const Extended wideX = toExtended(x);
    return toExtended(2.0) * t + point2 * wideX * wideX - toExtended(1.5);
}

bool intervalRejected(float a, float b) {
    const Extended fa = equationF(a);
    const Extended fb = equationF(b);
    const float storedFa = toFloat(fa);
    // No chord can be drawn from an infinite end or a start value beyond
    // single precision.
    return !std::isfinite(a) || !std::isfinite(b) || !std::isfinite(storedFa) ||
           toExtended(storedFa) * fb > toExtended(0.0);
}
