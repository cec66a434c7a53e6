// Number writing, text conversion and the console operations over in-memory
// devices.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "console/console.h"
#include "text/cp1251.h"
#include "text/number_format.h"
#include "text/text_codec.h"
#include "text/utf8.h"
#include "memory_input.h"

namespace {

TEST(FormatRealTest, GeneralNotationWithSixDigits) {
    EXPECT_EQ(formatReal(0.5f), "0.5");
    EXPECT_EQ(formatReal(2.0f), "2");
    EXPECT_EQ(formatReal(3.14159265f), "3.14159");
    EXPECT_EQ(formatReal(0.1f), "0.1");
    EXPECT_EQ(formatReal(0.0001f), "0.0001");
    EXPECT_EQ(formatReal(0.00001f), "1e-05");
    EXPECT_EQ(formatReal(123456.7f), "123457");
    EXPECT_EQ(formatReal(999999.5f), "1e+06");  // rounding decides the style
    EXPECT_EQ(formatReal(1234567.0f), "1.23457e+06");
    EXPECT_EQ(formatReal(-5.19123e-05f), "-5.19123e-05");
    EXPECT_EQ(formatReal(0.0f), "0");
    EXPECT_EQ(formatReal(-0.0f), "-0");
    EXPECT_EQ(formatReal(std::numeric_limits<float>::max()), "3.40282e+38");
    EXPECT_EQ(formatReal(std::numeric_limits<float>::denorm_min()), "1.4013e-45");
}

TEST(FormatRealTest, InfinitiesAndNaNsCarryTheirSign) {
    const float infinity = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(formatReal(infinity), "+INF");
    EXPECT_EQ(formatReal(-infinity), "-INF");
    EXPECT_EQ(formatReal(std::copysign(nan, 1.0f)), "+NAN");
    EXPECT_EQ(formatReal(std::copysign(nan, -1.0f)), "-NAN");
}

TEST(FormatCountTest, PlainDigits) {
    EXPECT_EQ(formatCount(0), "0");
    EXPECT_EQ(formatCount(5), "5");
    EXPECT_EQ(formatCount(4294967295u), "4294967295");
}

// The one table and decoder behind both the dialog's texts (at compile
// time) and the keys typed in UTF-8.
TEST(Cp1251Test, EveryByteComesBackFromItsUtf8Form) {
    for (int value = 0; value < 256; ++value) {
        const std::string utf8 = cp1251ToUtf8(std::string(1, static_cast<char>(value)));
        const Utf8Character character = decodeUtf8(utf8);
        ASSERT_TRUE(character.codePoint) << value;
        EXPECT_EQ(character.length, utf8.size()) << value;
        EXPECT_EQ(cp1251ByteOf(*character.codePoint), value);
    }
    EXPECT_FALSE(cp1251ByteOf(U'é'));
}

TEST(Utf8Test, BrokenSequencesHaveNoCodePoint) {
    struct Case {
        const char* bytes;
        std::size_t length;
        bool complete;
    };
    const Case cases[] = {
        {"\xD0", 1, false},           // unfinished
        {"\xE2\x82", 2, false},       // unfinished
        {"\xD0" "A", 1, false},       // cut by a character
        {"\x80", 1, true},            // a continuation byte alone
        {"\xC0\x80", 1, true},        // a lead byte of no sequence
        {"\xE0\x90\x81", 3, true},    // overlong form of Ё
        {"\xED\xA0\x80", 3, true},    // a surrogate
        {"\xF4\x90\x80\x80", 4, true},  // beyond U+10FFFF
    };
    for (const Case& broken : cases) {
        const Utf8Character character = decodeUtf8(broken.bytes);
        EXPECT_EQ(character.length, broken.length) << broken.bytes;
        EXPECT_EQ(character.complete, broken.complete) << broken.bytes;
        EXPECT_FALSE(character.codePoint) << broken.bytes;
    }
    EXPECT_EQ(decodeUtf8("\xF0\x9F\x98\x80").codePoint, U'\U0001F600');
}

// The table's float writer gives the standard library's "%.9g" digits of
// the value widened to double (all 2^32 floats: make check-digits); here a
// seeded sample, the extremes and a few ties.
TEST(NumberFormatTest, FloatDigitsAreTheStandardOnes) {
    std::mt19937 random(20261208);
    std::vector<float> values = {0.0f, -0.0f, 1.0f, 0.1f, 1e9f, 999999999.0f, 123456792.0f,
                                 std::numeric_limits<float>::max(),
                                 std::numeric_limits<float>::min(),
                                 std::numeric_limits<float>::denorm_min(), 1e-5f,
                                 0.0001f, 100000000.0f, 16777217.0f};
    for (int i = 0; i < 200000; ++i) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(value)) {
            values.push_back(value);
        }
    }
    for (const float value : values) {
        char fast[32];
        char standard[32];
        const std::string written(fast, writeFloatDigits9(fast, value));
        const std::string expected(standard, std::to_chars(standard, standard + sizeof standard,
                                                           static_cast<double>(value),
                                                           std::chars_format::general, 9).ptr);
        ASSERT_EQ(written, expected) << std::bit_cast<std::uint32_t>(value);
    }
}

