// The number writer made from printf and strtod, used where the C++ library
// has no floating-point to_chars, against the C++ library's own: the same
// bytes and the same stopping point for every value tried.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "text/float_chars.h"

namespace {

// The portable writer stands on a correctly rounded printf and strtod, as
// glibc's and the WebAssembly C library's are, and is built for the latter.
// Windows' C library is not one (under wine 0x1p-792 prints as
// 3.8392238435728148e-239, and its shortest text is one digit longer), so it
// is not compared there; the program does not use it there.
#ifdef _WIN32
#define SKIP_WITHOUT_EXACT_PRINTF() GTEST_SKIP() << "Windows' printf and strtod are not correctly rounded"
#else
#define SKIP_WITHOUT_EXACT_PRINTF() static_cast<void>(0)
#endif

template <typename Number>
std::string standardText(Number value) {
    char text[64];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

template <typename Number>
std::string portableText(Number value) {
    char text[64];
    return {text, floatchars::portable::toChars(text, text + sizeof text, value).ptr};
}

std::string standardText(double value, std::chars_format format, int precision) {
    char text[400];
    return {text, std::to_chars(text, text + sizeof text, value, format, precision).ptr};
}

std::string portableText(double value, std::chars_format format, int precision) {
    char text[400];
    return {text, floatchars::portable::toChars(text, text + sizeof text, value, format, precision).ptr};
}

// Shortest text, then read back by both readers to the same bits.
template <typename Number>
void expectSameShortest(Number value) {
    const std::string expected = standardText(value);
    ASSERT_EQ(portableText(value), expected) << std::hexfloat << value;
    if (!std::isfinite(value)) {
        return;
    }
    Number read = 0;
    const auto result = floatchars::portable::fromChars(expected.data(), expected.data() + expected.size(), read);
    ASSERT_EQ(result.ptr, expected.data() + expected.size()) << expected;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(static_cast<double>(read)),
              std::bit_cast<std::uint64_t>(static_cast<double>(value)))
        << expected;
}

TEST(FloatCharsTest, ShortestDoublesOverEveryExponent) {
    SKIP_WITHOUT_EXACT_PRINTF();
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 30000; ++i) {
        expectSameShortest(std::bit_cast<double>(random()));
    }
    // Powers of two, where the next double below is nearer than the one
    // above, and the integers whose fixed form outgrows their digits.
    for (int e = -1074; e <= 1023; ++e) {
        expectSameShortest(std::ldexp(1.0, e));
        expectSameShortest(std::nextafter(std::ldexp(1.0, e), 0.0));
    }
    for (const double value : {0.0, -0.0, 1e22, 1e23, 9007199254740993.0, 123456789012345680.0, 0.0001,
                               0.00001, 1e-5, 5e-324, 1.7976931348623157e308}) {
        expectSameShortest(value);
    }
}

TEST(FloatCharsTest, ShortestFloatsOverEveryExponent) {
    SKIP_WITHOUT_EXACT_PRINTF();
    std::mt19937 random(20240611);
    for (int i = 0; i < 30000; ++i) {
        expectSameShortest(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
    }
    for (int e = -149; e <= 127; ++e) {
        expectSameShortest(std::ldexp(1.0f, e));
        expectSameShortest(std::nextafter(std::ldexp(1.0f, e), 0.0f));
    }
}

TEST(FloatCharsTest, GivenPrecisionInEachFormat) {
    SKIP_WITHOUT_EXACT_PRINTF();
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        const int precision = static_cast<int>(random() % 20);
        ASSERT_EQ(portableText(value, std::chars_format::general, precision),
                  standardText(value, std::chars_format::general, precision));
        ASSERT_EQ(portableText(value, std::chars_format::scientific, precision),
                  standardText(value, std::chars_format::scientific, precision));
        // The fixed form's pixels and tick labels: moderate numbers.
        const double pixel = std::ldexp(static_cast<double>(random() % 2000000) - 1000000.0, -10);
        ASSERT_EQ(portableText(pixel, std::chars_format::fixed, precision % 7),
                  standardText(pixel, std::chars_format::fixed, precision % 7));
    }
}

TEST(FloatCharsTest, TooSmallRoomAndWhereReadingStops) {
    SKIP_WITHOUT_EXACT_PRINTF();
    char text[4];
    EXPECT_EQ(floatchars::portable::toChars(text, text + sizeof text, 0.125).ec, std::errc::value_too_large);
    for (const std::string typed : {"+1", " 1", "0x1p3", "1e5000", "2.5e", "x"}) {
        double read = 7.0;
        double expected = 7.0;
        const auto standard = std::from_chars(typed.data(), typed.data() + typed.size(), expected);
        const auto portable = floatchars::portable::fromChars(typed.data(), typed.data() + typed.size(), read);
        EXPECT_EQ(portable.ec, standard.ec) << typed;
        EXPECT_EQ(portable.ptr, standard.ptr) << typed;
        EXPECT_EQ(read, expected) << typed;
    }
}

}  // namespace
