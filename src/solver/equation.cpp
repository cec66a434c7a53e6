#include "solver/equation.h"

#include <cmath>

#include "solver/exponential.h"

namespace {

std::uint64_t evaluations = 0;

}  // namespace

std::uint64_t equationEvaluationCount() {
    return evaluations;
}

long double equationF(float x) {
    ++evaluations;
    const long double t = exponential(-static_cast<double>(x));
    const long double point2 = 0.2;  // the double nearest to 0.2, widened exactly
    return 2.0L * t + point2 * x * x - 1.5L;
}

bool intervalRejected(float a, float b) {
    const auto fa = static_cast<float>(equationF(a));
    const long double fb = equationF(b);
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(fa)) {
        return true;
    }
    return fa * fb > 0.0L;
}
