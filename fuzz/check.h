#pragma once
// A fuzz target's invariant: a violation aborts, which libFuzzer reports
// together with the input.

#include <cstdio>
#include <cstdlib>

#define CHECK(condition)                                                              \
    do {                                                                              \
        if (!(condition)) {                                                           \
            std::fprintf(stderr, "check failed: %s (line %d)\n", #condition, __LINE__); \
            std::abort();                                                             \
        }                                                                             \
    } while (false)
