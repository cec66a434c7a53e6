#include "solver/analysis.h"

#include <algorithm>
#include <cmath>

#include "solver/exponential.h"

Extended equationSlope(float x) {
    const Extended t = exponential(-static_cast<double>(x));
    return toExtended(0.4) * toExtended(x) - toExtended(2.0) * t;
}

Extended equationCurvature(float x) {
    const Extended t = exponential(-static_cast<double>(x));
    return toExtended(2.0) * t + toExtended(0.4);
}

std::optional<ChordEnd> fixedEnd(Extended fa, Extended fb) {
    const Extended zero = toExtended(0.0);
    if (fa > zero) {
        return ChordEnd::A;
    }
    if (fb > zero) {
        return ChordEnd::B;
    }
    return std::nullopt;
}

std::optional<double> smallestSlope(float a, float b) {
    const Extended low = equationSlope(std::min(a, b));
    const Extended high = equationSlope(std::max(a, b));
    const Extended zero = toExtended(0.0);
    if (isNan(low) || isNan(high) || !(low < zero ? high < zero : low > zero)) {
        return std::nullopt;
    }
    // Growing: on the negative side the high end is nearest zero, on the
    // positive side the low end.
    return std::fabs(toDouble(low < zero ? high : low));
}

double largestSlope(float a, float b) {
    return std::max(std::fabs(toDouble(equationSlope(a))), std::fabs(toDouble(equationSlope(b))));
}

double largestCurvature(float a, float b) {
    return toDouble(equationCurvature(std::min(a, b)));
}

std::optional<int> slopeSign(float a, float b) {
    const Extended low = equationSlope(std::min(a, b));
    const Extended high = equationSlope(std::max(a, b));
    const Extended zero = toExtended(0.0);
    if (low > zero) {
        return 1;
    }
    if (high < zero) {
        return -1;
    }
    return std::nullopt;
}
