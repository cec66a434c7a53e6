#include "text/number_scan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Only this many significant digits take part in the value; later ones count
// as zeros.
constexpr int SignificantDigits = 19;
// Far beyond any exponent that can give a finite nonzero result, small enough
// that sums of such values never overflow.
constexpr std::int64_t ExponentCeiling = 100000;

bool isDigit(int byte) {
    return byte >= '0' && byte <= '9';
}

void addMantissaDigit(NumberScanner& number, int digit, bool inFraction) {
    ++number.digitCount;
    ++number.mantissaDigits;
    if (number.significantDigits == 0 && digit == 0) {
        // A leading zero only shifts the point.
        number.scale -= inFraction ? 1 : 0;
        return;
    }
    if (number.significantDigits < SignificantDigits) {
        number.significand = number.significand * 10 + static_cast<unsigned>(digit);
        ++number.significantDigits;
        number.scale -= inFraction ? 1 : 0;
    } else if (!inFraction) {
        ++number.scale;
    }
}

void addExponentDigit(NumberScanner& number, int digit) {
    number.exponent = std::min(number.exponent * 10 + digit, ExponentCeiling);
    ++number.digitCount;
    ++number.exponentDigits;
}

// The number is whole: is it one the program takes?
ScanStop settle(const NumberScanner& number, ScanStop ending) {
    if (number.digitCount > MaxNumberDigits) {
        return ScanStop::TooManyDigits;
    }
    if (number.kind == NumberKind::Count) {
        const bool tooLarge = number.scale > 0 ||
                              number.significand > std::numeric_limits<std::uint32_t>::max();
        if (tooLarge || (number.negative && number.significand != 0)) {
            return ScanStop::OutOfRange;
        }
    }
    return ending;
}

// The mantissa ended before `byte` (-1: the input ended): an exponent may
// follow a real's digits.
enum class Step { Take, Stay, Stop };
struct ByteVerdict {
    Step step;
    ScanStop stop = ScanStop::NeedMore;
};

ByteVerdict afterMantissa(NumberScanner& number, int byte) {
    if (number.mantissaDigits == 0) {
        return {Step::Stop, byte < 0 ? ScanStop::NoNumber : ScanStop::NotANumber};
    }
    if (number.kind == NumberKind::Real && (byte == 'e' || byte == 'E')) {
        number.phase = ScanPhase::ExponentSign;
        return {Step::Take};
    }
    return {Step::Stop, settle(number, byte < 0 ? ScanStop::EndOfInput : ScanStop::Delimited)};
}

// What one byte (-1: the end of the input) does to the number.
ByteVerdict scanByte(NumberScanner& number, int byte) {
    switch (number.phase) {
    case ScanPhase::Leading:
    case ScanPhase::AfterSign:
        if (byte < 0) {
            return {Step::Stop, ScanStop::NoNumber};
        }
        if (isScanWhiteSpace(byte)) {
            return {Step::Take};
        }
        if (number.phase == ScanPhase::Leading && (byte == '+' || byte == '-')) {
            number.negative = byte == '-';
            number.phase = ScanPhase::AfterSign;
            return {Step::Take};
        }
        number.phase = ScanPhase::Integer;
        return {Step::Stay};
    case ScanPhase::Integer:
    case ScanPhase::Fraction: {
        const bool inFraction = number.phase == ScanPhase::Fraction;
        if (isDigit(byte)) {
            addMantissaDigit(number, byte - '0', inFraction);
            return {Step::Take};
        }
        if (!inFraction && byte == '.' && number.kind == NumberKind::Real) {
            number.phase = ScanPhase::Fraction;
            return {Step::Take};
        }
        return afterMantissa(number, byte);
    }
    case ScanPhase::ExponentSign:
        number.phase = ScanPhase::ExponentDigits;
        if (byte == '+' || byte == '-') {
            number.exponentNegative = byte == '-';
            return {Step::Take};
        }
        return {Step::Stay};
    case ScanPhase::ExponentDigits:
        if (isDigit(byte)) {
            addExponentDigit(number, byte - '0');
            return {Step::Take};
        }
        if (number.exponentDigits == 0) {
            return {Step::Stop, ScanStop::NotANumber};  // "e" without digits
        }
        return {Step::Stop, settle(number, byte < 0 ? ScanStop::EndOfInput : ScanStop::Delimited)};
    }
    return {Step::Stop, ScanStop::NotANumber};
}

Extended powerOfTen(std::int64_t exponent) {
    // 10^(2^k) as significand and exponent: the first five exact, the rest
    // correctly rounded to 64 bits, so every power up to 10^27 comes out exact
    // and larger ones within a few units.
    static constexpr Extended Squares[] = {
        extendedFromParts(0xa000000000000000u, 3),     extendedFromParts(0xc800000000000000u, 6),
        extendedFromParts(0x9c40000000000000u, 13),    extendedFromParts(0xbebc200000000000u, 26),
        extendedFromParts(0x8e1bc9bf04000000u, 53),    extendedFromParts(0x9dc5ada82b70b59eu, 106),
        extendedFromParts(0xc2781f49ffcfa6d5u, 212),   extendedFromParts(0x93ba47c980e98ce0u, 425),
        extendedFromParts(0xaa7eebfb9df9de8eu, 850),   extendedFromParts(0xe319a0aea60e91c7u, 1700),
        extendedFromParts(0xc976758681750c17u, 3401),  extendedFromParts(0x9e8b3b5dc53d5de5u, 6803),
        extendedFromParts(0xc46052028a20979bu, 13606)};
    constexpr std::int64_t Reach = (std::int64_t{1} << std::size(Squares)) - 1;
    if (exponent > Reach) {
        return extendedInfinity();
    }
    Extended power = toExtended(1.0);
    for (std::size_t bit = 0; bit < std::size(Squares); ++bit) {
        if ((exponent >> bit) & 1) {
            power = power * Squares[bit];
        }
    }
    return power;
}

