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

#include "text/number_scan.h"
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
// thrown away (or into a file), and measures it from outside.
ChildRun runProgram(const char* program, const std::string& inputPath,
                    const std::vector<std::string>& arguments = {},
                    const char* outputPath = "/dev/null") {
    std::vector<char*> command{const_cast<char*>(program)};
    for (const std::string& argument : arguments) {
        command.push_back(const_cast<char*>(argument.c_str()));
    }
    command.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const int input = ::open(inputPath.c_str(), O_RDONLY);
        const int output = ::open(outputPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int nothing = ::open("/dev/null", O_WRONLY);
        ::dup2(input, STDIN_FILENO);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(nothing, STDERR_FILENO);
        ::execv(program, command.data());
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

// chords-steps against the dialog on the same numbers, side by side: the
// long one-sided walk of 1 -18 0 4294967295 (12,330,726 chords, every one a
// row, 1.36 GB of table written to a file), and the short lesson case; then
// the scale case's picture.
void benchSteps() {
    const std::string tableFile = std::string("/tmp/chords-bench-table-") + std::to_string(::getpid());
    const auto pairOf = [&](const char* numbers, const std::vector<std::string>& arguments, int runs,
                            const char* output) {
        const std::string input = writeInputFile(numbers);
        std::vector<double> ratios;
        ChildRun steps{};
        ChildRun dialog{};
        for (int run = 0; run < runs; ++run) {
            // A new file each time, as a user's would be, and the last one's
            // blocks written back and freed before the clock starts: the
            // disk's own backlog is not the program's time.
            std::remove(tableFile.c_str());
            ::sync();
            dialog = runProgram(CHORDS_PROGRAM, input);
            steps = runProgram(STEPS_PROGRAM, input, arguments, output);
            ratios.push_back(steps.seconds / dialog.seconds);
        }
        std::remove(input.c_str());
        return std::make_pair(median(ratios), std::make_pair(steps, dialog));
    };
    const auto [longRatio, longRuns] =
        pairOf("1 -18 0 4294967295\n", {"1", "-18", "0", "4294967295"}, 3, tableFile.c_str());
    struct stat tableInfo{};
    ::stat(tableFile.c_str(), &tableInfo);
    const auto tableBytes = static_cast<std::uint64_t>(tableInfo.st_size);
    row("chords-steps table (with the lesson's step, ratio and bound) to a file / chords, "
        "1 -18 0 4294967295 (median of pairs)",
        format("%.2fx", longRatio) + format(" (%.2f s", longRuns.first.seconds) +
            format(" vs %.2f s, ", longRuns.second.seconds) +
            format("%.2f GB)", static_cast<double>(tableBytes) / 1e9),
        "at most 2.5x");
    // The floor a file sets: the table's size in zeros, in the same blocks.
    std::remove(tableFile.c_str());
    ::sync();
    {
        struct stat table{};
        const auto start = Clock::now();
        const int file = ::open(tableFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const std::vector<char> zeros(64 * 1024, '\0');
        std::uint64_t written = 0;
        while (written < tableBytes && ::write(file, zeros.data(), zeros.size()) > 0) {
            written += zeros.size();
        }
        ::close(file);
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        ::stat(tableFile.c_str(), &table);
        row("Writing as many zeros to a new file, 64 KiB a write / chords",
            format("%.2fx", elapsed.count() / longRuns.second.seconds) +
                format(" (%.2f s)", elapsed.count()),
            "");
    }
    // The same walk with F typed in the dialog's own model: MPFR's exp, once
    // a chord, against the fixed F's own.
    const auto [typedRatio, typedRuns] = [&] {
        std::vector<double> ratios;
        ChildRun typedRun{};
        ChildRun fixedRun{};
        const std::string input = writeInputFile("");
        for (int run = 0; run < 3; ++run) {
            std::remove(tableFile.c_str());
            ::sync();
            fixedRun = runProgram(STEPS_PROGRAM, input, {"1", "-18", "0", "4294967295"}, tableFile.c_str());
            std::remove(tableFile.c_str());
            ::sync();
            typedRun = runProgram(STEPS_PROGRAM, input,
                                  {"--equation", "2*exp(-x) + 0.2*x^2 - 1.5", "--precision", "single", "1",
                                   "-18", "0", "4294967295"},
                                  tableFile.c_str());
            ratios.push_back(typedRun.seconds / fixedRun.seconds);
        }
        std::remove(input.c_str());
        return std::make_pair(median(ratios), std::make_pair(typedRun, fixedRun));
    }();
    row("Typed F (--equation, --precision single) / the fixed F's table, both to a file, "
        "1 -18 0 4294967295 (median of pairs)",
        format("%.2fx", typedRatio) + format(" (%.2f s", typedRuns.first.seconds) +
            format(" vs %.2f s)", typedRuns.second.seconds),
        "at most 4x");
    const auto [bareRatio, bareRuns] =
        pairOf("1 -18 0 4294967295\n", {"1", "-18", "0", "4294967295"}, 3, "/dev/null");
    row("The same table to /dev/null, without the disk (median of pairs)",
        format("%.2fx", bareRatio) + format(" (%.2f s", bareRuns.first.seconds) +
            format(" vs %.2f s)", bareRuns.second.seconds),
        "");
    row("Peak memory there, chords-steps / chords",
        format("%.0f KiB", static_cast<double>(longRuns.first.peakKilobytes)) +
            format(" / %.0f KiB", static_cast<double>(longRuns.second.peakKilobytes)),
        "flat");
    const auto [shortRatio, shortRuns] =
        pairOf("0 1 0.0001 100\n", {"0", "1", "0.0001", "100"}, 100, "/dev/null");
    row("chords-steps 0 1 0.0001 100 / chords (median of pairs)",
        format("%.2fx", shortRatio) + format(" (%.2f ms", shortRuns.first.seconds * 1e3) +
            format(" vs %.2f ms)", shortRuns.second.seconds * 1e3),
        "");
    const std::string picture = tableFile + ".svg";
    const std::string input = writeInputFile("");
    const ChildRun drawn = runProgram(STEPS_PROGRAM, input,
                                      {"1", "-18", "0", "4294967295", "--svg", picture});
    struct stat info{};
    ::stat(picture.c_str(), &info);
    row("Picture of 1 -18 0 4294967295 (12.3 M chords): size, peak memory",
        format("%.0f KiB", static_cast<double>(info.st_size) / 1024) +
            format(", %.0f KiB", static_cast<double>(drawn.peakKilobytes)),
        "at most 1 MB");
    // The same with the chords appearing one by one, and the lesson page.
    const std::string page = tableFile + ".html";
    const ChildRun animated = runProgram(STEPS_PROGRAM, input,
                                         {"1", "-18", "0", "4294967295", "--svg", picture,
                                          "--animate", "--html", page});
    struct stat pageInfo{};
    ::stat(picture.c_str(), &info);
    ::stat(page.c_str(), &pageInfo);
    row("The same with --animate, and its lesson page (--html): sizes, peak memory",
        format("%.0f KiB", static_cast<double>(info.st_size) / 1024) +
            format(", %.0f KiB", static_cast<double>(pageInfo.st_size) / 1024) +
            format(", %.0f KiB", static_cast<double>(animated.peakKilobytes)),
        "at most 1 MB, 2 MB");
    std::remove(picture.c_str());
    std::remove(page.c_str());
    std::remove(input.c_str());
    std::remove(tableFile.c_str());
}

}  // namespace

int main() {
    std::printf("| Measure | Figure | Goal |\n|---|---|---|\n");
    benchDialog();
    benchLongLine();
    benchEvaluations();
    benchSize();
    benchSteps();
    return 0;
}
