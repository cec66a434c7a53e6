#pragma once

#include <cstdint>

// A mathematical function's result left its range. Kinds keep their
// traditional numbers: they index the names written in the message.
enum class RangeKind { Domain = 1, Singularity, Overflow, Underflow, TotalLoss, PartialLoss };

struct RangeEvent {
    RangeKind kind;
    const char* function;
    double argument;
    double secondArgument;
    long double result;  // proposed so far; the handler may replace it
};

// Takes the message of a declined event, "<function>: <KIND> error".
using RangeReport = void (*)(void* context, const char* message);

// Where the solver tells its range events: the program connects it (the
// dialog to standard error, chords-steps to nothing, marking its table from
// the count instead, tests to a recorder). Unconnected, events are only
// counted. The count lets a caller learn whether an evaluation reported
// anything, without knowing where the message went.
struct RangeSink {
    RangeReport report = nullptr;
    void* context = nullptr;
    std::uint64_t reported = 0;  // declined events so far in this process
};

RangeSink& rangeSink();

// The one handler for every range event: an underflow becomes 0, a total
// loss of precision passes unchanged, and any other kind is declined: told
// to the sink as "<function>: <KIND> error", keeping its proposed result.
long double handleRangeEvent(RangeEvent& event);

// "DOMAIN", "SING", "OVERFLOW", "UNDERFLOW", "TLOSS" or "PLOSS".
const char* rangeKindName(RangeKind kind);
