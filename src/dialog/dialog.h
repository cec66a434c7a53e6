#pragma once

// The whole conversation, from the banner to the key wait, over the console
// set up beforehand. Returns the exit status: 0 after a report, 1 when a
// number could not be read.
int runDialog();
