// Processors without an x87 unit: long double has one fixed format, with
// nothing to switch.
#include "solver/precision.h"

void useExtendedPrecision() {}
