#include "solver/exponential.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "solver/range_event.h"

namespace {

// Below this the upper 16 bits of |t| are surely inside the range (|t| < 704).
constexpr unsigned SafeHighHalfWord = 0x4086u;
constexpr std::uint32_t SignBit = 0x80000000u;

long double reportRange(RangeKind kind, double t, long double proposed) {
    RangeEvent event{kind, "exp", t, 0.0, proposed};
    return handleRangeEvent(event);
}

}  // namespace

long double exponential(double t) {
    const auto highWord = static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(t) >> 32);
    const std::uint32_t magnitudeWord = highWord & ~SignBit;
    const bool negative = (highWord & SignBit) != 0;
    if ((magnitudeWord >> 16) >= SafeHighHalfWord) {
        if (!negative && magnitudeWord >= ExpOverflowHighWord) {
            return reportRange(RangeKind::Overflow, t, std::numeric_limits<long double>::infinity());
        }
        if (negative && magnitudeWord >= ExpUnderflowHighWord) {
            return reportRange(RangeKind::Underflow, t, 0.0L);
        }
    }
    return std::exp(static_cast<long double>(t));
}
