// The whole dialog over arbitrary input bytes, on an in-memory console: it
// always ends, after a number of F evaluations bounded by the input, and it
// never reports a root whose F is not finite.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "check.h"
#include "console/console.h"
#include "dialog/dialog.h"
#include "solver/equation.h"

namespace {

// An iteration limit of five digits or more can make a run draw that many
// chords, each writing a range line; such inputs only cost time, so they are
// left out to keep every run short.
constexpr std::size_t LongestDigitRun = 4;
constexpr std::uint64_t LargestLimit = 9999;

bool hasLongNumber(std::string_view input) {
    std::size_t run = 0;
    for (const char c : input) {
        if (c >= '0' && c <= '9') {
            run = (run == 0 && c == '0') ? 0 : run + 1;
            if (run > LongestDigitRun) return true;
        } else {
            run = 0;
        }
    }
    return false;
}

struct Devices {
    std::string_view input;
    std::string output;
    std::size_t errorLines = 0;
};

Devices* devices = nullptr;

std::size_t readInput(void*, char* buffer, std::size_t capacity) {
    const std::size_t size = std::min(capacity, devices->input.size());
    std::memcpy(buffer, devices->input.data(), size);
    devices->input.remove_prefix(size);
    return size;
}

bool writeOutput(void*, const char* bytes, std::size_t size) {
    devices->output.append(bytes, size);
    return true;
}

bool writeError(void*, const char*, std::size_t) {
    ++devices->errorLines;
    return true;
}

KeyCode noKeyboard(void*) {
    return {};
}

// The value after the last ")=" of the root line, as written.
std::string_view reportedValue(std::string_view output) {
    const std::size_t start = output.rfind(")=");
    CHECK(start != std::string_view::npos);
    const std::size_t end = output.find('\n', start);
    return output.substr(start + 2, end - start - 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (hasLongNumber(input)) return -1;

    Devices recorded{input, {}, 0};
    devices = &recorded;
    Console state;
    state.output = {writeOutput, nullptr};
    state.input.read = readInput;
    state.writeError = writeError;
    state.readKey = noKeyboard;
    state.convertText = convertToUtf8;
    connectRangeSink(state);

    const std::uint64_t evaluationsBefore = equationEvaluationCount();
    const int status = runDialog(state);
    const std::uint64_t evaluations = equationEvaluationCount() - evaluationsBefore;

    // Every interval attempt takes at least two bytes and four evaluations;
    // the iteration at most three per chord, and the report one more.
    CHECK(evaluations <= 4 * (size / 2 + 1) + 3 * LargestLimit + 1);
    CHECK(status == 0 || status == 1);
    const std::string_view output = recorded.output;
    CHECK(output.ends_with("Нажмите любую клавишу"));
    const bool readFailed = output.find("Не удалось прочитать число") != std::string_view::npos;
    CHECK(readFailed == (status == 1));
    if (output.find("Корень = ") != std::string_view::npos) {
        const std::string_view value = reportedValue(output);
        CHECK(value.find("INF") == std::string_view::npos);
        CHECK(value.find("NAN") == std::string_view::npos);
    }
    devices = nullptr;
    return 0;
}
