// The solver room: the equation, its exponential's range rules, the sign test
// and the method of chords, one chord per call with the stopping tests apart.
// Numbers alone: it prints nothing, and tells its range events to a sink.
#include "solver/chord.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "solver/equation.h"
#include "solver/range_event.h"

std::optional<float> chordPoint(float a, float b, float fa, Extended fb) {
    const Extended wideFa = toExtended(fa);
    const Extended denominator = wideFa - fb;
    if (denominator == toExtended(0.0)) {
        return std::nullopt;
    }
    const Extended la = toExtended(a);
    const float x = toFloat(la - wideFa * ((la - toExtended(b)) / denominator));
    if (!std::isfinite(x)) {
        return std::nullopt;
    }
    return x;
}

ChordState startChords(const ChordParameters& parameters) {
    return {parameters.a, parameters.b, 0, std::nullopt};
}

ChordStep drawChord(ChordState& state) {
    const std::uint64_t reportedBefore = rangeSink().reported;
    ChordStep step;
    step.a = state.a;
    step.b = state.b;
    step.fa = toFloat(equationF(state.a));
    step.fb = equationF(state.b);
    step.x = chordPoint(state.a, state.b, step.fa, step.fb);
    if (step.x) {
        step.fx = toFloat(equationF(*step.x));
        state.x = step.x;
        if (toExtended(step.fa) * toExtended(step.fx) > toExtended(0.0)) {
            state.a = *step.x;
            step.replaced = ChordEnd::A;
        } else {
            state.b = *step.x;
            step.replaced = ChordEnd::B;
        }
    }
    step.rangeReported = rangeSink().reported != reportedBefore;
    return step;
}

bool limitReached(const ChordState& state, std::uint32_t limit) {
    return state.counter >= limit;
}

bool meetsAccuracy(float fx, float epsilon) {
    return std::fabs(static_cast<double>(fx)) < static_cast<double>(epsilon);
}

namespace {

bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

}  // namespace

bool chordRepeats(const ChordStep& step, const ChordState& state) {
    // Only range reports would tell the repetitions apart.
    return step.x && sameBits(step.a, state.a) && sameBits(step.b, state.b) &&
           !step.rangeReported;
}

ChordOutcome outcomeOf(const ChordState& state, bool found) {
    return {found, state.x, state.counter, state.a, state.b};
}

ChordOutcome chordIterate(const ChordParameters& parameters) {
    return walkChords(
        parameters, [](std::uint64_t, const ChordStep&, bool) { return true; },
        [](std::uint64_t, std::uint64_t) {});
}
