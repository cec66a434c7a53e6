#pragma once
// std::bit_cast where the C++ library has it, and the compiler's built-in
// that it is made of where the library is older (the WebAssembly build's).

#include <version>

#if defined(__cpp_lib_bit_cast)
#include <bit>
#endif

template <typename To, typename From>
constexpr To bitCast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From));
#if defined(__cpp_lib_bit_cast)
    return std::bit_cast<To>(from);
#else
    return __builtin_bit_cast(To, from);
#endif
}