// Devices that record what reaches them, one entry per hand-over.
struct RecordingDevices {
    std::vector<std::string> output;
    std::string errors;
    bool refuse = false;
    std::vector<KeyCode> keys;
};

RecordingDevices* devices = nullptr;

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        devices = &recorded;
        Console& state = console;
        state.output.write = [](void*, const char* bytes, std::size_t size) {
            if (devices->refuse) {
                return false;
            }
            devices->output.emplace_back(bytes, size);
            return true;
        };
        state.input = streamOver(input);
        state.writeError = [](void*, const char* bytes, std::size_t size) {
            devices->errors.append(bytes, size);
            return true;
        };
        state.readKey = [](void*) {
            const KeyCode key = devices->keys.front();
            devices->keys.erase(devices->keys.begin());
            return key;
        };
        state.convertText = convertToUtf8;
    }

    RecordingDevices recorded;
    MemoryInput input{"0 1\n"};
    Console console;
};

TEST_F(ConsoleTest, EveryWriteReachesTheDeviceBeforeItReturns) {
    showText(console, "\xCA\xEE\xF0\xE5\xED\xFC = ");
    writeReal(console, 0.299771f);
    writeRaw(console, " F(");
    writeCount(console, 5);
    endLine(console);
    const std::vector<std::string> expected = {"Корень = ", "0.299771", " F(", "5", "\n"};
    EXPECT_EQ(recorded.output, expected);
}

TEST_F(ConsoleTest, RefusedWriteDropsEverythingAfterIt) {
    recorded.refuse = true;
    writeRaw(console, "lost");
    recorded.refuse = false;
    writeRaw(console, "dropped");
    endLine(console);
    EXPECT_TRUE(recorded.output.empty());
    EXPECT_TRUE(console.output.failed);
    float value = 0.0f;
    EXPECT_TRUE(readReal(console, value));  // input goes on regardless
}

TEST_F(ConsoleTest, ErrorLineStandsBetweenLineBreaks) {
    writeErrorLine(console, "exp: OVERFLOW error");
    EXPECT_EQ(recorded.errors, "\r\nexp: OVERFLOW error\r\n");
    EXPECT_TRUE(recorded.output.empty());
}

TEST_F(ConsoleTest, ExtendedKeyComesInTwoHalves) {
    recorded.keys = {{59, true}, {13, false}, {-1, false}};
    EXPECT_EQ(waitForKey(console), 0);
    EXPECT_EQ(waitForKey(console), 59);  // from the pending byte, without the device
    EXPECT_EQ(recorded.keys.size(), 2u);
    EXPECT_EQ(waitForKey(console), 13);
    EXPECT_EQ(waitForKey(console), -1);
}

TEST_F(ConsoleTest, ReadsReportWhetherTheyStoredAValue) {
    float xib = 5.0f;
    float xie = 5.0f;
    std::uint32_t limit = 9;
    EXPECT_TRUE(readReal(console, xib));
    EXPECT_TRUE(readReal(console, xie));
    EXPECT_FALSE(readCount(console, limit));
    EXPECT_EQ(xib, 0.0f);
    EXPECT_EQ(xie, 1.0f);
    EXPECT_EQ(limit, 9u);
}

}  // namespace

namespace {

// A window that closes with the program waits for a key: only where the
// program is its console's one process (started from Explorer), never from
// a command interpreter (two or more) or without a console (none).
TEST(ConsoleWindowTest, OnlyTheConsolesOneProcessWaitsBeforeClosing) {
    EXPECT_FALSE(waitsBeforeClosing(0));
    EXPECT_TRUE(waitsBeforeClosing(1));
    EXPECT_FALSE(waitsBeforeClosing(2));
    EXPECT_FALSE(waitsBeforeClosing(3));
}

}  // namespace
