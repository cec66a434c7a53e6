// Number scanning: the value stored, and exactly where scanning stopped.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "text/number_scan.h"
#include "memory_input.h"

namespace {

constexpr float Untouched = -12345.0f;

struct RealScan {
    std::optional<float> value;  // empty when the read failed
    std::string rest;            // what the stream still holds
    bool failedAfter;            // stream failed once the read returned
};

// Every scan runs with the device handing out 1, 3 and 512 bytes at a time;
// the outcome must not depend on where the chunks break.
class ChunkedScanTest : public ::testing::TestWithParam<std::size_t> {
protected:
    RealScan scanRealFrom(std::string_view text) {
        MemoryInput input{text, GetParam()};
        InputStream stream = streamOver(input);
        float target = Untouched;
        const bool stored = scanReal(stream, target);
        if (!stored) {
            EXPECT_EQ(std::bit_cast<std::uint32_t>(target), std::bit_cast<std::uint32_t>(Untouched));
        }
        const bool failed = stream.failed;
        stream.failed = false;  // only to collect what is left
        return {stored ? std::optional<float>(target) : std::nullopt, unread(stream), failed};
    }

    std::optional<std::uint32_t> scanCountFrom(std::string_view text, std::string* rest = nullptr) {
        MemoryInput input{text, GetParam()};
        InputStream stream = streamOver(input);
        std::uint32_t target = 77;
        const bool stored = scanCount(stream, target);
        if (!stored) {
            EXPECT_EQ(target, 77u);
        }
        if (rest != nullptr) {
            stream.failed = false;
            *rest = unread(stream);
        }
        return stored ? std::optional<std::uint32_t>(target) : std::nullopt;
    }

