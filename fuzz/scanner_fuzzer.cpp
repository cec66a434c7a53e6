// The number scanner over arbitrary bytes. The first byte chooses how many
// bytes the device hands out per read and which reads (real or count) are
// made; the rest is the input.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "check.h"
#include "text/number_scan.h"

namespace {

struct Device {
    std::string_view bytes;
    std::size_t chunk;
    std::size_t handedOut = 0;
    bool sawEnd = false;
};

std::size_t readDevice(void* context, char* buffer, std::size_t capacity) {
    auto& device = *static_cast<Device*>(context);
    CHECK(!device.sawEnd);  // the stream never asks again after the end
    CHECK(capacity > 0);
    const std::size_t size = std::min({capacity, device.chunk, device.bytes.size() - device.handedOut});
    std::memcpy(buffer, device.bytes.data() + device.handedOut, size);
    device.handedOut += size;
    device.sawEnd = size == 0;
    return size;
}

std::size_t consumed(const Device& device, const InputStream& stream) {
    return device.handedOut - (stream.size - stream.position);
}

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// What a successful read took: blanks, an optional sign with blanks, the
// mantissa and, for reals, an optional exponent.
struct Shape {
    bool negative = false;
    bool point = false;
    bool exponent = false;
    std::size_t mantissaDigits = 0;
};

bool parseShape(std::string_view text, bool real, Shape& shape) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        shape.negative = text[i] == '-';
        ++i;
        while (i < text.size() && isSpace(text[i])) ++i;
    }
    while (i < text.size() && isDigit(text[i])) ++i, ++shape.mantissaDigits;
    if (real && i < text.size() && text[i] == '.') {
        shape.point = true;
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++shape.mantissaDigits;
    }
    if (shape.mantissaDigits == 0) return false;
    if (real && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        shape.exponent = true;
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t digits = 0;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
        if (digits == 0) return false;
    }
    return i == text.size();
}

// The scanner takes the longest number: the byte after it cannot extend it.
bool endsTheNumber(int next, bool real, const Shape& shape) {
    if (next < 0 || isDigit(static_cast<char>(next))) return next < 0;
    if (!real) return true;
    if (next == '.' && !shape.point && !shape.exponent) return false;
    if ((next == 'e' || next == 'E') && !shape.exponent) return false;
    return true;
}

std::uint64_t countOf(std::string_view text) {
    std::uint64_t value = 0;
    for (const char c : text) {
        if (isDigit(c)) value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(c - '0'), 1ull << 40);
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t control = data[0];
    const std::size_t chunk = (control & 0x0Fu) == 0 ? 512u : (control & 0x0Fu);
    Device device{{reinterpret_cast<const char*>(data + 1), size - 1}, chunk};
    InputStream stream;
    stream.read = readDevice;
    stream.device = &device;

    constexpr std::uint32_t RealSentinel = 0x7FC0BEEF;
    constexpr std::uint32_t CountSentinel = 0xDEADBEEF;
    for (int round = 0; round < 256; ++round) {
        const bool real = ((control >> 4) >> (round % 4) & 1) == 0;
        const bool wasFailed = stream.failed;
        const std::size_t before = consumed(device, stream);
        const std::size_t handedBefore = device.handedOut;
        float value = std::bit_cast<float>(RealSentinel);
        std::uint32_t count = CountSentinel;
        const bool stored = real ? scanReal(stream, value) : scanCount(stream, count);
        const std::size_t after = consumed(device, stream);
        CHECK(after <= device.bytes.size());
        if (wasFailed) {  // a failed stream stays failed and takes nothing
            CHECK(!stored && stream.failed && after == before && device.handedOut == handedBefore);
        }
        // A value is stored exactly when the read succeeds.
        if (real) {
            CHECK(stored == (std::bit_cast<std::uint32_t>(value) != RealSentinel));
        } else {
            CHECK(stored || count == CountSentinel);
        }
        if (!stored) {
            CHECK(stream.failed);
            if (wasFailed) break;
            continue;  // one more read must fail at once
        }
        // The same bytes whole, without a device: the same number.
        const std::string_view rest = device.bytes.substr(before);
        if (real) {
            const ScannedReal whole = scanRealText(rest);
            CHECK(scanSucceeded(whole.stop) && whole.consumed == after - before);
            CHECK(std::bit_cast<std::uint32_t>(whole.value) == std::bit_cast<std::uint32_t>(value));
        } else {
            const ScannedCount whole = scanCountText(rest);
            CHECK(scanSucceeded(whole.stop) && whole.consumed == after - before && whole.value == count);
        }
        const std::string_view text = device.bytes.substr(before, after - before);
        Shape shape;
        CHECK(parseShape(text, real, shape));
        CHECK(static_cast<std::size_t>(std::count_if(text.begin(), text.end(), isDigit)) <= MaxNumberDigits);
        const int next = after < device.bytes.size() ? static_cast<unsigned char>(device.bytes[after]) : -1;
        CHECK(endsTheNumber(next, real, shape));
        CHECK(stream.failed == (next < 0));  // the end right after a number fails the stream
        if (real) {
            CHECK(!std::isnan(value));
            CHECK(std::signbit(value) == shape.negative);
        } else {
            CHECK(count == countOf(text));
            CHECK(!shape.negative || count == 0);
        }
    }
    return 0;
}
