#include "solver/range_event.h"

#include <string>

RangeSink& rangeSink() {
    static RangeSink instance;
    return instance;
}

const char* rangeKindName(RangeKind kind) {
    static constexpr const char* Names[] = {"DOMAIN", "SING",  "OVERFLOW",
                                            "UNDERFLOW", "TLOSS", "PLOSS"};
    return Names[static_cast<int>(kind) - 1];
}

long double handleRangeEvent(RangeEvent& event) {
    switch (event.kind) {
    case RangeKind::Underflow:
        event.result = 0.0L;
        break;
    case RangeKind::TotalLoss:
        break;
    default: {
        RangeSink& sink = rangeSink();
        ++sink.reported;
        if (sink.report != nullptr) {
            const std::string message =
                std::string(event.function) + ": " + rangeKindName(event.kind) + " error";
            sink.report(sink.context, message.c_str());
        }
        break;
    }
    }
    return event.result;
}
