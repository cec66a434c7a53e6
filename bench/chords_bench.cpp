// Measures the program side by side with plain baselines in one run, since
// machines are noisy: only ratios and medians are worth quoting. Prints a
// Markdown table.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "console/codec/number_scan.h"
#include "solver/equation.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* DialogInput = "0 1 0.0001 100\n";
constexpr int DialogRuns = 200;
constexpr std::size_t LongLineBytes = 200u << 20;
constexpr int EvaluationRounds = 5;
constexpr int EvaluationsPerRound = 10'000'000;

struct ChildRun {
    double seconds;
    long peakKilobytes;
};

// Runs a program without a terminal, its input from a file and its output
// thrown away, and measures it from outside.
ChildRun runProgram(const char* program, const std::string& inputPath) {
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const int input = ::open(inputPath.c_str(), O_RDONLY);
        const int nothing = ::open("/dev/null", O_WRONLY);
        ::dup2(input, STDIN_FILENO);
        ::dup2(nothing, STDOUT_FILENO);
        ::dup2(nothing, STDERR_FILENO);
        ::execl(program, program, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    return {elapsed.count(), usage.ru_maxrss};
}

std::string writeInputFile(const std::string& contents) {
    char name[] = "/tmp/chords-bench-XXXXXX";
    const int descriptor = ::mkstemp(name);
    ::close(descriptor);
    std::ofstream(name, std::ios::binary) << contents;
    return name;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void row(const char* what, const std::string& figure, const char* goal) {
    std::printf("| %s | %s | %s |\n", what, figure.c_str(), goal);
}

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// The whole dialog against a C program that writes the same bytes, in turn.
void benchDialog() {
    const std::string input = writeInputFile(DialogInput);
    std::vector<double> ours;
    std::vector<double> baseline;
    std::vector<double> ratios;
    for (int run = 0; run < DialogRuns; ++run) {
        ours.push_back(runProgram(CHORDS_PROGRAM, input).seconds);
        baseline.push_back(runProgram(MINIMAL_PROGRAM, input).seconds);
        ratios.push_back(ours.back() / baseline.back());
    }
    std::remove(input.c_str());
    row("Whole scripted dialog, chords / minimal C program (median of pairs)",
        format("%.2fx", median(ratios)) + format(" (%.2f ms", median(ours) * 1e3) +
            format(" vs %.2f ms)", median(baseline) * 1e3),
        "at most 1.5x");
}

// The long line, made as it is read: the driver itself must not hold it, or
// the programs it starts would inherit its memory.
struct LongLine {
    std::size_t blanksLeft = LongLineBytes;
    std::string_view tail = DialogInput;
};

std::size_t readLongLine(void* device, char* buffer, std::size_t capacity) {
    auto& line = *static_cast<LongLine*>(device);
    const std::size_t blanks = std::min(capacity, line.blanksLeft);
    std::fill(buffer, buffer + blanks, ' ');
    line.blanksLeft -= blanks;
    const std::size_t tail = std::min(capacity - blanks, line.tail.size());
    line.tail.copy(buffer + blanks, tail);
    line.tail.remove_prefix(tail);
    return blanks + tail;
}

std::string writeLongLineFile() {
    char name[] = "/tmp/chords-bench-XXXXXX";
    const int descriptor = ::mkstemp(name);
    LongLine line;
    char chunk[1 << 16];
    for (std::size_t got = readLongLine(&line, chunk, sizeof chunk); got > 0;
         got = readLongLine(&line, chunk, sizeof chunk)) {
        if (::write(descriptor, chunk, got) != static_cast<ssize_t>(got)) {
            break;
        }
    }
    ::close(descriptor);
    return name;
}

// The scanner alone over the long line, then the whole program on it.
void benchLongLine() {
    LongLine line;
    InputStream stream;
    stream.read = readLongLine;
    stream.device = &line;
    float value = 0.0f;
    const auto start = Clock::now();
    const bool read = scanReal(stream, value);
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    row("Scanner over 200 MB of blanks before a number",
        format("%.0f MB/s", read ? LongLineBytes / 1e6 / elapsed.count() : 0.0), "");

    const std::string longInput = writeLongLineFile();
    const std::string shortInput = writeInputFile(DialogInput);
    const ChildRun longRun = runProgram(CHORDS_PROGRAM, longInput);
    const ChildRun shortRun = runProgram(CHORDS_PROGRAM, shortInput);
    std::remove(longInput.c_str());
    std::remove(shortInput.c_str());
    row("Whole program on that 200 MB line", format("%.0f MB/s", LongLineBytes / 1e6 / longRun.seconds), "");
    row("Peak memory, 200 MB line / short input",
        format("%.0f KiB", static_cast<double>(longRun.peakKilobytes)) +
            format(" / %.0f KiB", static_cast<double>(shortRun.peakKilobytes)),
        "the same");
}

// The textbook F, with the C library's exponential and no range rules.
long double plainF(float x) {
    return 2.0L * std::exp(-static_cast<long double>(x)) + 0.2L * x * x - 1.5L;
}

template <typename Function>
double secondsForEvaluations(Function f) {
    volatile long double sink = 0.0L;
    const auto start = Clock::now();
    for (int i = 0; i < EvaluationsPerRound; ++i) {
        // Arguments spread over [-700, 700).
        const auto x = static_cast<float>(-700.0 + 1400.0 * (i % 100000) / 100000.0);
        sink = sink + f(x);
    }
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    return elapsed.count();
}

void benchEvaluations() {
    std::vector<double> ours;
    std::vector<double> plain;
    std::vector<double> ratios;
    for (int round = 0; round < EvaluationRounds; ++round) {
        ours.push_back(secondsForEvaluations(equationF));
        plain.push_back(secondsForEvaluations(plainF));
        ratios.push_back(ours.back() / plain.back());
    }
    row("F evaluations, equationF / plain expl-based F (median of pairs)",
        format("%.2fx", median(ratios)) + format(" (%.1f M/s", EvaluationsPerRound / median(ours) / 1e6) +
            format(" vs %.1f M/s)", EvaluationsPerRound / median(plain) / 1e6),
        "at most 1.5x");
}

void benchSize() {
    const std::string stripped = std::string("/tmp/chords-bench-stripped-") + std::to_string(::getpid());
    const std::string command = std::string("strip -o '") + stripped + "' '" + CHORDS_PROGRAM + "'";
    struct stat info{};
    if (std::system(command.c_str()) == 0 && ::stat(stripped.c_str(), &info) == 0) {
        row("Size of the stripped program", format("%.0f KiB", static_cast<double>(info.st_size) / 1024), "");
    }
    std::remove(stripped.c_str());
}

}  // namespace

int main() {
    std::printf("| Measure | Figure | Goal |\n|---|---|---|\n");
    benchDialog();
    benchLongLine();
    benchEvaluations();
    benchSize();
    return 0;
}