    std::uint32_t bitsOf(std::string_view text) {
        const RealScan scan = scanRealFrom(text);
        EXPECT_TRUE(scan.value.has_value()) << text;
        return std::bit_cast<std::uint32_t>(scan.value.value_or(0.0f));
    }
};

INSTANTIATE_TEST_SUITE_P(Chunks, ChunkedScanTest, ::testing::Values(1, 3, 512));

TEST_P(ChunkedScanTest, SyntaxOfReals) {
    EXPECT_EQ(scanRealFrom("  -  2.5e1\n").value, -25.0f);
    EXPECT_EQ(scanRealFrom("  -  2.5e1\n").rest, "\n");
    EXPECT_EQ(scanRealFrom("+3 ").value, 3.0f);
    EXPECT_EQ(scanRealFrom(".5 ").value, 0.5f);
    EXPECT_EQ(scanRealFrom("5. ").value, 5.0f);
    EXPECT_EQ(scanRealFrom("5. ").rest, " ");
    EXPECT_EQ(scanRealFrom("1E+2 ").value, 100.0f);
    EXPECT_EQ(scanRealFrom("25e-1 ").value, 2.5f);
    EXPECT_EQ(scanRealFrom("\n\n \t\v\f\r 7\n").value, 7.0f);  // empty lines are skipped
}

TEST_P(ChunkedScanTest, MalformedRealsFailAndKeepWhatWasScanned) {
    const RealScan point = scanRealFrom(". 1");
    EXPECT_FALSE(point.value);
    EXPECT_EQ(point.rest, " 1");
    EXPECT_TRUE(point.failedAfter);

    const RealScan mark = scanRealFrom("1e 2");
    EXPECT_FALSE(mark.value);
    EXPECT_EQ(mark.rest, " 2");
    EXPECT_FALSE(scanRealFrom("1e+ 2").value);
    EXPECT_EQ(scanRealFrom("1e+ 2").rest, " 2");

    EXPECT_FALSE(scanRealFrom("abc").value);
    EXPECT_EQ(scanRealFrom("abc").rest, "abc");
    EXPECT_FALSE(scanRealFrom("- -1").value);
    EXPECT_FALSE(scanRealFrom(std::string_view("\0" "1", 2)).value);
    EXPECT_FALSE(scanRealFrom("\xA0" "1").value);  // no byte above 127 is white space
    EXPECT_FALSE(scanRealFrom("").value);
    EXPECT_FALSE(scanRealFrom("   \n ").value);
    EXPECT_FALSE(scanRealFrom("-").value);
}

TEST_P(ChunkedScanTest, NumberStopsAtTheFirstByteThatDoesNotFit) {
    const RealScan comma = scanRealFrom("2,5\n");
    EXPECT_EQ(comma.value, 2.0f);
    EXPECT_EQ(comma.rest, ",5\n");
    EXPECT_FALSE(comma.failedAfter);
    EXPECT_EQ(scanRealFrom("12abc").rest, "abc");
    EXPECT_EQ(scanRealFrom("1.5.5").rest, ".5");
    EXPECT_EQ(scanRealFrom("1e5e5").rest, "e5");
    EXPECT_EQ(scanRealFrom("0x10").rest, "x10");
}

// A whole input read as from_chars reads it: bytes taken and why it stopped.
TEST(TextScanTest, BytesTakenAndWhyTheScanStopped) {
    struct Case {
        std::string_view text;
        NumberKind kind;
        std::size_t consumed;
        ScanStop stop;
    };
    const Case cases[] = {
        {"2.5", NumberKind::Real, 3, ScanStop::EndOfInput},
        {" -2.5e1 ", NumberKind::Real, 7, ScanStop::Delimited},
        {"2,5", NumberKind::Real, 1, ScanStop::Delimited},
        {"1e5e5", NumberKind::Real, 3, ScanStop::Delimited},
        {"1e+", NumberKind::Real, 3, ScanStop::NotANumber},
        {"1ex", NumberKind::Real, 2, ScanStop::NotANumber},
        {". 1", NumberKind::Real, 1, ScanStop::NotANumber},
        {"abc", NumberKind::Real, 0, ScanStop::NotANumber},
        {"- -1", NumberKind::Real, 2, ScanStop::NotANumber},
        {"  \n", NumberKind::Real, 3, ScanStop::NoNumber},
        {"-", NumberKind::Real, 1, ScanStop::NoNumber},
        {"", NumberKind::Real, 0, ScanStop::NoNumber},
        {"7.5", NumberKind::Count, 1, ScanStop::Delimited},
        {"1e2", NumberKind::Count, 1, ScanStop::Delimited},
        {"-0", NumberKind::Count, 2, ScanStop::EndOfInput},
        {"-1", NumberKind::Count, 2, ScanStop::OutOfRange},
        {"4294967296 ", NumberKind::Count, 10, ScanStop::OutOfRange},
        {"00000000000000000000004294967295", NumberKind::Count, 32, ScanStop::EndOfInput},
    };
    for (const Case& c : cases) {
        const ScanProgress progress = c.kind == NumberKind::Real
                                          ? ScanProgress{scanRealText(c.text).consumed,
                                                         scanRealText(c.text).stop}
                                          : ScanProgress{scanCountText(c.text).consumed,
                                                         scanCountText(c.text).stop};
        EXPECT_EQ(progress.consumed, c.consumed) << '"' << c.text << '"';
        EXPECT_EQ(progress.stop, c.stop) << '"' << c.text << '"';
    }
    const std::string longest = "1" + std::string(MaxNumberDigits, '0');
    EXPECT_EQ(scanRealText(longest).stop, ScanStop::TooManyDigits);
    EXPECT_EQ(scanRealText(longest).consumed, longest.size());
    EXPECT_EQ(scanRealText(longest.substr(1)).stop, ScanStop::EndOfInput);
}

// The same number fed in two pieces, split anywhere, as a device's reads
// split it.
TEST(TextScanTest, PiecesScanAsTheWhole) {
    const std::string_view text = "  -12.5e-1x";
    for (std::size_t cut = 0; cut < text.size(); ++cut) {  // the last byte ends it
        NumberScanner scanner;
        const ScanProgress first = scanBytes(scanner, text.substr(0, cut), false);
        ASSERT_EQ(first.stop, ScanStop::NeedMore) << cut;
        EXPECT_EQ(first.consumed, cut);
        const ScanProgress second = scanBytes(scanner, text.substr(cut), true);
        EXPECT_EQ(second.stop, ScanStop::Delimited) << cut;
        EXPECT_EQ(cut + second.consumed, text.size() - 1) << cut;
        EXPECT_EQ(realValueOf(scanner), -1.25f) << cut;
    }
}

TEST_P(ChunkedScanTest, EndOfInputRightAfterANumberStillStoresIt) {
    const RealScan scan = scanRealFrom("12");
    EXPECT_EQ(scan.value, 12.0f);
    EXPECT_TRUE(scan.failedAfter);
    EXPECT_FALSE(scanRealFrom("12\n").failedAfter);
}

TEST_P(ChunkedScanTest, FailedStreamTakesNothingAndStaysFailed) {
    MemoryInput input{"2,5 7 8", GetParam()};
    InputStream stream = streamOver(input);
    float target = Untouched;
    EXPECT_TRUE(scanReal(stream, target));
    EXPECT_FALSE(scanReal(stream, target));  // fails at the comma
    EXPECT_EQ(target, 2.0f);
    const std::size_t readsSoFar = input.reads;
    std::uint32_t count = 0;
    EXPECT_FALSE(scanReal(stream, target));
    EXPECT_FALSE(scanCount(stream, count));
    EXPECT_EQ(input.reads, readsSoFar);
    stream.failed = false;
    EXPECT_EQ(unread(stream), ",5 7 8");
}

TEST_P(ChunkedScanTest, OverflowAndUnderflowAreValuesNotFailures) {
    EXPECT_EQ(scanRealFrom("1e39").value, std::numeric_limits<float>::infinity());
    EXPECT_EQ(scanRealFrom("-1e39").value, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(bitsOf("1e-50"), 0x00000000u);
    EXPECT_EQ(bitsOf("-1e-50"), 0x80000000u);
    // Beyond the extended range, in both directions.
    EXPECT_EQ(scanRealFrom("9e4932").value, std::numeric_limits<float>::infinity());
    EXPECT_EQ(scanRealFrom("-1e999999999999").value, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(bitsOf("1e-999999999999"), 0x00000000u);
    EXPECT_EQ(bitsOf("0e999999"), 0x00000000u);
    EXPECT_EQ(bitsOf("-0"), 0x80000000u);
}

TEST_P(ChunkedScanTest, RoundingToSinglePrecision) {
    EXPECT_EQ(bitsOf("0.1"), 0x3DCCCCCDu);
    EXPECT_EQ(bitsOf("-709.7822"), std::bit_cast<std::uint32_t>(-709.7822265625f));
    // Two roundings, through double: a value just above the midpoint between
    // 1 and the next single comes down to 1.
    EXPECT_EQ(bitsOf("1.000000059604644776"), 0x3F800000u);
    EXPECT_EQ(bitsOf("1.00000006"), 0x3F800001u);
    // From 2^127 on the value is truncated, never rounded up to infinity.
    EXPECT_EQ(bitsOf("3.4028236e38"), 0x7F7FFFFFu);
    EXPECT_EQ(bitsOf("1.7014119867e38"), 0x7F000000u);
    EXPECT_EQ(bitsOf("3.40282367e38"), 0x7F800000u);
    // Below 2^-149 everything is zero; from there on subnormals round.
    EXPECT_EQ(bitsOf("1e-45"), 0x00000000u);
    EXPECT_EQ(bitsOf("1.5e-45"), 0x00000001u);
    EXPECT_EQ(bitsOf("1e-40"), std::bit_cast<std::uint32_t>(1e-40f));
    // Next to a midpoint between two singles: only a 64-bit product of
    // significand and power of ten lands on the right side of it.
    EXPECT_EQ(bitsOf("1.3438369235692337e+28"), 0x6E2DAFD6u);
}

TEST_P(ChunkedScanTest, OnlyNineteenSignificantDigitsCount) {
    // Leading zeros are not significant; digits past the nineteenth act as zeros.
    EXPECT_EQ(bitsOf("0000000000000000000000000.5"), 0x3F000000u);
    EXPECT_EQ(bitsOf("0.0000000000000000000000001"), std::bit_cast<std::uint32_t>(1e-25f));
    EXPECT_EQ(bitsOf("1234567890123456789999999"), bitsOf("1234567890123456789000000"));
    EXPECT_EQ(bitsOf("1.2345678901234567899"), bitsOf("1.2345678901234567890"));
    // Twenty digits would not fit the 64-bit significand.
    EXPECT_EQ(bitsOf("99999999999999999999"), std::bit_cast<std::uint32_t>(1e20f));
}

TEST_P(ChunkedScanTest, DigitLimitCountsEveryDigit) {
    const std::string ones(MaxNumberDigits, '1');
    EXPECT_EQ(scanRealFrom(ones + " ").value, std::numeric_limits<float>::infinity());
    const RealScan tooLong = scanRealFrom(ones + "1 9");
    EXPECT_FALSE(tooLong.value);
    EXPECT_EQ(tooLong.rest, " 9");  // every digit consumed

    const std::string zeros(MaxNumberDigits - 2, '0');
    EXPECT_EQ(scanRealFrom("1e" + zeros + "5 ").value, 100000.0f);  // exponent digits count too
    EXPECT_FALSE(scanRealFrom("1e0" + zeros + "5 ").value);
    EXPECT_EQ(scanRealFrom("0." + zeros + "1 ").value, 0.0f);
    EXPECT_FALSE(scanRealFrom("0." + zeros + "01 ").value);
}

TEST_P(ChunkedScanTest, CountsAreUnsignedDecimals) {
    EXPECT_EQ(scanCountFrom("+7 "), 7u);
    EXPECT_EQ(scanCountFrom("- 0 "), 0u);
    EXPECT_EQ(scanCountFrom("-7 "), std::nullopt);
    EXPECT_EQ(scanCountFrom("4294967295 "), 4294967295u);
    EXPECT_EQ(scanCountFrom("4294967296 "), std::nullopt);
    EXPECT_EQ(scanCountFrom("4772185890 "), std::nullopt);
    EXPECT_EQ(scanCountFrom("99999999999999999999999 "), std::nullopt);
    EXPECT_EQ(scanCountFrom("18446744073709551617 "), std::nullopt);  // 2^64 + 1, not 1
    EXPECT_EQ(scanCountFrom("00000000000000000000000000042 "), 42u);
    EXPECT_EQ(scanCountFrom(". "), std::nullopt);
    EXPECT_EQ(scanCountFrom(std::string(MaxNumberDigits + 1, '0')), std::nullopt);

    std::string rest;
    EXPECT_EQ(scanCountFrom("5.9\n", &rest), 5u);
    EXPECT_EQ(rest, ".9\n");
    EXPECT_EQ(scanCountFrom("0x10", &rest), 0u);
    EXPECT_EQ(rest, "x10");
    EXPECT_EQ(scanCountFrom("1e3", &rest), 1u);
    EXPECT_EQ(rest, "e3");
}

// A terminal delivers a line per read: numbers sharing a line must not make
// the stream ask for another line, which would block a person at the keyboard.
TEST(LineScanTest, NumbersOnOneLineNeedOneDeviceRead) {
    MemoryInput input{"0 1\n0.5\n", 4};
    InputStream stream = streamOver(input);
    float first = 0.0f;
    float second = 0.0f;
    ASSERT_TRUE(scanReal(stream, first));
    ASSERT_TRUE(scanReal(stream, second));
    EXPECT_EQ(first, 0.0f);
    EXPECT_EQ(second, 1.0f);
    EXPECT_EQ(input.reads, 1u);
}

// Ten million digits pass through the 512-byte buffer and are all consumed.
TEST(LineScanTest, HugeNumberFailsAfterConsumingItWhole) {
    const std::string text = std::string(10'000'000, '7') + "\n5";
    MemoryInput input{text};
    InputStream stream = streamOver(input);
    float target = Untouched;
    EXPECT_FALSE(scanReal(stream, target));
    EXPECT_EQ(target, Untouched);
    stream.failed = false;
    EXPECT_EQ(unread(stream), "\n5");
}

TEST(LineScanTest, ScaleByPowerOfTenIsExactUpTo27) {
    Extended power = toExtended(1.0);
    for (int exponent = 0; exponent <= 27; ++exponent) {
        EXPECT_TRUE(scaleByPowerOfTen(1, exponent) == power) << exponent;
        EXPECT_TRUE(scaleByPowerOfTen(3, -exponent) == toExtended(3.0) / power) << exponent;
        power = power * toExtended(10.0);
    }
    EXPECT_TRUE(scaleByPowerOfTen(0, 99999) == toExtended(0.0));
    EXPECT_TRUE(isInfinite(scaleByPowerOfTen(1, 4933)));
    EXPECT_TRUE(isFinite(scaleByPowerOfTen(1, 4932)));
}

}  // namespace