// Feeds the scanner from the stream until the number is settled, and settles
// the stream's state around it: a failed stream takes nothing, a failure
// fails it, and so does the end of input right after a number.
bool scanFromStream(InputStream& stream, NumberScanner& scanner) {
    if (stream.failed) {
        return false;
    }
    ScanProgress progress;
    do {
        const bool ended = peekByte(stream) < 0;  // asks the device once the chunk is used up
        const std::string_view chunk(stream.buffer.data() + stream.position,
                                     stream.size - stream.position);
        progress = scanBytes(scanner, ended ? std::string_view() : chunk, ended);
        stream.position += progress.consumed;
    } while (progress.stop == ScanStop::NeedMore);
    if (progress.stop != ScanStop::Delimited) {
        stream.failed = true;
    }
    return scanSucceeded(progress.stop);
}

}  // namespace

ScanProgress scanBytes(NumberScanner& scanner, std::string_view bytes, bool final) {
    std::size_t at = 0;
    for (;;) {
        const bool more = at < bytes.size();
        if (!more && !final) {
            return {at, ScanStop::NeedMore};
        }
        const int byte = more ? static_cast<unsigned char>(bytes[at]) : -1;
        const ByteVerdict verdict = scanByte(scanner, byte);
        if (verdict.step == Step::Take) {
            ++at;
        } else if (verdict.step == Step::Stop) {
            return {at, verdict.stop};
        }
    }
}

float realValueOf(const NumberScanner& scanner) {
    const std::int64_t exponent = scanner.exponentNegative ? -scanner.exponent : scanner.exponent;
    const Extended size = scaleByPowerOfTen(scanner.significand, scanner.scale + exponent);
    return roundTypedToSingle(scanner.negative ? -size : size);
}

std::uint32_t countValueOf(const NumberScanner& scanner) {
    return static_cast<std::uint32_t>(scanner.significand);
}

ScannedReal scanRealText(std::string_view bytes) {
    NumberScanner scanner{.kind = NumberKind::Real};
    const ScanProgress progress = scanBytes(scanner, bytes, true);
    const float value = scanSucceeded(progress.stop) ? realValueOf(scanner) : 0.0f;
    return {value, progress.consumed, progress.stop};
}

ScannedCount scanCountText(std::string_view bytes) {
    NumberScanner scanner{.kind = NumberKind::Count};
    const ScanProgress progress = scanBytes(scanner, bytes, true);
    const std::uint32_t value = scanSucceeded(progress.stop) ? countValueOf(scanner) : 0;
    return {value, progress.consumed, progress.stop};
}

Extended scaleByPowerOfTen(std::uint64_t significand, std::int64_t exponent) {
    if (significand == 0) {
        return toExtended(0.0);  // zero stays zero even where the power overflows
    }
    const Extended digits = toExtended(significand);
    return exponent >= 0 ? digits * powerOfTen(exponent) : digits / powerOfTen(-exponent);
}

float roundTypedToSingle(Extended value) {
    constexpr Extended Overflow = extendedFromParts(std::uint64_t{1} << 63, 128);
    constexpr Extended LastBinade = extendedFromParts(std::uint64_t{1} << 63, 127);
    constexpr Extended SingleStep = extendedFromParts(std::uint64_t{1} << 63, 104);
    constexpr Extended Underflow = extendedFromParts(std::uint64_t{1} << 63, -149);
    const Extended size = magnitude(value);
    const float sign = signBit(value) ? -1.0f : 1.0f;
    if (size >= Overflow) {
        return sign * std::numeric_limits<float>::infinity();
    }
    if (size >= LastBinade) {
        // Truncate to the 24-bit significand of this binade: steps of 2^104.
        const Extended truncated = floorOf(size / SingleStep) * SingleStep;
        return std::copysign(toFloat(truncated), sign);
    }
    if (size != toExtended(0.0) && size < Underflow) {
        return std::copysign(0.0f, sign);
    }
    return static_cast<float>(toDouble(value));
}

bool scanReal(InputStream& stream, float& target) {
    NumberScanner scanner{.kind = NumberKind::Real};
    if (!scanFromStream(stream, scanner)) {
        return false;
    }
    target = realValueOf(scanner);
    return true;
}

bool scanCount(InputStream& stream, std::uint32_t& target) {
    NumberScanner scanner{.kind = NumberKind::Count};
    if (!scanFromStream(stream, scanner)) {
        return false;
    }
    target = countValueOf(scanner);
    return true;
}
