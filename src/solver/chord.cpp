#include "solver/chord.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "solver/equation.h"

std::optional<float> chordPoint(float a, float b, float fa, long double fb) {
    const long double denominator = fa - fb;
    if (denominator == 0.0L) {
        return std::nullopt;
    }
    const long double la = a;
    const auto x = static_cast<float>(la - fa * ((la - b) / denominator));
    if (!std::isfinite(x)) {
        return std::nullopt;
    }
    return x;
}

ChordStep drawChord(float a, float b) {
    ChordStep step;
    step.a = a;
    step.b = b;
    step.fa = static_cast<float>(equationF(a));
    step.fb = equationF(b);
    step.x = chordPoint(a, b, step.fa, step.fb);
    if (step.x) {
        step.fx = static_cast<float>(equationF(*step.x));
    }
    step.wroteRangeLine = equationOverflows(a) || equationOverflows(b) ||
                          (step.x && equationOverflows(*step.x));
    return step;
}

void moveEnd(const ChordStep& step, float& a, float& b) {
    if (static_cast<long double>(step.fa) * step.fx > 0.0L) {
        a = *step.x;
    } else {
        b = *step.x;
    }
}

bool meetsAccuracy(float fx, float epsilon) {
    return std::fabs(static_cast<double>(fx)) < static_cast<double>(epsilon);
}

namespace {

bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// The next chord starts from the same ends, so it lands on the same point
// with the same outcome, again and again; only range lines would tell the
// repetitions apart.
bool repeatsItself(const ChordStep& step, float a, float b) {
    return sameBits(step.a, a) && sameBits(step.b, b) && !step.wroteRangeLine;
}

}  // namespace

ChordOutcome chordIterate(const ChordParameters& parameters, ChordObserver observer,
                          void* context) {
    ChordOutcome outcome;
    outcome.a = parameters.a;
    outcome.b = parameters.b;
    if (outcome.counter >= parameters.limit) {
        return outcome;
    }
    for (;;) {
        const ChordStep step = drawChord(outcome.a, outcome.b);
        if (observer != nullptr) {
            observer(step, context);
        }
        if (!step.x) {
            return outcome;
        }
        outcome.x = step.x;
        moveEnd(step, outcome.a, outcome.b);
        if (meetsAccuracy(step.fx, parameters.epsilon)) {
            outcome.found = true;
            return outcome;
        }
        if (repeatsItself(step, outcome.a, outcome.b)) {
            outcome.counter = parameters.limit;
            return outcome;
        }
        if (++outcome.counter >= parameters.limit) {
            return outcome;
        }
    }
}
