// Processors without an x87 unit: long double has one fixed format, with
// nothing to switch.
#include "numeric/precision.h"

void useExtendedPrecision() {}
