#pragma once

#include "solver/chord.h"

// The closing lines of a search, ended by a line break: the root, F at the
// root and the count of chords that missed the accuracy; or the line saying
// that no solution was found. F is evaluated once more at the root.
void writeReport(const ChordOutcome& outcome);
