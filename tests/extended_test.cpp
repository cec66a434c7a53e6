// The software exponential against e^t rounded once to 64 bits (worked out
// to 80 decimal digits): the values every processor without the x87 unit's
// own exponential computes F from.
#include <gtest/gtest.h>

#include <cmath>

#include "numeric/extended.h"

namespace {

::testing::AssertionResult isExtended(SoftExtended value, std::uint64_t significand,
                                      std::int32_t exponent) {
    if (value.kind == ExtendedKind::Finite && !value.negative &&
        value.significand == significand && value.exponent == exponent) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << std::hex << value.significand << " p" << std::dec
                                         << value.exponent;
}

TEST(SoftExponentialTest, RoundsOnceToNearest) {
    EXPECT_TRUE(isExtended(softExponential(0.0), 0x8000000000000000u, 0));
    EXPECT_TRUE(isExtended(softExponential(1.0), 0xadf85458a2bb4a9bu, 1));
    EXPECT_TRUE(isExtended(softExponential(-1.0), 0xbc5ab1b16779be35u, -2));
    // Next to the equation's root, where F has its smallest values.
    EXPECT_TRUE(isExtended(softExponential(-0x1.32f736p-2), 0xbdb15fda9dae9e75u, -1));
    // The ends of the normal range, and beyond double's.
    EXPECT_TRUE(isExtended(softExponential(0x1.62e41ffffffffp+9), 0xffe022b497e4ede4u, 1023));
    EXPECT_TRUE(isExtended(softExponential(-0x1.6232affffffffp+9), 0x800dd86b71413096u, -1022));
    EXPECT_TRUE(isExtended(softExponential(-745.0), 0x923d731d392dc6dcu, -1075));
}

TEST(SoftExponentialTest, TinyArgumentsJustOffAMidpoint) {
    // 1 + 2^-64 + 2^-129: above the midpoint between 1 and its successor.
    EXPECT_TRUE(isExtended(softExponential(0x1p-64), 0x8000000000000001u, 0));
    // 1 - 2^-65 + 2^-131: above the midpoint below 1.
    EXPECT_TRUE(isExtended(softExponential(-0x1p-65), 0x8000000000000000u, 0));
    // 1 - 2^-64 + 2^-129: just above a number of the format.
    EXPECT_TRUE(isExtended(softExponential(-0x1p-64), 0xffffffffffffffffu, -1));
    EXPECT_TRUE(isExtended(softExponential(1e-300), 0x8000000000000000u, 0));
}

}  // namespace
