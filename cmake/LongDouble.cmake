# The program's numbers are defined in extended precision with a 64-bit
# significand, as the x87 unit keeps it. Where long double is that format the
# formulas use it directly; elsewhere (IEEE quadruple on ARM64, double on
# ARM32, ...) src/numeric/ does the same arithmetic in software, so results
# are the same bits on every processor. Configuring says which one is used;
# the test suite compares the software arithmetic with the x87 unit where
# there is one.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("
#include <limits>
static_assert(std::numeric_limits<long double>::digits == 64 &&
              std::numeric_limits<long double>::max_exponent == 16384);
int main() { return 0; }
" CHORDS_LONG_DOUBLE_IS_EXTENDED)
if(CHORDS_LONG_DOUBLE_IS_EXTENDED)
    message(STATUS "Extended precision: long double is the x87 format, used directly")
else()
    message(STATUS "Extended precision: long double is another format here, so the "
                   "64-bit-significand arithmetic is done in software (same results as x86-64)")
endif()
# The fixed equation's e^t comes from the C library's long double exponential
# where long double is at least as wide, rounded to 64 bits: glibc's and
# MinGW's are that precise. The WebAssembly C library's quadruple expl is the
# double exp widened, so there the program's own exponential is used, as
# where long double is narrower.
if(EMSCRIPTEN)
    set(CHORDS_LONG_DOUBLE_EXP OFF)
    message(STATUS "Extended precision: the C library's expl is a double's here, so e^t is "
                   "computed in software")
else()
    set(CHORDS_LONG_DOUBLE_EXP ON)
endif()
