// Every finite float through the table's nine-digit writer and through the
// standard library's, side by side: the same text, or the first that differs.
// Run by "make check-digits" (a few minutes on two cores), never by the tests.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "text/number_format.h"

namespace {

std::uint64_t checkRange(std::uint64_t from, std::uint64_t to) {
    std::uint64_t differences = 0;
    for (std::uint64_t bits = from; bits < to; ++bits) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        if (!std::isfinite(value)) {
            continue;
        }
        char fast[32];
        char standard[32];
        const char* fastEnd = writeFloatDigits9(fast, value);
        const char* standardEnd = std::to_chars(standard, standard + sizeof standard,
                                                static_cast<double>(value),
                                                std::chars_format::general, 9).ptr;
        const auto fastSize = static_cast<std::size_t>(fastEnd - fast);
        const auto standardSize = static_cast<std::size_t>(standardEnd - standard);
        if (fastSize != standardSize || std::memcmp(fast, standard, fastSize) != 0) {
            if (differences++ < 10) {
                std::printf("0x%08llx: %.*s, standard %.*s\n", static_cast<unsigned long long>(bits),
                            static_cast<int>(fastSize), fast, static_cast<int>(standardSize), standard);
            }
        }
    }
    return differences;
}

}  // namespace

int main() {
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    constexpr std::uint64_t All = std::uint64_t{1} << 32;
    std::vector<std::uint64_t> differences(threads);
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < threads; ++i) {
        workers.emplace_back([&, i] {
            differences[i] = checkRange(All / threads * i, All / threads * (i + 1));
        });
    }
    std::uint64_t total = 0;
    for (unsigned i = 0; i < threads; ++i) {
        workers[i].join();
        total += differences[i];
    }
    std::printf("%llu floats checked, %llu differences\n", static_cast<unsigned long long>(All),
                static_cast<unsigned long long>(total));
    return total == 0 ? 0 : 1;
}
