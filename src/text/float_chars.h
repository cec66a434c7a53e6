#pragma once
// Floating-point numbers to and from text as std::to_chars and
// std::from_chars do it, byte for byte. Every number the program writes goes
// through these: where the C++ library has the floating-point overloads (GCC's
// everywhere it is built with) they are those; where it lacks them (the C++
// library of the WebAssembly build) the same results are made from the C
// library's printf and strtod, which are exact there, so that a run gives the
// same bytes in the browser as natively.

#include <charconv>

#if defined(__cpp_lib_to_chars)
#define CHORDS_STD_FLOAT_CHARS 1
#else
#define CHORDS_STD_FLOAT_CHARS 0
#endif

namespace floatchars {

// The fewest digits that read back as the value, fixed or scientific,
// whichever is shorter: std::to_chars(first, last, value).
std::to_chars_result toChars(char* first, char* last, double value);
std::to_chars_result toChars(char* first, char* last, float value);
// printf's "%.*g", "%.*f" or "%.*e" in the "C" locale:
// std::to_chars(first, last, value, format, precision).
std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format, int precision);
// std::from_chars in the general format: the nearest number to the decimal
// text, which has no leading blank or '+'.
std::from_chars_result fromChars(const char* first, const char* last, double& value);
std::from_chars_result fromChars(const char* first, const char* last, float& value);

// The same made from printf and strtod, built on every platform so that the
// native tests compare them with the C++ library's own.
namespace portable {
std::to_chars_result toChars(char* first, char* last, double value);
std::to_chars_result toChars(char* first, char* last, float value);
std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format, int precision);
std::from_chars_result fromChars(const char* first, const char* last, double& value);
std::from_chars_result fromChars(const char* first, const char* last, float& value);
}  // namespace portable

}  // namespace floatchars
