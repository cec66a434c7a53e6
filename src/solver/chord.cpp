// The solver room: the equation, its exponential's range rules, the sign test
// and the method of chords, one chord per call with the stopping tests apart.
// Numbers alone: it prints nothing, and tells its range events to a sink.
#include "solver/chord.h"

ChordRules<SingleNumbers> dialogRules(const ChordParameters& parameters) {
    // No pole test: the dialog stops on |F(x)| alone.
    return {parameters.epsilon, parameters.limit, Method::Chords, StopRule::Residual, std::nullopt};
}

ChordOutcome chordIterate(const ChordParameters& parameters) {
    DialogEquation equation;
    const WalkOutcome<SingleNumbers> walked =
        walkChords<SingleNumbers>(parameters.a, parameters.b, dialogRules(parameters), equation, NoObserver{});
    return {walked.found, walked.x, walked.counter, walked.a, walked.b};
}
