// The software extended type against the x87 unit itself, on seeded random
// operands: every result must have the same bits. Built only where long
// double is the x87 format.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "numeric/extended.h"
#include "numeric/precision.h"

namespace {

constexpr std::uint64_t TopBit = std::uint64_t{1} << 63;
constexpr int Rounds = 200000;

long double hardware(SoftExtended value) {
    const long double sign = value.negative ? -1.0L : 1.0L;
    switch (value.kind) {
    case ExtendedKind::NotANumber:
        return std::copysign(std::numeric_limits<long double>::quiet_NaN(), sign);
    case ExtendedKind::Infinite:
        return sign * std::numeric_limits<long double>::infinity();
    case ExtendedKind::Finite:
        break;
    }
    return sign * std::ldexp(static_cast<long double>(value.significand), value.exponent - 63);
}

// The x87 value's own fields, in the software type's terms.
SoftExtended fieldsOf(long double value) {
    unsigned char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    std::uint64_t significand = 0;
    std::memcpy(&significand, bytes, 8);
    const unsigned signAndExponent = bytes[8] | (unsigned{bytes[9]} << 8);
    const bool negative = (signAndExponent >> 15) != 0;
    const int field = static_cast<int>(signAndExponent & 0x7FFF);
    if (field == 0x7FFF) {
        const bool nan = (significand << 1) != 0;
        return {0, 0, negative, nan ? ExtendedKind::NotANumber : ExtendedKind::Infinite};
    }
    if (significand == 0) {
        return {0, 0, negative, ExtendedKind::Finite};
    }
    return {significand, field == 0 ? SoftExtendedMinExponent : field - 16383, negative,
            ExtendedKind::Finite};
}

::testing::AssertionResult sameBits(SoftExtended soft, long double expected) {
    const SoftExtended want = fieldsOf(expected);
    if (soft.kind == want.kind && soft.negative == want.negative &&
        (soft.kind != ExtendedKind::Finite ||
         (soft.significand == want.significand &&
          (soft.significand == 0 || soft.exponent == want.exponent)))) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << std::hex << "software " << soft.significand << " p" << std::dec << soft.exponent
           << " sign " << soft.negative << " kind " << static_cast<int>(soft.kind) << ", x87 "
           << std::hex << want.significand << " p" << std::dec << want.exponent << " sign "
           << want.negative << " kind " << static_cast<int>(want.kind);
}

// A valid software value with the given significand and exponent; beneath
// the normal range it loses low bits as an x87 subnormal does.
SoftExtended operand(std::uint64_t significand, std::int64_t exponent, bool negative) {
    significand |= TopBit;
    if (exponent < SoftExtendedMinExponent) {
        const std::int64_t shift = SoftExtendedMinExponent - exponent;
        significand = shift >= 64 ? 0 : significand >> shift;
        exponent = SoftExtendedMinExponent;
    }
    exponent = std::min<std::int64_t>(exponent, SoftExtendedMaxExponent);
    return {significand, static_cast<std::int32_t>(exponent), negative, ExtendedKind::Finite};
}

// Operands drawn to reach the hard cases: significands with long runs of
// equal bits (halfway points, carries), exponents near each other
// (cancellation) and at both ends of the range (overflow, subnormals).
struct OperandSource {
    std::mt19937_64 random;

    std::uint64_t significand() {
        const std::uint64_t bits = random();
        switch (random() % 5) {
        case 0:
            return bits;
        case 4:  // a few bits set: sums whose lowest bits decide a tie
            return (std::uint64_t{1} << (random() % 64)) | (random() & 1);
        case 1:  // a run of zeros or ones below a random point
            return (random() & 1) ? bits & ~((std::uint64_t{1} << (random() % 64)) - 1)
                                  : bits | ((std::uint64_t{1} << (random() % 64)) - 1);
        case 2:  // exactly halfway between floats or doubles, or next to it
            return (bits & ~((std::uint64_t{1} << ((random() & 1) ? 40 : 11)) - 1)) +
                   ((random() & 1) ? std::uint64_t{1} << ((random() & 1) ? 39 : 10) : 0) +
                   (random() % 3) - 1;
        default:
            return bits & 0xFFFFFF0000000000u;  // short: exact products
        }
    }

    std::int64_t exponent(std::int64_t near) {
        switch (random() % 5) {
        case 0:
            return static_cast<std::int64_t>(random() % 33000) - 16500;
        case 1:  // the other operand's bits just reach the rounding point
            return near + static_cast<std::int64_t>(random() % 9) - 68;
        case 2:  // the ends of the range
            return (random() & 1 ? 1 : -1) * (8100 + static_cast<std::int64_t>(random() % 300)) +
                   near / 2;
        case 3:
            return near + static_cast<std::int64_t>(random() % 141) - 70;
        default:
            return static_cast<std::int64_t>(random() % 400) - 200;
        }
    }

