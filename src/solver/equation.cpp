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

IntervalTest testInterval(float a, float b) {
    IntervalTest test{IntervalFault::None, equationF(a), equationF(b)};
    const float storedFa = toFloat(test.fa);
    if (!std::isfinite(a) || !std::isfinite(b)) {
        test.fault = IntervalFault::InfiniteEnd;
    } else if (!std::isfinite(storedFa)) {
        test.fault = IntervalFault::StartValueTooLarge;
    } else if (toExtended(storedFa) * test.fb > toExtended(0.0)) {
        test.fault = IntervalFault::SameSign;
    }
    return test;
}

bool intervalRejected(float a, float b) {
    return testInterval(a, b).fault != IntervalFault::None;
}
