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
    const float fa = toFloat(equationF(a));
    const Extended fb = equationF(b);
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(fa)) {
        return true;
    }
    return toExtended(fa) * fb > toExtended(0.0);
}
