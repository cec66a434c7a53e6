#pragma once
// The number scanner: what the dialog's typed numbers are, over bytes alone.
// It reads a range of bytes and answers with the value, how many bytes it
// took and why it stopped. A number may arrive in pieces: the scanner keeps
// its state in a record, so a device's reads can feed it chunk by chunk and
// a number of any length costs the same memory.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/streams.h"
#include "numeric/extended.h"

// The most digits (integer part, fraction and exponent together) a number may
// have; a longer number is consumed whole and then fails.
inline constexpr std::uint32_t MaxNumberDigits = 5132;

// White space before a number and around its sign: the C locale's six bytes.
constexpr bool isScanWhiteSpace(int byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

// A real ("-2.5e1") or a count (digits only, "-0" allowed, at most 2^32 - 1).
enum class NumberKind { Real, Count };

// Why scanning stopped.
enum class ScanStop {
    Delimited,      // the number ended before a byte that cannot continue it
    EndOfInput,     // the number ran up to the end of the input
    NeedMore,       // the bytes ended inside the number or the white space before it
    NoNumber,       // the input ended before any digit
    NotANumber,     // a byte that no number can have there
    TooManyDigits,  // more than MaxNumberDigits
    OutOfRange,     // a count beyond 32 bits, or negative
};

// Whether the number scanned is a value.
constexpr bool scanSucceeded(ScanStop stop) {
    return stop == ScanStop::Delimited || stop == ScanStop::EndOfInput;
}

// Where a scan stands between two pieces of input.
enum class ScanPhase : std::uint8_t {
    Leading,            // white space, then a sign or the first digit
    AfterSign,          // white space may follow the sign too
    Integer,
    Fraction,
    ExponentSign,       // just after "e" or "E"
    ExponentDigits,
};

// What the scanner keeps of a number: never more than the leading digits.
struct NumberScanner {
    NumberKind kind = NumberKind::Real;
    ScanPhase phase = ScanPhase::Leading;
    bool negative = false;
    std::uint64_t significand = 0;
    int significantDigits = 0;
    std::int64_t scale = 0;  // power of ten the significand is to be multiplied by
    std::int64_t exponent = 0;
    bool exponentNegative = false;
    std::uint64_t mantissaDigits = 0;
    std::uint64_t exponentDigits = 0;
    std::uint64_t digitCount = 0;
};

struct ScanProgress {
    std::size_t consumed = 0;
    ScanStop stop = ScanStop::NeedMore;
};

// Takes bytes of one number from the front of `bytes`. With `final`, the
// bytes are all the input there is, and the answer is never NeedMore.
// Otherwise NeedMore says that every byte was taken and the number may go
// on. A byte that ends the number is not taken; on a failure the bytes up to
// the one that failed are.
ScanProgress scanBytes(NumberScanner& scanner, std::string_view bytes, bool final);

// The value of a number whose scan succeeded.
float realValueOf(const NumberScanner& scanner);
std::uint32_t countValueOf(const NumberScanner& scanner);

// One number from a whole input, as from_chars reads one: the value (left
// at 0 unless the scan succeeded), bytes taken and why it stopped.
struct ScannedReal {
    float value = 0.0f;
    std::size_t consumed = 0;
    ScanStop stop = ScanStop::NoNumber;
};
struct ScannedCount {
    std::uint32_t value = 0;
    std::size_t consumed = 0;
    ScanStop stop = ScanStop::NoNumber;
};
ScannedReal scanRealText(std::string_view bytes);
ScannedCount scanCountText(std::string_view bytes);

// The dialog's reads: the scanner fed from a stream, chunk by chunk as the
// device hands them out. On success the target gets the value; on failure it
// is left alone and the stream turns failed for good. A number that runs
// into the end of input still counts, and fails the stream after it.
bool scanReal(InputStream& stream, float& target);
bool scanCount(InputStream& stream, std::uint32_t& target);

// The extended-precision value of significand * 10^exponent, as typed input
// turns into it before rounding.
Extended scaleByPowerOfTen(std::uint64_t significand, std::int64_t exponent);

// Rounds an extended value to single precision the way typed numbers are:
// overflow to infinity from 2^128, truncation in [2^127, 2^128), zero below
// 2^-149, otherwise to double and then to single, both to nearest.
float roundTypedToSingle(Extended value);
