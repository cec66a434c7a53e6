#pragma once

#include <cstdint>

#include "console/codec/streams.h"
#include "numeric/extended.h"

// The most digits (integer part, fraction and exponent together) a number may
// have; a longer number is consumed whole and then fails.
inline constexpr std::uint32_t MaxNumberDigits = 5132;

// Both scanners skip white space, take one number and leave the first byte
// that does not fit it in the stream. On success the target gets the value;
// on failure it is left alone and the stream turns failed for good. A number
// that runs into the end of input still counts, and fails the stream after it.
bool scanReal(InputStream& stream, float& target);
bool scanCount(InputStream& stream, std::uint32_t& target);

// The extended-precision value of significand * 10^exponent, as typed input
// turns into it before rounding.
Extended scaleByPowerOfTen(std::uint64_t significand, std::int64_t exponent);

// Rounds an extended value to single precision the way typed numbers are:
// overflow to infinity from 2^128, truncation in [2^127, 2^128), zero below
// 2^-149, otherwise to double and then to single, both to nearest.
float roundTypedToSingle(Extended value);
