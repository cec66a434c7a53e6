#pragma once

#include <cstddef>
#include <cstdint>

// Hands bytes to the error device; its answer is ignored.
using WriteErrorBytes = bool (*)(void* device, const char* bytes, std::size_t size);

// Where range messages go, and how many have been written in this process:
// the numeric code learns from the count whether an evaluation reported a
// range event, without knowing anything else of the console. The platform
// points the sink at standard error before the dialog starts; with no sink
// the lines are counted and dropped.
struct ErrorLine {
    WriteErrorBytes write = nullptr;
    void* device = nullptr;
    std::uint64_t linesWritten = 0;
};

ErrorLine& errorLine();

// Writes the text between two CR LF pairs, in one piece.
void writeErrorLine(const char* text);