    SoftExtended next(std::int64_t near = 0) {
        return operand(significand(), exponent(near), (random() & 1) != 0);
    }
};

class ExtendedHardwareTest : public ::testing::Test {
protected:
    void SetUp() override { useExtendedPrecision(); }
    OperandSource source{std::mt19937_64{20240611}};
};

TEST_F(ExtendedHardwareTest, ArithmeticRoundsLikeTheX87Unit) {
    for (int round = 0; round < Rounds; ++round) {
        const SoftExtended a = source.next();
        const SoftExtended b = source.next(a.exponent);
        const volatile long double x = hardware(a);
        const volatile long double y = hardware(b);
        ASSERT_TRUE(sameBits(a + b, x + y)) << "add, round " << round;
        ASSERT_TRUE(sameBits(a - b, x - y)) << "subtract, round " << round;
        ASSERT_TRUE(sameBits(a * b, x * y)) << "multiply, round " << round;
        ASSERT_TRUE(sameBits(a / b, x / y)) << "divide, round " << round;
        ASSERT_EQ(a < b, x < y) << round;
        ASSERT_EQ(a == b, x == y) << round;
        ASSERT_EQ(a > b, x > y) << round;
    }
}

TEST_F(ExtendedHardwareTest, SpecialOperandsGiveTheX87Results) {
    const SoftExtended values[] = {softFromDouble(0.0),
                                   softFromDouble(-0.0),
                                   softFromDouble(1.5),
                                   softFromDouble(-3.0),
                                   softFromDouble(std::numeric_limits<double>::infinity()),
                                   softFromDouble(-std::numeric_limits<double>::infinity()),
                                   softFromDouble(std::numeric_limits<double>::quiet_NaN()),
                                   -softFromDouble(std::numeric_limits<double>::quiet_NaN()),
                                   operand(~0u, SoftExtendedMaxExponent, false),
                                   operand(0, SoftExtendedMinExponent, false),
                                   operand(5, -16440, true),
                                   softFromDouble(2.0),
                                   // Three subnormal units: halved, a tie.
                                   operand(std::uint64_t{1} << 62, -16444, false)};
    for (const SoftExtended a : values) {
        for (const SoftExtended b : values) {
            const volatile long double x = hardware(a);
            const volatile long double y = hardware(b);
            EXPECT_TRUE(sameBits(a + b, x + y));
            EXPECT_TRUE(sameBits(a - b, x - y));
            EXPECT_TRUE(sameBits(a * b, x * y));
            EXPECT_TRUE(sameBits(a / b, x / y));
            EXPECT_EQ(a < b, x < y);
            EXPECT_EQ(a == b, x == y);
        }
        EXPECT_TRUE(sameBits(-a, -hardware(a)));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(toFloat(a)),
                  std::bit_cast<std::uint32_t>(static_cast<float>(hardware(a))));
    }
}

TEST_F(ExtendedHardwareTest, ConversionsRoundOnceLikeTheX87Unit) {
    for (int round = 0; round < Rounds; ++round) {
        // Exponents around the ends of single and double precision too.
        const std::int64_t edges[] = {0, -126, 128, -1022, 1024, -149, -1074};
        const SoftExtended a =
            operand(source.significand(),
                    edges[source.random() % 7] + static_cast<std::int64_t>(source.random() % 81) - 40,
                    (source.random() & 1) != 0);
        const volatile long double x = hardware(a);
        ASSERT_EQ(std::bit_cast<std::uint32_t>(toFloat(a)),
                  std::bit_cast<std::uint32_t>(static_cast<float>(x)))
            << round;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(toDouble(a)),
                  std::bit_cast<std::uint64_t>(static_cast<double>(x)))
            << round;
        ASSERT_TRUE(sameBits(softFromLongDouble(x), x)) << round;
        ASSERT_TRUE(sameBits(floorOf(a), std::floor(x))) << round;

        const std::uint64_t bits = source.random();
        const double d = std::bit_cast<double>(bits);
        ASSERT_TRUE(sameBits(softFromDouble(d), static_cast<long double>(d))) << round;
        const std::uint64_t whole = bits >> (source.random() % 64);
        ASSERT_TRUE(sameBits(softFromUnsigned(whole), static_cast<long double>(whole))) << round;
    }
}

}  // namespace
