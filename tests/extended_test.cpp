// The software exponential against e^t rounded once to 64 bits (worked out
// to 80 decimal digits): the values every processor without the x87 unit's
// own exponential computes F from.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <vector>
#include <string>

#include "numeric/extended.h"
#include "numeric/extended_digits.h"

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


// The shortest text that reads back as the extended value: checked against
// the standard library's shortest form where long double is that format,
// at the edges and on a seeded sample of significands and exponents.
TEST(ExtendedDigitsTest, ShortestTextReadsBackWithTheFewestDigits) {
    if constexpr (!LongDoubleIsExtended) {
        GTEST_SKIP() << "long double is not the extended format here";
    } else {
        // Significant digits: no sign, exponent, point, or zeros at either end.
        const auto digitCount = [](std::string text) {
            text = text.substr(0, text.find('e'));
            std::erase_if(text, [](char c) { return c == '-' || c == '.'; });
            const std::size_t first = text.find_first_not_of('0');
            return text.find_last_not_of('0') - first + 1;
        };
        std::vector<long double> values = {1.0L, 0.1L, -2.5L, 1e-5L, 123456789012345678901.0L,
                                           std::numeric_limits<long double>::max(),
                                           std::numeric_limits<long double>::min(),
                                           std::numeric_limits<long double>::denorm_min(),
                                           std::ldexp(1.0L, 64), std::ldexp(1.0L, -1000)};
        std::mt19937_64 random(99);
        for (int i = 0; i < 20000; ++i) {
            const long double fraction = std::ldexp(static_cast<long double>(random() | (1ull << 63)), -64);
            values.push_back(std::ldexp(fraction, static_cast<int>(random() % 400) - 200));
        }
        for (const long double value : values) {
            const std::string ours = shortestExtendedText(value);
            char theirs[64];
            const auto end = std::to_chars(theirs, theirs + sizeof theirs, value).ptr;
            ASSERT_EQ(std::strtold(ours.c_str(), nullptr), value) << ours;
            // The standard form writes a large whole number out in full.
            const std::string standard(theirs, end);
            const bool whole = standard.find_first_of(".e") == std::string::npos;
            ASSERT_TRUE(whole ? digitCount(ours) <= digitCount(standard)
                              : digitCount(ours) == digitCount(standard))
                << ours << " " << standard;
        }
    }
}

}  // namespace
