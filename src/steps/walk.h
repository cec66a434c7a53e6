#pragma once

#include <cstdint>

#include "solver/chord.h"

// The chord iteration exactly as the dialog runs it, one chord at a time,
// telling the caller about every chord drawn and about the idle stretch the
// dialog only counts. Chords are numbered from 1: chord n is drawn with n - 1
// chords behind it that missed the accuracy.
//   onChord(number, step, accuracyMet) for every chord drawn, answering
//   whether to go on (a reader that has gone away needs no more chords);
//   onIdle(first, last) when chords first..last would repeat chord first - 1.
template <typename OnChord, typename OnIdle>
ChordOutcome walkChords(const ChordParameters& parameters, OnChord onChord, OnIdle onIdle) {
    ChordState state = startChords(parameters);
    bool found = false;
    while (!limitReached(state, parameters.limit)) {
        const std::uint64_t number = std::uint64_t{state.counter} + 1;
        const ChordStep step = drawChord(state);
        found = step.x && meetsAccuracy(step.fx, parameters.epsilon);
        if (!onChord(number, step, found) || !step.x || found) {
            break;
        }
        if (chordRepeats(step, state)) {
            if (number < parameters.limit) {
                onIdle(number + 1, std::uint64_t{parameters.limit});
            }
            state.counter = parameters.limit;
            break;
        }
        ++state.counter;
    }
    return outcomeOf(state, found);
}
