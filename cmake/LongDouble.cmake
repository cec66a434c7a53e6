# The program's numbers are defined in extended precision with a 64-bit
# significand. Say so plainly when this compiler's long double is another
# format: the build still works, but its results are not the reference ones.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("
#include <limits>
static_assert(std::numeric_limits<long double>::digits == 64);
int main() { return 0; }
" CHORDS_LONG_DOUBLE_IS_EXTENDED)
if(NOT CHORDS_LONG_DOUBLE_IS_EXTENDED)
    message(WARNING
        "long double on this compiler does not have a 64-bit significand: "
        "computed values may differ from the x86-64 reference in the last bits.")
endif()
