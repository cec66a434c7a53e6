# The program's numbers are defined in extended precision with a 64-bit
# significand. Say so plainly when this compiler's long double is another
# format. Under qemu, ARM64 (IEEE quadruple) gave the reference results
# throughout; ARM32 (double) passes the transcripts but reads some typed
# numbers one unit off (see README). Elsewhere the test suite is the check.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("
#include <limits>
static_assert(std::numeric_limits<long double>::digits == 64);
int main() { return 0; }
" CHORDS_LONG_DOUBLE_IS_EXTENDED)
if(NOT CHORDS_LONG_DOUBLE_IS_EXTENDED)
    message(WARNING
        "long double on this compiler does not have a 64-bit significand, so the "
        "formulas are evaluated in another precision than the reference's. "
        "ARM64 was verified to give the x86-64 results (make test-arm64); on "
        "ARM32 rare inputs give results one unit off (README, Installing and "
        "platforms); on other processors run the test suite to verify them.")
endif()
