// x86: the x87 unit's precision-control field decides how many significand
// bits each long double operation keeps.
#include "numeric/precision.h"

void useExtendedPrecision() {
    unsigned short control = 0;
    asm volatile("fnstcw %0" : "=m"(control));
    constexpr unsigned short PrecisionControl = 0x0300;  // both bits: 64-bit significand
    if ((control & PrecisionControl) != PrecisionControl) {
        control = static_cast<unsigned short>(control | PrecisionControl);
        asm volatile("fldcw %0" : : "m"(control));
    }
}
