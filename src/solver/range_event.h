#pragma once

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

// The one handler for every range event: an underflow becomes 0, a total
// loss of precision passes unchanged, and any other kind is reported on the
// error line as "<function>: <KIND> error" and keeps its proposed result.
long double handleRangeEvent(RangeEvent& event);

// "DOMAIN", "SING", "OVERFLOW", "UNDERFLOW", "TLOSS" or "PLOSS".
const char* rangeKindName(RangeKind kind);
