#pragma once

// Makes the floating-point unit carry extended precision (a 64-bit
// significand) in every long double operation. Some hosts start processes
// with the x87 unit rounding to 53 bits; called once before any number is
// computed.
void useExtendedPrecision();
