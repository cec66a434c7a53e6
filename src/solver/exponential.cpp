#include "solver/exponential.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "numeric/bit_cast.h"
#include "solver/range_event.h"

namespace {

// Below this the upper 16 bits of |t| are surely inside the range (|t| < 704).
constexpr unsigned SafeHighHalfWord = 0x4086u;
constexpr std::uint32_t SignBit = 0x80000000u;

long double reportRange(RangeKind kind, double t, long double proposed) {
    RangeEvent event{kind, "exp", t, 0.0, proposed};
    return handleRangeEvent(event);
}

struct HighWord {
    std::uint32_t magnitude;  // sign cleared
    bool negative;
};

HighWord highWordOf(double t) {
    const auto word = static_cast<std::uint32_t>(bitCast<std::uint64_t>(t) >> 32);
    return {word & ~SignBit, (word & SignBit) != 0};
}

bool overflows(HighWord word) {
    return !word.negative && word.magnitude >= ExpOverflowHighWord;
}

}  // namespace

Extended exponential(double t) {
    const HighWord word = highWordOf(t);
    if ((word.magnitude >> 16) >= SafeHighHalfWord) {
        if (overflows(word)) {
            return extendedFromLongDouble(
                reportRange(RangeKind::Overflow, t, std::numeric_limits<long double>::infinity()));
        }
        if (word.negative && word.magnitude >= ExpUnderflowHighWord) {
            return extendedFromLongDouble(reportRange(RangeKind::Underflow, t, 0.0L));
        }
    }
    return extendedExponential(t);
}
