#pragma once
// chords-steps on an equation a teacher typed (or the fixed one in another
// precision, with a modified method, another stopping rule, or all methods
// compared): the table, the CSV and the comparison, with the same bits on
// every platform.

#include "console/console.h"
#include "steps/arguments.h"

int runTypedSteps(Console& console, const StepsArguments& parsed);
