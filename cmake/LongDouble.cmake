# The program's numbers are defined in extended precision with a 64-bit
# significand. Say so plainly when this compiler's long double is another
# format. The results were checked to be the same on two such targets: the
# test suite gives the reference bytes under qemu on ARM64, where long double
# is IEEE quadruple, and on ARM32, where it is double. Elsewhere its test
# suite is the check.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("
#include <limits>
static_assert(std::numeric_limits<long double>::digits == 64);
int main() { return 0; }
" CHORDS_LONG_DOUBLE_IS_EXTENDED)
if(NOT CHORDS_LONG_DOUBLE_IS_EXTENDED)
    message(WARNING
        "long double on this compiler does not have a 64-bit significand, so the "
        "formulas are evaluated in another precision than the reference's. The "
        "printed results were verified equal to the x86-64 reference on ARM64 "
        "and ARM32 (make test-arm64, make test-armhf); on other processors run "
        "the test suite to verify them.")
endif()
