#pragma once

#include "console/console.h"
#include "solver/range_event.h"

// Points the solver's range sink at the console's error line, so that an
// overflowing exponential writes its message on standard error.
void connectRangeSink(Console& console);

// The whole conversation, from the banner to the key wait, over the console
// it is handed. Returns the exit status: 0 after a report, 1 when a number
// could not be read.
int runDialog(Console& console);
