// chords-steps: its command line, and the built program against chords and
// against the known chords of "0 1 0.0001 100".
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <set>
#include <sstream>
#include <tuple>
#include <string>
#include <vector>

#include "program_runner.h"
#include "solver/equation.h"
#include "steps/arguments.h"
#include "steps/table.h"
#include "transcripts.h"

namespace {

ProgramRun runSteps(const std::vector<std::string>& arguments) {
    RunOptions options;
    options.program = STEPS_PROGRAM;
    options.arguments = arguments;
    return runChords("", options);
}

std::string contentsOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

bool exists(const std::string& path) {
    return std::ifstream(path).good();
}

// What the table says, taken from its lines: the chord rows split into
// fields, the idle stretch, and everything after the table.
struct Table {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> rowLines;
    std::string header;
    std::uint64_t idleFirst = 0;
    std::uint64_t idleLast = 0;
    std::uint64_t idleRepeats = 0;  // the chord the idle ones repeat
    std::string closing;
};

Table readTable(const std::string& output) {
    Table table;
    const std::string idlePrefix = asShown("Хорды с ");
    std::istringstream lines(output);
    std::string line;
    std::size_t lineNumber = 0;
    std::size_t headerLine = 0;  // the column names, after the lesson's lines
    const std::string columnChord = asShown("Хорда");
    std::size_t closingFrom = std::string::npos;
    std::size_t offset = 0;
    while (std::getline(lines, line)) {
        const std::size_t lineStart = offset;
        offset += line.size() + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t first = line.find_first_not_of(' ');
        ++lineNumber;
        if (headerLine == 0 && first != std::string::npos && line.substr(first).starts_with(columnChord)) {
            table.header = line;
            headerLine = lineNumber;
        } else if (headerLine == 0) {
            continue;
        } else if (first != std::string::npos && std::isdigit(static_cast<unsigned char>(line[first]))) {
            std::istringstream fields(line);
            std::vector<std::string>& row = table.rows.emplace_back();
            for (std::string field; fields >> field;) {
                row.push_back(field);
            }
            table.rowLines.push_back(line);
        } else if (line.starts_with(idlePrefix)) {
            std::istringstream numbers(line.substr(idlePrefix.size()));
            std::string by;
            std::string repeat;
            std::string chord;
            numbers >> table.idleFirst >> by >> table.idleLast;
            numbers >> repeat >> chord >> table.idleRepeats;  // "повторяют хорду N:"
        } else if (closingFrom == std::string::npos) {
            closingFrom = lineStart;
        }
    }
    if (closingFrom != std::string::npos) {
        table.closing = output.substr(closingFrom);
    }
    return table;
}

std::uint64_t chordsCounted(const Table& table) {
    const std::uint64_t idle = table.idleLast > 0 ? table.idleLast - table.idleFirst + 1 : 0;
    return table.rows.size() + idle;
}

// chords' report: what follows the last prompt, up to the closing prompt.
std::string dialogReport(const std::string& output) {
    const std::string lastPrompt = asShown(text::AskLimit);
    const std::size_t from = output.find(lastPrompt);
    const std::size_t to = output.rfind(asShown(text::PressKey));
    if (from == std::string::npos || to == std::string::npos) {
        return "";
    }
    return output.substr(from + lastPrompt.size(), to - from - lastPrompt.size());
}

// Characters of a text as this platform's program shows it: UTF-8, or one
// byte a character in a Cyrillic code page.
std::size_t characters(const std::string& shown) {
    if (asShown("Х").size() == 1) {
        return shown.size();
    }
    std::size_t count = 0;
    for (const char byte : shown) {
        count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

TEST(StepsArgumentsTest, NumbersFollowTheDialogsRulesOneToAnArgument) {
    float real = 0.0f;
    std::uint32_t count = 0;
    EXPECT_TRUE(parseRealArgument("-1.5e1", real) && real == -15.0f);
    EXPECT_TRUE(parseRealArgument("1e99", real) && real == INFINITY);  // beyond range, not an error
    EXPECT_TRUE(parseCountArgument("4294967295", count) && count == 4294967295u);
    for (const char* bad : {"", " 1", "1 ", "1,5", "1e", ".", "abc", "0x10", "1 2"}) {
        EXPECT_FALSE(parseRealArgument(bad, real)) << '"' << bad << '"';
    }
    for (const char* bad : {"-1", "4294967296", "1.5", "1e2", " 7"}) {
        EXPECT_FALSE(parseCountArgument(bad, count)) << '"' << bad << '"';
    }
}

// The inputs line gives each float with the fewest digits that read back as
// it, written out in full while that takes at most nine digits.
TEST(StepsTableTest, ShortestDigitsNameTheFloatExactly) {
    const std::pair<float, const char*> cases[] = {
        {0.0001f, "0.0001"},
        {100.0f, "100"},
        {10.0f, "10"},  // one digit reads back, two are written
        {std::nextafter(1.0f, 2.0f), "1.0000001"},
        {std::bit_cast<float>(0x42E0C497u), "112.383965"},  // nine digits needed
        {0.29977116f, "0.29977116"},
        {16777216.0f, "16777216"},
        {1e9f, "1e+09"},  // ten digits in full: too many
        {1e10f, "1e+10"},
        {std::numeric_limits<float>::max(), "3.4028235e+38"},
        {std::numeric_limits<float>::denorm_min(), "1e-45"},
        {-std::numeric_limits<float>::infinity(), "-INF"},
    };
    for (const auto& [value, shortest] : cases) {
        EXPECT_EQ(formatShortest(value), shortest);
    }
}

// The estimate columns keep a field while its three digits still hold: on
// a sweep through the halfway points of three-digit numbers, every field is
// what %.3g writes afresh.
TEST(StepsTableTest, EstimateFieldsKeptOnlyWhileTheirDigitsHold) {
    std::vector<double> sweep;
    for (const double halfway : {1.545e-4, 9.995e-4, 0.1835, 1.0, 2.5e-300, 999.5}) {
        double value = halfway;
        for (int i = 0; i < 40; ++i) {
            value = std::nextafter(value, 0.0);
        }
        for (int i = 0; i < 80; ++i, value = std::nextafter(value, HUGE_VAL)) {
            sweep.push_back(value);
        }
    }
    std::mt19937_64 random(7);
    for (int i = 0; i < 2000; ++i) {
        sweep.push_back(std::ldexp(std::uniform_real_distribution(1.0, 2.0)(random), static_cast<int>(random() % 40) - 30));
    }
    RowFormat format = rowFormatFor(100);
    DialogChord step;
    step.x = 0.5f;
    for (const double value : sweep) {
        char row[MaxRowBytes];
        const std::string line(row, writeChordRow(row, format, 1, step, {value, std::nullopt, value, value}, {}));
        ASSERT_EQ(line.substr(line.rfind(' ') + 1), formatEstimate(value)) << value;
    }
}

// On a terminal of 80 columns a chord takes three lines, no field broken
// and every field in the same place under the header's folded names.
TEST(StepsTableTest, RowsFoldToATerminalsWidthAtColumnEdges) {
    RowFormat format = rowFormatFor(100);
    DialogChord step;
    step.a = 0.300865114f;
    step.b = -0.00154082506f;
    step.fa = toExtended(0.5f);
    step.fb = toExtended(-0.000282939253);
    step.x = 0.299940795f;
    step.fx = -5.19123278e-05f;
    step.replaced = ChordEnd::B;
    char row[MaxRowBytes];
    const std::string line(row, writeChordRow(row, format, 5, step, {0.000924, 0.184, 0.000843, 0.00458}, {}));
    const std::string folded = foldRow(line, {format.chordWidth}, 80);
    std::vector<std::string> lines;
    std::istringstream pieces(folded);
    for (std::string piece; std::getline(pieces, piece);) {
        EXPECT_LE(piece.size(), 80u) << piece;
        lines.push_back(piece);
    }
    ASSERT_EQ(lines.size(), 3u) << folded;
    EXPECT_EQ(lines[0] + lines[1].substr(format.chordWidth) + lines[2].substr(format.chordWidth), line);
    EXPECT_EQ(foldRow(line, {format.chordWidth}, 200), line);

    // A double row with a modified method's factor: every field whole.
    std::string wide = "   12";
    for (const char* field : {"1", "2", "0.30000000000000004", "-1.2345678901234567e-05", "1.5", "-0.25"}) {
        wide += std::string(26 - std::min<std::size_t>(26, std::strlen(field)), ' ') + field;
    }
    wide += "  b     " + std::string(23, ' ') + "0.5" + "   1.23e-05      0.184   0.000843    0.00458";
    std::istringstream wrapped(foldRow(wide, {5, 26, true}, 80));
    std::string whole;
    for (std::string piece; std::getline(wrapped, piece);) {
        EXPECT_LE(piece.size(), 80u) << piece;
        whole += " " + piece;
    }
    std::istringstream before(wide);
    std::istringstream after(whole);
    EXPECT_TRUE(std::equal(std::istream_iterator<std::string>(before), {}, std::istream_iterator<std::string>(after)));

    // A row that just fits is not folded. Narrower, no line ends in an empty
    // field's blanks (here the end replaced's), and the four estimates go
    // on under the chord column as every continuation does.
    EXPECT_EQ(foldRow(line, {format.chordWidth}, line.size()), line);
    const std::string narrow = foldRow(line, {format.chordWidth}, 50);
    EXPECT_EQ(narrow.find(" \n"), std::string::npos) << narrow;
    EXPECT_EQ(narrow.substr(narrow.rfind('\n') + 1), std::string(format.chordWidth, ' ') + line.substr(line.size() - 44));
}

// The help's prose on a terminal: broken at blanks only, the usage's
// bracketed options kept whole, continuation lines indented.
TEST(StepsTableTest, ProseFoldsAtBlanksToATerminalsWidth) {
    EXPECT_EQ(foldProse("aaa bbb ccc", 4, 7), "aaa bbb\n    ccc");
    EXPECT_EQ(foldProse("  opt   one two", 8, 12), "  opt   one\n        two");
    EXPECT_EQ(foldProse("u: p [--svg F] [--csv F]", 3, 16), "u: p [--svg F]\n   [--csv F]");
    EXPECT_EQ(foldProse("x] [b c]", 0, 6), "x]\n[b c]");  // a stray "]" opens no bracket
    EXPECT_EQ(foldProse("longword x", 2, 4), "longword\n  x");
    EXPECT_EQ(foldProse("unbroken", 0, 4), "unbroken");
    EXPECT_EQ(foldProse("fits as it is", 2, 13), "fits as it is");
}

TEST(StepsArgumentsTest, FaultsNameTheArgument) {
    struct Case {
        std::vector<std::string> line;
        ArgumentFault fault;
        std::size_t position;
    };
    const Case cases[] = {
        {{"0", "1", "0.1"}, ArgumentFault::Missing, 3},
        {{}, ArgumentFault::Missing, 0},
        {{"0", "x", "0.1", "5"}, ArgumentFault::NotANumber, 1},
        {{"0", "1", "0.1", "-5"}, ArgumentFault::NotANumber, 3},
        {{"0", "1", "0.1", "5", "6"}, ArgumentFault::Extra, 5},
        {{"0", "--svgg", "1"}, ArgumentFault::UnknownOption, 2},
        {{"0", "1", "0.1", "5", "--svg"}, ArgumentFault::FileMissing, 5},
        {{"--svg", "a", "0", "--svg", "b"}, ArgumentFault::OptionTwice, 4},
        {{"--svg=", "0"}, ArgumentFault::FileMissing, 1},
        {{"--csv", "a", "--html=", "0"}, ArgumentFault::FileMissing, 3},
        {{"--csv", "-", "--svg=-", "0"}, ArgumentFault::OutputTwice, 3},
        {{"0", "1", "--", "0.1", "--svg", "p"}, ArgumentFault::NotANumber, 3},
        {{"--method", "newtons", "0", "1", "0.1", "5"}, ArgumentFault::UnknownValue, 2},
        {{"0", "1", "0.1", "5", "--stop", "steps"}, ArgumentFault::UnknownValue, 6},
    };
    for (const Case& c : cases) {
        const StepsArguments parsed = parseStepsArguments(c.line);
        EXPECT_EQ(parsed.action, StepsAction::Invalid);
        EXPECT_EQ(parsed.fault, c.fault);
        EXPECT_EQ(parsed.position, c.position);
    }
    const std::vector<std::string> withFiles{"--svg", "p.svg", "-1", "--csv=-", "1", "0", "--animate", "--html", "p.html", "7"};
    const StepsArguments parsed = parseStepsArguments(withFiles);
    EXPECT_EQ(parsed.action, StepsAction::Run);
    EXPECT_EQ(parsed.files[0], "p.svg");
    EXPECT_EQ(parsed.files[1], "p.html");
    EXPECT_EQ(parsed.files[2], "-");
    EXPECT_TRUE(parsed.animate);
    EXPECT_EQ(parsed.xib, -1.0f);
    EXPECT_EQ(parsed.limit, 7u);
    // --separate takes A and B, and N where the next argument is no option;
    // the four numbers then have no place.
    const std::vector<std::string> grid{"--separate", "-1", "2", "--csv", "g.csv"};
    const StepsArguments separated = parseStepsArguments(grid);
    EXPECT_EQ(separated.action, StepsAction::Run);
    EXPECT_EQ(separated.xib, -1.0f);
    EXPECT_EQ(separated.numberTexts[1], "2");
    EXPECT_EQ(separated.gridSteps, 20u);
    EXPECT_EQ(parseStepsArguments(std::vector<std::string>{"--separate", "0", "1", "7"}).gridSteps, 7u);
    const std::vector<std::string> both{"0", "--separate", "0", "1", "7"};
    EXPECT_EQ(parseStepsArguments(both).fault, ArgumentFault::Extra);
    EXPECT_EQ(parseStepsArguments(both).position, 1u);
    const std::vector<std::string> noB{"--separate", "0", "--csv", "g.csv"};
    EXPECT_EQ(parseStepsArguments(noB).position, SeparateNumbers + 1);
    const std::vector<std::string> help{"x", "--version", "--help"};
    EXPECT_EQ(parseStepsArguments(help).action, StepsAction::Version);
    // The GNU forms: the file attached with "=", and "--" before the numbers.
    const std::vector<std::string> gnu{"--svg=--help", "--", "-1", "1", "0", "7"};
    const StepsArguments gnuParsed = parseStepsArguments(gnu);
    EXPECT_EQ(gnuParsed.action, StepsAction::Run);
    EXPECT_EQ(gnuParsed.files[0], "--help");
    EXPECT_EQ(gnuParsed.xib, -1.0f);
}

// With --equation, wherever it stands, XIB and XIE may be any text, kept
// for the typed run to read as a constant expression; without it such an
// end is still the line's first fault, and so it is before a fifth number
// (an expression split by the shell). EPS and LIMIT stay numbers.
TEST(StepsArgumentsTest, EndsMayBeExpressionsOnlyWithAnEquation) {
    const StepsArguments accepted = parseStepsArguments(
        std::vector<std::string>{"-pi", "--equation", "x", "3*pi/2", "0.1", "5"});
    EXPECT_EQ(accepted.action, StepsAction::Run);
    EXPECT_EQ(accepted.numberTexts[0], "-pi");
    EXPECT_EQ(accepted.numberTexts[1], "3*pi/2");
    struct Case {
        std::vector<std::string> line;
        ArgumentFault fault;
        std::size_t position;
    };
    const Case cases[] = {
        {{"pi", "1", "0.1", "5", "--bogus"}, ArgumentFault::NotANumber, 0},
        {{"--equation", "x^2", "-", "2", "0", "10", "0.1"}, ArgumentFault::NotANumber, 0},
        {{"--equation", "x", "0", "1", "e", "5"}, ArgumentFault::NotANumber, 2},
        {{"--equation", "x", "pi", "1", "0.1", "5", "--bogus"}, ArgumentFault::UnknownOption, 7},
    };
    for (const Case& c : cases) {
        const StepsArguments parsed = parseStepsArguments(c.line);
        EXPECT_EQ(parsed.fault, c.fault) << c.line[0];
        EXPECT_EQ(parsed.position, c.position) << c.line[0];
    }
}

TEST(StepsProgramTest, RowsOfZeroToOneAreTheKnownChords) {
    const ProgramRun run = runSteps({"0", "1", "0.0001", "100"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.errors, "");
    const Table table = readTable(run.output);
    const char* approximations[] = {"0.469818354", "0.332910538", "0.305890918",
                                    "0.300865114", "0.299940795", "0.29977116"};
    ASSERT_EQ(table.rows.size(), std::size(approximations));
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const std::vector<std::string>& row = table.rows[i];
        ASSERT_GE(row.size(), 8u);
        EXPECT_EQ(row[0], std::to_string(i + 1));
        EXPECT_EQ(row[1], "0");
        EXPECT_EQ(row[5], approximations[i]);
        EXPECT_EQ(row[7], "b");
        // Right-aligned columns: every row as wide as the header up to the
        // replaced end, letters counted as characters.
        const std::string shown = table.rowLines[i].substr(0, table.rowLines[i].find("  b"));
        const std::string header = table.header.substr(0, table.header.find(asShown("  Замена")));
        EXPECT_EQ(characters(shown), characters(header)) << shown;
    }
    EXPECT_EQ(table.closing, asShown(rootFound("0.299771", "-5.19123e-05", "5")));
    // The estimates, hand-computed: no step (nor the second bound) before
    // the second chord, no ratio before the third, m1 = 2/e - 0.4 at x = 1
    // and M1 = 2 at x = 0.
    EXPECT_EQ(table.rows[0].size(), 9u);
    EXPECT_EQ(table.rows[1].size(), 11u);
    EXPECT_EQ(std::vector(table.rows[5].begin() + 8, table.rows[5].begin() + 12),
              (std::vector<std::string>{"0.00017", "0.184", "0.000155", "0.000841"}));
    EXPECT_NE(run.output.find(asShown("min |F'(x)| на [0, 1] = 0.336;")), std::string::npos);
    EXPECT_NE(run.output.find(asShown("max |F'(x)| на [0, 1] = 2;")), std::string::npos);
}

// The end F*F'' > 0 names stays, on intervals around either root; where
// rounding put x past the root, the row that moved it says so, and so does
// the idle stretch repeating it.
TEST(StepsProgramTest, FixedEndFollowsTheRuleAndRoundingIsFlagged) {
    const std::string flag = asShown("заменён неподвижный конец");
    for (const auto& [numbers, fixed, moving] :
         {std::tuple{std::vector<std::string>{"0", "1", "0.0001", "100"}, "a = 0", "b"},
          std::tuple{std::vector<std::string>{"2", "3", "1e-6", "100"}, "b = 3", "a"}}) {
        const ProgramRun run = runSteps(numbers);
        EXPECT_NE(run.output.find(asShown("Неподвижный конец: ") + fixed), std::string::npos);
        for (const std::vector<std::string>& row : readTable(run.output).rows) {
            EXPECT_EQ(row[7], moving);
        }
        EXPECT_EQ(run.output.find(flag), std::string::npos);
    }
    const std::string page = "steps_test_rounded.html";
    const std::string csv = "steps_test_rounded.csv";
    const ProgramRun rounded = runSteps({"2.5", "2.6", "0", "20", "--html", page, "--csv", csv});
    const Table table = readTable(rounded.output);
    ASSERT_EQ(table.rowLines.size(), 3u);
    EXPECT_EQ(table.rowLines[0].find(flag), std::string::npos);
    EXPECT_NE(table.rowLines[1].find(flag), std::string::npos);
    EXPECT_NE(table.rowLines[2].find(flag), std::string::npos);
    EXPECT_NE(rounded.output.find(asShown("каждая заменяет неподвижный конец")), std::string::npos);
    // The page and the CSV flag the same rows; the page's idle row says why
    // the chords repeat, its summary only that they do.
    const std::string html = contentsOf(page);
    EXPECT_EQ(html.find("<tr data-chord=\"1\" class=\"flagged\""), std::string::npos);
    EXPECT_NE(html.find("<tr data-chord=\"2\" class=\"flagged\""), std::string::npos);
    EXPECT_NE(html.find("<tr data-chord=\"3\" class=\"flagged\""), std::string::npos);
    EXPECT_NE(html.find("a и b больше не меняются; каждая заменяет неподвижный конец из-за округления</td></tr>"),
              std::string::npos);
    EXPECT_NE(html.find("<dd>Хорды с 4 по 20 повторяют хорду 3: a и b больше не меняются</dd>"), std::string::npos);
    const std::string rows = contentsOf(csv);
    EXPECT_EQ(rows.find(",fixed end replaced\r\n2,"), std::string::npos);
    EXPECT_NE(rows.find(",fixed end replaced\r\n3,"), std::string::npos);
    EXPECT_TRUE(rows.ends_with(",fixed end replaced\r\n"));
    std::remove(page.c_str());
    std::remove(csv.c_str());
}

// Random valid inputs: the closing lines are chords' report for the same
// four numbers, byte for byte, and the rows account for every chord.
TEST(StepsProgramTest, ClosingLinesAreTheDialogsReport) {
    std::mt19937 random(20240611);
    const auto pick = [&random](double low, double high) {
        char text[32];
        std::snprintf(text, sizeof text, "%.5g", std::uniform_real_distribution(low, high)(random));
        return std::string(text);
    };
    const char* const accuracies[] = {"0", "1e-7", "0.00001", "0.001", "0.3"};
    const char* const farEnds[] = {"-750", "-100", "-40", "1000"};
    int compared = 0;
    while (compared < STEPS_RANDOM_RUNS) {
        std::vector<std::string> numbers{pick(-4, 5), pick(-4, 5),
                                         accuracies[random() % std::size(accuracies)],
                                         std::to_string(random() % 40)};
        const bool far = random() % 8 == 0;
        if (far) {
            numbers[random() % 2] = farEnds[random() % std::size(farEnds)];
        } else if (random() % 6 == 0) {
            numbers[3] = "4294967295";
        }
        float xib = 0.0f;
        float xie = 0.0f;
        ASSERT_TRUE(parseRealArgument(numbers[0], xib) && parseRealArgument(numbers[1], xie));
        if (intervalRejected(xib, xie)) {
            continue;
        }
        ++compared;
        const ProgramRun dialog =
            runChords(numbers[0] + "\n" + numbers[1] + "\n" + numbers[2] + "\n" + numbers[3] + "\n");
        const ProgramRun steps = runSteps(numbers);
        const std::string report = dialogReport(dialog.output);
        const std::string inputs = numbers[0] + " " + numbers[1] + " " + numbers[2] + " " + numbers[3];
        ASSERT_FALSE(report.empty()) << inputs;
        EXPECT_EQ(steps.exitStatus, 0) << inputs;
        EXPECT_EQ(steps.errors, "") << inputs;
        const Table table = readTable(steps.output);
        EXPECT_EQ(table.closing, report) << inputs;
        const bool found = report != asShown(text::NotFound + "\n");
        const std::uint64_t expected =
            found ? std::stoull(report.substr(report.rfind(' ') + 1)) + 1 : std::stoull(numbers[3]);
        EXPECT_EQ(chordsCounted(table), expected) << inputs;
        if (table.idleLast > 0) {
            EXPECT_EQ(table.idleRepeats, table.rows.size()) << inputs;
        }
    }
}

TEST(StepsProgramTest, OverflowsAreMarkedInTheTableNotOnStandardError) {
    const ProgramRun run = runSteps({"1", "-800", "0.001", "3"});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.errors, "");
    const Table table = readTable(run.output);
    ASSERT_EQ(table.rows.size(), 3u);
    for (const std::string& line : table.rowLines) {
        EXPECT_NE(line.find(asShown("переполнение exp")), std::string::npos) << line;
    }
}

TEST(StepsProgramTest, RefusalsWriteOneLineAndNothingOnStandardOutput) {
    struct Case {
        std::vector<std::string> line;
        int status;
        std::string message;
    };
    const std::string usage =
        "Использование: chords-steps XIB XIE EPS LIMIT [--svg ФАЙЛ] [--html ФАЙЛ] [--csv ФАЙЛ] [--animate]\n"
        "               [--equation ВЫРАЖЕНИЕ] [--precision single|double|extended] [--compare]\n"
        "               [--method chords|illinois|pegasus|anderson-bjorck|bisection|newton|secant|\n"
        "                         combined|iteration] [--stop residual|step|relative]\n"
        "               [--x0 X] [--phi ВЫРАЖЕНИЕ] [--html-app ФАЙЛ]\n"
        "          или: chords-steps --html-app ФАЙЛ\n"
        "          или: chords-steps --separate A B [N] [--equation ВЫРАЖЕНИЕ]\n"
        "               [--precision single|double|extended] [--svg ФАЙЛ] [--html ФАЙЛ] [--csv ФАЙЛ]\n"
        "          или: chords-steps --help | --version\n";
    const std::string same = "steps_test_same.csv";
    std::ofstream(same) << "keep";
    const Case cases[] = {
        {{"0", "1", "0.1"}, 2, "chords-steps: не хватает аргумента LIMIT\n" + usage},
        {{"0", "1", "abc", "5"}, 2, "chords-steps: EPS должен быть одним числом\n" + usage},
        {{"0,5", "1", "0.1", "5"}, 2,
         "chords-steps: XIB должен быть одним числом (дробную часть отделяет точка: 0.5, а не "
         "0,5)\n" + usage},
        {{"0", "1", "0.1", "5", "--bogus"}, 2, "chords-steps: неизвестный параметр «--bogus»\n" + usage},
        {{"0", "1", "0.1", "5", "6"}, 2, "chords-steps: лишний аргумент «6»\n" + usage},
        {{"--separate", "0"}, 2, "chords-steps: не хватает аргумента B\n" + usage},
        {{"--separate", "0", "3", "0"}, 2, "chords-steps: N должен быть одним целым числом от 1 до 4294967295\n" + usage},
        {{"--separate", "0", "3", "--method", "chords"}, 2, "chords-steps: --separate не сочетается с --method\n"},
        {{"--separate", "0", "3", "--phi", "x"}, 2, "chords-steps: --separate не сочетается с --phi\n"},
        {{"0", "1", "0.1", "5", "--method", "secant", "--x0", "0.5"}, 2,
         "chords-steps: --x0 задаёт начальное приближение только методам newton и iteration\n"},
        {{"--separate", "1", "1"}, 1, "chords-steps: неудачный интервал: A = B = 1, отделять корни не на чем\n"},
        {{"0", "1", "0.1", "5", "--html", "/no/such/folder/p.html"}, 1,
         "chords-steps: не удалось записать страницу в файл /no/such/folder/p.html: нет такого "
         "файла или каталога\n"},
        {{"3", "4", "0.1", "5"}, 1,
         "chords-steps: неудачный интервал: F(3) = 0.399574131 > 0 и F(4) = 1.73663128 > 0: "
         "F не меняет знак\n"},
        {{"1e39", "1", "0.1", "5"}, 1,
         "chords-steps: неудачный интервал: Xib = +INF вне диапазона одинарной точности\n"},
        {{"-100", "1", "0.1", "5"}, 1,
         "chords-steps: неудачный интервал: F(-100) = 5.37623428e+43 вне диапазона одинарной "
         "точности, хорду не провести\n"},
        {{"0", "1", "0.1", "5", "--svg", "/no/such/folder/p.svg"}, 1,
         "chords-steps: не удалось записать рисунок в файл /no/such/folder/p.svg: нет такого "
         "файла или каталога\n"},
        {{"0", "1", "0.1", "5", "--svg", "."}, 1,
         "chords-steps: не удалось записать рисунок в файл .: это каталог\n"},
        // One file for two outputs, by its name or by another name of it.
        {{"3", "4", "0.1", "5", "--html", "p.x", "--csv", "p.x"}, 2,
         "chords-steps: файл p.x назван для двух выводов: --html и --csv\n"},
        {{"0", "1", "0.1", "5", "--svg=./" + same, "--csv", same, "--html", "-"}, 2,
         "chords-steps: файл ./" + same + " назван для двух выводов: --svg и --csv\n"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = runSteps(c.line);
        EXPECT_EQ(run.exitStatus, c.status) << c.message;
        EXPECT_EQ(run.output, "") << c.message;
        EXPECT_EQ(run.errors, asShown(c.message));
    }
    EXPECT_FALSE(exists("./.part"));
    EXPECT_FALSE(exists("p.x"));
    EXPECT_EQ(contentsOf(same), "keep");
    std::remove(same.c_str());
    // A refused interval is still drawn when a picture is asked for: F over
    // it and the reason, the status unchanged.
    const std::string path = "steps_test_refused.svg";
    const ProgramRun refused = runSteps({"-10", "10", "0.001", "50", "--svg", path});
    EXPECT_EQ(refused.exitStatus, 1);
    const std::string svg = contentsOf(path);
    EXPECT_NE(svg.find("<path class=\"curve\""), std::string::npos);
    EXPECT_NE(svg.find("F не меняет знак</text>"), std::string::npos);
    std::remove(path.c_str());
}

// Every number of a coordinate attribute or of the curve's path inside the
// view box.
void expectInsideViewBox(const std::string& svg) {
    std::size_t checked = 0;
    const auto inside = [&checked](const std::string& number, double limit) {
        ++checked;
        const double value = std::stod(number);
        EXPECT_TRUE(value >= 0.0 && value <= limit) << number;
    };
    const std::pair<const char*, double> attributes[] = {
        {" x=\"", 1000.0}, {" x1=\"", 1000.0}, {" x2=\"", 1000.0}, {" cx=\"", 1000.0},
        {" y=\"", 760.0},  {" y1=\"", 760.0},  {" y2=\"", 760.0},  {" cy=\"", 760.0}};
    for (const auto& [name, limit] : attributes) {
        const std::string key = name;
        for (std::size_t at = svg.find(key); at != std::string::npos; at = svg.find(key, at + 1)) {
            inside(svg.substr(at + key.size(), svg.find('"', at + key.size()) - at - key.size()), limit);
        }
    }
    const std::size_t pathFrom = svg.find(" d=\"") + 4;
    std::istringstream path(svg.substr(pathFrom, svg.find('"', pathFrom) - pathFrom));
    for (std::string point; path >> point;) {
        const std::size_t comma = point.find(',');
        inside(point.substr(1, comma - 1), 1000.0);
        inside(point.substr(comma + 1), 760.0);
    }
    EXPECT_GT(checked, 20u);
}

std::size_t occurrences(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

// How many of the picture's chords lie on different whole pixels.
std::size_t distinctChordPixels(const std::string& svg) {
    std::set<std::vector<long>> seen;
    const std::string key = "<line class=\"chord\"";
    for (std::size_t at = svg.find(key); at != std::string::npos; at = svg.find(key, at + 1)) {
        std::vector<long> pixels;
        for (const char* name : {" x1=\"", " y1=\"", " x2=\"", " y2=\""}) {
            const std::size_t value = svg.find(name, at) + std::string(name).size();
            pixels.push_back(std::lround(std::stod(svg.substr(value))));
        }
        seen.insert(pixels);
    }
    return seen.size();
}

TEST(StepsProgramTest, PictureHasOneChordPerRowInsideItsViewBox) {
    const std::string path = "steps_test_picture.svg";
    const std::vector<std::vector<std::string>> inputs = {
        {"0", "1", "0.0001", "100"}, {"1", "-800", "0.001", "3"}, {"-10", "1", "0", "4294967295"}};
    for (const std::vector<std::string>& numbers : inputs) {
        std::vector<std::string> line = numbers;
        line.insert(line.end(), {"--svg", path});
        const ProgramRun run = runSteps(line);
        ASSERT_EQ(run.exitStatus, 0);
        const std::string svg = contentsOf(path);
        EXPECT_FALSE(exists(path + ".part"));
        // One chord a row, but those on the same whole pixels as one drawn
        // before, which the caption then counts apart.
        const std::size_t chords = occurrences(svg, "<line class=\"chord\"");
        const std::string distinct = "на рисунке (остальные легли на те же пиксели или ближе 3 пикселей): ";
        const std::size_t said = svg.find(distinct);
        EXPECT_EQ(chords, said == std::string::npos ? readTable(run.output).rows.size()
                                                    : std::stoul(svg.substr(said + distinct.size())));
        EXPECT_EQ(distinctChordPixels(svg), chords);
        expectInsideViewBox(svg);
        if (std::string(XMLLINT_PROGRAM).empty()) {
            continue;  // not on this platform
        }
        EXPECT_EQ(std::system((std::string(XMLLINT_PROGRAM) + " --noout " + path).c_str()), 0);
    }
    // The picture in the README is what the program draws now: a dashed
    // line up to the curve from each approximation drawn (those within three
    // pixels of the last drawn are left to the inset), and ticks at round
    // values, here tenths on both axes.
    const ProgramRun run = runSteps({"0", "1", "0.0001", "100", "--svg", path});
    const std::string svg = contentsOf(path);
    EXPECT_EQ(occurrences(svg, "<line class=\"vertical\""), 4u);  // chords 5 and 6 crowd chord 4
    const std::string ticks = svg.substr(svg.find("<g class=\"ticks\">"));
    std::size_t labels = 0;
    for (std::size_t end = ticks.find("</text>"); end < ticks.find("</g>"); end = ticks.find("</text>", end + 1)) {
        const std::size_t start = ticks.rfind('>', end) + 1;
        std::string label = ticks.substr(start, end - start);
        if (label.starts_with("&#8722;")) {
            label = "-" + label.substr(7);
        }
        const double tenths = std::stod(label) * 10;
        EXPECT_EQ(tenths, std::round(tenths)) << label;
        ++labels;
    }
    EXPECT_EQ(labels, 11u + 12u);  // 0 to 1 across, -0.6 to 0.5 up
    EXPECT_EQ(contentsOf(path), contentsOf(nativePath(STEPS_DOCS_PICTURE)));
    std::remove(path.c_str());
}

// The separation's picture: a mark and an axis tick a point while they
// stand 8 pixels apart, the two intervals as bands labelled with their
// ends, everything inside the view box; N = 200000 keeps the picture
// small. The page has a row a point and the commands.
TEST(StepsProgramTest, SeparationPictureMarksThePointsAndTheIntervals) {
    const std::string path = "steps_test_separation.svg";
    const ProgramRun run = runSteps({"--separate", "0", "3", "--svg", path, "--html", "s.html"});
    ASSERT_EQ(run.exitStatus, 0);
    const std::string svg = contentsOf(path);
    EXPECT_EQ(occurrences(svg, "stroke=\"#404040\" stroke-width=\"1.5\"/>"), 21u);
    const std::string bands = svg.substr(svg.find("<g class=\"bands\">"), svg.find("<g class=\"points\">") - svg.find("<g class=\"bands\">"));
    EXPECT_EQ(occurrences(bands, "<rect"), 2u);
    EXPECT_NE(svg.find(">[0.15, 0.3]</text>"), std::string::npos);
    EXPECT_NE(svg.find(">[2.55, 2.7]</text>"), std::string::npos);
    expectInsideViewBox(svg);
    if (!std::string(XMLLINT_PROGRAM).empty()) {
        EXPECT_EQ(std::system((std::string(XMLLINT_PROGRAM) + " --noout " + path).c_str()), 0);
    }
    const std::string page = contentsOf("s.html");
    EXPECT_EQ(occurrences(page, "<th scope=\"row\">"), 21u);
    EXPECT_NE(page.find("<code>chords-steps 2.55 2.7 EPS LIMIT</code>"), std::string::npos);
    ASSERT_EQ(runSteps({"--separate", "-10", "10", "200000", "--svg", path}).exitStatus, 0);
    EXPECT_LT(contentsOf(path).size(), 200000u);
    std::remove(path.c_str());
    std::remove("s.html");
}

// The picture goes to a file of its own: never into a file already under
// the temporary name, and never into a descriptor the table should have had.
TEST(StepsProgramTest, PictureIsWrittenToANewFileOnly) {
    const std::string path = "steps_test_own.svg";
    std::ofstream(path + ".part") << "keep";
    RunOptions options;
    options.program = STEPS_PROGRAM;
    options.arguments = {"0", "1", "0.0001", "100", "--svg", path};
    options.outputClosed = nativePath("/dev/null") == "/dev/null";  // a POSIX-only case
    const ProgramRun run = runChords("", options);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(contentsOf(path + ".part"), "keep");
    EXPECT_FALSE(exists(path + ".part2"));
    EXPECT_EQ(contentsOf(path), contentsOf(nativePath(STEPS_DOCS_PICTURE)));
    std::remove(path.c_str());
    std::remove((path + ".part").c_str());
}

// A table, a help or a comparison nobody can receive is a failure, not a
// success.
TEST(StepsProgramTest, RefusedStandardOutputEndsWithStatusOne) {
    if (nativePath("/dev/full") != "/dev/full" || !exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    std::vector<std::vector<std::string>> lines = {{"0", "1", "0.0001", "100"}, {"--help"}, {"--version"}};
    if (STEPS_TYPED_EQUATIONS) {
        lines.push_back({"--equation", "x^2 - 2", "0", "2", "1e-9", "50", "--compare"});
    }
    for (const std::vector<std::string>& line : lines) {
        RunOptions options;
        options.program = STEPS_PROGRAM;
        options.arguments = line;
        options.outputFile = "/dev/full";
        const ProgramRun run = runChords("", options);
        EXPECT_EQ(run.exitStatus, 1) << line[0];
        EXPECT_EQ(run.errors,
                  asShown("chords-steps: не удалось вывести таблицу: стандартный вывод не "
                          "принимает данные\n"));
    }
}

// Files beside a table nobody receives still get every step: a method's
// page (Newton on x^2 - 2 in double, circling between two neighbours
// around the root up to the limit) is the page of the run whose table was
// read.
TEST(StepsProgramTest, FilesKeepEveryStepWhenStandardOutputFails) {
    if (!STEPS_TYPED_EQUATIONS || nativePath("/dev/full") != "/dev/full" || !exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full or no typed equations here";
    }
    const std::vector<std::string> line = {"--equation", "x^2 - 2", "1", "2", "0", "3000", "--method", "newton",
                                           "--precision", "double", "--html"};
    std::vector<std::string> read = line, refused = line;
    read.push_back("read.html");
    refused.push_back("refused.html");
    EXPECT_EQ(runSteps(read).exitStatus, 0);
    RunOptions options;
    options.program = STEPS_PROGRAM;
    options.arguments = refused;
    options.outputFile = "/dev/full";
    EXPECT_EQ(runChords("", options).exitStatus, 1);
    EXPECT_EQ(contentsOf("refused.html"), contentsOf("read.html"));
    // So with the CSV on the refused standard output beside the page.
    options.arguments.insert(options.arguments.end(), {"--csv", "-"});
    EXPECT_EQ(runChords("", options).exitStatus, 1);
    EXPECT_EQ(contentsOf("refused.html"), contentsOf("read.html"));
    std::remove("read.html");
    std::remove("refused.html");
}

// A file's name in any script is the file's name, on Windows too, where
// the narrow calls would have put it through the ANSI code page; nothing
// is left under the temporary name, and a message names it as given.
TEST(StepsProgramTest, FilesAreNamedInAnyScript) {
    namespace fs = std::filesystem;
    const std::pair<std::string, fs::path> names[] = {{"хорды.svg", fs::path(u8"хорды.svg")},
                                                      {"ünïcode.svg", fs::path(u8"ünïcode.svg")}};
    for (const auto& [given, path] : names) {
        const ProgramRun run = runSteps({"0", "1", "0.1", "10", "--svg", given});
        EXPECT_EQ(run.exitStatus, 0) << run.errors;
        EXPECT_EQ(run.errors, "");
        EXPECT_TRUE(fs::is_regular_file(path)) << given;
        EXPECT_FALSE(fs::exists(fs::path(path) += ".part")) << given;
        fs::remove(path);
    }
    EXPECT_FALSE(fs::exists("unicode.svg"));
    const ProgramRun missing = runSteps({"0", "1", "0.1", "10", "--csv", "нет/хорды.csv"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.errors, asShown("chords-steps: не удалось записать таблицу CSV в файл нет/хорды.csv: нет "
                                      "такого файла или каталога\n"));
}

}  // namespace

namespace {

// Typed equations, checked against published tables: Burden and Faires'
// false position on cos x - x from 0.5 and pi/4 (their Table 2.6), and the
// iteration counts of the modified methods where the plain one crawls.
TEST(StepsTypedTest, PublishedIteratesAndTheModifiedMethodsCounts) {
    if (!STEPS_TYPED_EQUATIONS) {
        GTEST_SKIP() << "built without MPFR";
    }
    const ProgramRun run = runSteps({"--equation", "cos(x) - x", "0.5", "0.7853981633974483", "1e-10", "20"});
    EXPECT_EQ(run.exitStatus, 0);
    const Table table = readTable(run.output);
    const char* published[] = {"0.7363841388", "0.7390581392", "0.7390848638", "0.7390851305", "0.7390851332"};
    ASSERT_EQ(table.rows.size(), std::size(published));
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        char tenDecimals[32];
        std::snprintf(tenDecimals, sizeof tenDecimals, "%.10f", std::stod(table.rows[i][5]));
        EXPECT_EQ(std::string(tenDecimals), published[i]);
    }
    // Chords drawn by each method: the first number of each of the four rows
    // after the comparison's header.
    const auto drawn = [](const std::vector<std::string>& line) {
        std::vector<int> counts;
        std::istringstream rows(runSteps(line).output);
        std::string row;
        for (int skipped = 0; skipped < 3 && std::getline(rows, row); ++skipped) {
        }
        for (int method = 0; method < 4 && std::getline(rows, row); ++method) {
            std::istringstream fields(row);
            for (std::string word; fields >> word;) {
                if (std::isdigit(static_cast<unsigned char>(word[0]))) {
                    counts.push_back(std::stoi(word));
                    break;
                }
            }
        }
        return counts;
    };
    EXPECT_EQ(drawn({"--equation", "x^3 + 4*x^2 - 10", "1", "2", "1e-10", "100", "--compare"}),
              (std::vector<int>{19, 7, 6, 6}));
    EXPECT_EQ(drawn({"--equation", "x^2 - 2", "0", "10", "1e-10", "200", "--compare"}),
              (std::vector<int>{89, 10, 9, 9}));
    // F counted once a point: the two ends, then one x a chord, however
    // long the fixed end stays.
    EXPECT_NE(runSteps({"--equation", "x^2 - 2", "0", "10", "1e-10", "200", "--compare"}).output.find(" 89     91 "),
              std::string::npos);
    // A modified method's chord that leaves both ends as they were is no
    // repetition: the kept value goes on halving (chord 12), and a step of
    // 0 has no ratio after it.
    runSteps({"--equation", "x^2 - 2", "1", "2", "0", "12", "--method", "illinois", "--csv", "stall.csv"});
    EXPECT_TRUE(contentsOf("stall.csv")
                    .ends_with("\r\n11,1.414213562373095,1.4142135623730951,-4.440892098500626e-16,4.440892098500626e-16,"
                               "1.414213562373095,-4.440892098500626e-16,a,0.5,0,0,2.220446049250313e-16,0,\r\n"
                               "12,1.414213562373095,1.4142135623730951,-4.440892098500626e-16,2.220446049250313e-16,"
                               "1.4142135623730951,4.440892098500626e-16,b,,2.220446049250313e-16,,2.220446049250313e-16,"
                               "2.220446049250313e-16,\r\n"));
    std::remove("stall.csv");
}

// A faulty expression: one line saying what was expected, the expression
// again with a caret under the fault, status 2. The fixed equation typed in
// the dialog's own precision ends with the dialog's report.
TEST(StepsTypedTest, FaultsPointAtTheirColumnAndTheDialogsModelGivesItsReport) {
    if (!STEPS_TYPED_EQUATIONS) {
        GTEST_SKIP() << "built without MPFR";
    }
    const ProgramRun faulty = runSteps({"--equation", "2*x +* 3", "0", "1", "0.1", "10"});
    EXPECT_EQ(faulty.exitStatus, 2);
    EXPECT_EQ(faulty.output, "");
    std::string caret = faulty.errors.substr(faulty.errors.find('\n') + 1);
    std::erase(caret, '\r');  // standard error in text mode on Windows
    EXPECT_EQ(caret, "  2*x +* 3\n       ^\n");
    const ProgramRun typed = runSteps(
        {"--equation", "2*exp(-x) + 0.2*x^2 - 1.5", "--precision", "single", "0", "1", "0.0001", "100"});
    EXPECT_EQ(readTable(typed.output).closing, asShown(rootFound("0.299771", "-5.19123e-05", "5")));
    // The report's F is the typed one's.
    const ProgramRun square = runSteps({"--equation", "x^2 - 2", "1", "2", "0.1", "100", "--precision", "single"});
    EXPECT_EQ(readTable(square.output).closing, asShown(rootFound("1.4", "-0.0400001", "1")));
    // The comparison has no file to write, and says so rather than ignore it.
    EXPECT_EQ(runSteps({"--equation", "x", "-1", "1", "0.1", "9", "--compare", "--svg", "c.svg"}).exitStatus, 2);
    // A refused interval's picture still shows F, and why.
    EXPECT_EQ(runSteps({"--equation", "ln(x)", "-1", "2", "0.1", "9", "--svg", "refused.svg"}).exitStatus, 1);
    EXPECT_NE(contentsOf("refused.svg").find("F(-1): F там не определена</text>"), std::string::npos);
    std::remove("refused.svg");
    // Ends beyond the range of doubles still make a picture, without NaN.
    EXPECT_EQ(runSteps({"--equation", "x", "-1e4000", "1", "0.1", "9", "--precision", "extended", "--svg", "far.svg"})
                  .exitStatus,
              0);
    EXPECT_EQ(contentsOf("far.svg").find("nan"), std::string::npos);
    std::remove("far.svg");
}

// Ends typed as constant expressions, evaluated as F is in each precision
// (single: in extended, then stored) and shown as the format holds them;
// the expected values computed apart. One that does not read, or holds x,
// is refused as a faulty expression is; one beyond the format as a number
// beyond it.
TEST(StepsTypedTest, ConstantEndsAreHeldAsTheFormatEvaluatesThem) {
    if (!STEPS_TYPED_EQUATIONS) {
        GTEST_SKIP() << "built without MPFR";
    }
    for (const auto& [precision, ends] :
         {std::pair{"single", "Xib = 0.785398185, Xie = 2.41421366;"},
          std::pair{"double", "Xib = 0.7853981633974483, Xie = 2.414213562373095;"},
          std::pair{"extended", "Xib = 0.78539816339744830963, Xie = 2.4142135623730950488;"}}) {
        const ProgramRun run =
            runSteps({"--equation", "x^2 - 2", "pi/4", "sqrt(2) + 1", "1e-6", "20", "--precision", precision});
        EXPECT_EQ(run.exitStatus, 0) << precision;
        EXPECT_NE(run.output.find(asShown("Интервал: ") + ends), std::string::npos) << precision;
    }
    const auto refusal = [](const char* end) {
        const ProgramRun run = runSteps({"--equation", "x^2 - 2", "0", end, "1e-6", "20"});
        EXPECT_EQ(run.output, "") << end;
        std::string errors = run.errors;
        std::erase(errors, '\r');  // standard error in text mode on Windows
        return std::to_string(run.exitStatus) + " " + errors;
    };
    const auto said = [](const char* text) {
        std::string shown = asShown(text);
        std::erase(shown, '\r');
        return shown;
    };
    EXPECT_EQ(refusal("sqrt(2"), "2 " + said("chords-steps: XIE: ошибка в выражении: ожидалась «)»\n") +
                                      "  sqrt(2\n        ^\n");
    EXPECT_EQ(refusal("2*x"), "2 " + said("chords-steps: XIE не может зависеть от x: нужно число или "
                                          "выражение без x, например pi/4\n"));
    EXPECT_EQ(refusal("1/0"), "1 " + said("chords-steps: неудачный интервал: Xie = +INF вне диапазона double\n"));
}

// What a run says of a chord does not depend on the equation's kind: the
// fixed F typed in the dialog's model says why its chords idle as the fixed
// run does, and a point where F is not defined is a chord with its x in the
// table, the CSV and the page alike, in every precision.
TEST(StepsTypedTest, AChordIsToldAlikeInEveryOutput) {
    if (!STEPS_TYPED_EQUATIONS) {
        GTEST_SKIP() << "built without MPFR";
    }
    const ProgramRun idle =
        runSteps({"--equation", "2*exp(-x)+0.2*x^2-1.5", "--precision", "single", "2.5", "2.6", "0", "20"});
    EXPECT_NE(idle.output.find(asShown("каждая заменяет неподвижный конец из-за округления")), std::string::npos);
    for (const auto& [precision, x, width] : {std::tuple{"single", "0.400000036", 16u},
                                              std::tuple{"double", "0.3999999999999999", 26u},
                                              std::tuple{"extended", "0.4000000000000000001", 30u}}) {
        const ProgramRun run = runSteps({"--equation", "x - 0.4 + 0*sqrt(x^2 - 0.25)", "-2", "3", "1e-6", "20",
                                         "--precision", precision, "--csv", "u.csv", "--html", "u.html"});
        const std::string row = readTable(run.output).rowLines.at(0);
        // x ends the fifth value column, each as wide as the precision's.
        EXPECT_EQ(row.find(x) + std::string(x).size(), 5 + 5 * std::size_t{width}) << row;
        // x, then no F(x) and no end replaced.
        const std::string after = row.substr(row.find(x) + std::string(x).size());
        EXPECT_EQ(after.substr(after.find_first_not_of(' '), 4), "-  -") << row;
        EXPECT_NE(row.find(asShown("F не определена в x")), std::string::npos) << row;
        const std::string csv = contentsOf("u.csv");
        EXPECT_NE(csv.find(",,,,,undefined\r\n"), std::string::npos) << csv;
        const std::string page = contentsOf("u.html");
        EXPECT_NE(page.find("&#8211;</td><td>&#8211;</td><td></td><td></td><td></td><td></td><td class=\"note\">F "
                            "не определена в x"),
                  std::string::npos);
        EXPECT_NE(page.find("<dt>Почему остановились</dt><dd>F не определена в x</dd>"), std::string::npos);
        EXPECT_NE(page.find(std::string(x) + ", F = &#8211;</dd>"), std::string::npos);
        std::remove("u.csv");
        std::remove("u.html");
    }
    // Where F overflows to no value in doubles though m1 is known, x has no
    // bound either. An end on the root: the walk starts there, F(b) = 0 is
    // written, and the point where F is 0 replaces b, as any where F(a)*F(x)
    // is not positive.
    const std::string header = "chord,a,b,F(a),F(b),x,F(x),replaced,step,ratio,bound,bound_M1,note\r\n";
    runSteps({"--equation", "x - 0.1 + 0*exp(800 - 1000*x^2)", "-2", "3", "1e-6", "20", "--csv", "o.csv"});
    EXPECT_EQ(contentsOf("o.csv"), header + "1,-2,3,-2.1,2.9,0.10000000000000009,,,,,,,undefined\r\n");
    runSteps({"--equation", "x - 0.5", "-0.5", "0.5", "0", "5", "--csv", "o.csv"});
    EXPECT_EQ(contentsOf("o.csv"), header + "1,-0.5,0.5,-1,0,0.5,0,b,,,0,,\r\n");
    std::remove("o.csv");
}

// The chords' second bound, (M1 - m1)/m1*|x(n) - x(n-1)|: for x^2 - 2 on
// [1, 2], F' = 2x gives m1 = 2 and M1 = 4, so the bound is the step itself,
// from the second chord on. On [-1, 2] F' vanishes at 0: no m1, no bound.
TEST(StepsTypedTest, SecondBoundIsTheStepTimesM1LessM1OverM1) {
    if (!STEPS_TYPED_EQUATIONS) {
        GTEST_SKIP() << "built without MPFR";
    }
    // The CSV's fields by name, a row a chord (no note here holds a comma).
    const auto columns = [](const std::vector<std::string>& line) {
        std::vector<std::vector<std::string>> rows;
        std::istringstream lines(contentsOf("second.csv"));
        for (std::string text; std::getline(lines, text);) {
            std::vector<std::string>& row = rows.emplace_back();
            std::istringstream fields(text.substr(0, text.find('\r')));
            for (std::string field; std::getline(fields, field, ',');) {
                row.push_back(field);
            }
        }
        std::remove("second.csv");
        EXPECT_FALSE(rows.empty()) << line[2];
        return rows;
    };
    const auto at = [](const std::vector<std::string>& header, const char* name) {
        return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
    };
    const std::vector<std::string> known{"--equation", "x^2 - 2", "1", "2", "1e-9", "20", "--precision", "double"};
    std::vector<std::string> line = known;
    line.insert(line.end(), {"--csv", "second.csv"});
    ASSERT_EQ(runSteps(line).exitStatus, 0);
    const std::vector<std::vector<std::string>> rows = columns(line);
    ASSERT_GE(rows.size(), 4u);
    const std::size_t x = at(rows[0], "x");
    const std::size_t bound = at(rows[0], "bound_M1");
    ASSERT_EQ(bound, at(rows[0], "bound") + 1);
    EXPECT_EQ(rows[1].at(bound), "");  // no x before the first chord's
    for (std::size_t i = 2; i < rows.size(); ++i) {
        ASSERT_NE(rows[i].at(bound), "") << "chord " << i;
        EXPECT_EQ(std::stod(rows[i][bound]), std::fabs(std::stod(rows[i][x]) - std::stod(rows[i - 1][x])))
            << "chord " << i;
    }
    EXPECT_NE(runSteps(known).output.find(asShown("M1 = max |F'(x)| на [1, 2] = 4; Оценка M1 = (M1 - m1)/m1*")),
              std::string::npos);

    const std::vector<std::string> flat{"--equation", "x^2 - 2", "-1", "2", "1e-9", "20"};
    line = flat;
    line.insert(line.end(), {"--csv", "second.csv"});
    ASSERT_EQ(runSteps(line).exitStatus, 0);
    const std::vector<std::vector<std::string>> empty = columns(line);
    ASSERT_GE(empty.size(), 4u);
    for (std::size_t i = 1; i < empty.size(); ++i) {
        EXPECT_EQ(empty[i].at(at(empty[0], "bound_M1")), "") << "chord " << i;
    }
    EXPECT_NE(runSteps(flat).output.find(asShown("M1 = max |F'(x)| на [-1, 2] = 4; оценка (M1 - m1)/m1*|x - x "
                                                 "предыдущей хорды| без m1 не вычисляется")),
              std::string::npos);
}

}  // namespace

namespace {

// Root separation: a point where F is not defined is said so, and the
// interval across it is no change of sign; a point where F is 0 is a root
// on the grid; the CSV has a row a point, F empty where it is not defined.
TEST(StepsTypedTest, SeparationTellsUndefinedPointsAndRootsOnTheGrid) {
    if (!STEPS_TYPED_EQUATIONS) {
        GTEST_SKIP() << "built without MPFR";
    }
    const ProgramRun pole = runSteps({"--equation", "1/x", "--separate", "-1", "1", "4", "--csv", "s.csv"});
    EXPECT_EQ(pole.exitStatus, 0);
    EXPECT_NE(pole.output.find(asShown("  2                         0                         -  не определена\n")),
              std::string::npos)
        << pole.output;
    EXPECT_EQ(pole.output.find(asShown("Смена знака")), std::string::npos);
    EXPECT_TRUE(pole.output.ends_with(asShown("F не определена в точках сетки: 1; интервал рядом с такой точкой "
                                              "сменой знака не считается\nИнтервалов со сменой знака и корней на "
                                              "сетке нет; корни могут лежать и между точками (два близких корня, "
                                              "касание оси): попробуйте большее N или другой интервал\n")));
    EXPECT_EQ(contentsOf("s.csv"), "x,F(x),sign\r\n-1,-1,-\r\n-0.5,-2,-\r\n0,,\r\n0.5,2,+\r\n1,1,+\r\n");
    std::remove("s.csv");
    // A typed equation's A and B may be constant expressions, as its ends.
    EXPECT_NE(runSteps({"--equation", "cos(x) - x", "--separate", "0", "pi", "4"})
                  .output.find("[0, 3.141592653589793]"),
              std::string::npos);
    const ProgramRun square = runSteps({"--equation", "x^2-1", "--separate", "-2", "2", "4"});
    EXPECT_TRUE(square.output.ends_with(asShown("Корень на сетке: x = -1, F(x) = 0\nКорень на сетке: x = 1, F(x) = "
                                                "0\nНайдено интервалов со сменой знака: 0; корней на сетке: 2\n")))
        << square.output;
}

// The same bits on every platform: each case of tests/typed_tables/cases.txt
// (a file's name, then the arguments, "_" standing for a blank inside one)
// writes that file, CSV, picture or page, made on x86-64; every suite
// compares its own bytes.
TEST(StepsTypedTest, TablesHaveTheSameBitsOnEveryPlatform) {
    if (!STEPS_TYPED_EQUATIONS) {
        GTEST_SKIP() << "built without MPFR";
    }
    const std::string folder = nativePath(STEPS_TYPED_TABLES);
    std::istringstream cases(contentsOf(folder + "/cases.txt"));
    std::size_t compared = 0;
    for (std::string line; std::getline(cases, line);) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        std::vector<std::string> arguments;
        for (std::string word; words >> word;) {
            std::replace(word.begin(), word.end(), '_', ' ');
            arguments.push_back(word);
        }
        // The file's kind is its option: x.csv by --csv, x.svg by --svg.
        const std::string path = "steps_test_" + name;
        arguments.insert(arguments.end(), {"--" + name.substr(name.rfind('.') + 1), path});
        EXPECT_EQ(runSteps(arguments).exitStatus, 0) << name;
        EXPECT_EQ(contentsOf(path), contentsOf(folder + "/" + name)) << name;
        std::remove(path.c_str());
        ++compared;
    }
    EXPECT_EQ(compared, 20u);
}

}  // namespace

namespace {

// The x column of a CSV, each value as the double it reads back as.
std::vector<double> csvColumn(const std::string& path, const std::string& name) {
    std::istringstream lines(contentsOf(path));
    std::string line;
    std::getline(lines, line);
    std::size_t column = 0;
    for (std::size_t at = 0; line.compare(at, name.size() + 1, name + ",") != 0; ++column) {
        at = line.find(',', at) + 1;
    }
    std::vector<double> values;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string field;
        for (std::size_t i = 0; i <= column; ++i) {
            std::getline(fields, field, ',');
        }
        values.push_back(std::stod(field));
    }
    return values;
}

std::string decimals(double value, int digits) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

}  // namespace

// Bisection (Burden & Faires, Table 2.1), secants (Table 2.5) and Newton's
// method (Chapra & Canale, Example 6.2) in binary64, to the digits printed.
TEST(StepsMethodsTest, PublishedTablesComeOutToTheirPrintedDigits) {
    if (!STEPS_TYPED_EQUATIONS) {
        GTEST_SKIP() << "built without MPFR";
    }
    struct Published {
        std::vector<std::string> line;
        int digits;
        std::vector<std::pair<std::size_t, const char*>> rows;  // row from 1, x as printed
    };
    const Published tables[] = {
        {{"--equation", "x^3 + 4*x^2 - 10", "--method", "bisection", "1", "2", "1e-12", "13"},
         9,
         {{1, "1.500000000"}, {2, "1.250000000"}, {3, "1.375000000"}, {4, "1.312500000"}, {5, "1.343750000"},
          {6, "1.359375000"}, {7, "1.367187500"}, {8, "1.363281250"}, {9, "1.365234375"}, {13, "1.365112305"}}},
        {{"--equation", "cos(x) - x", "--method", "secant", "0.5", "0.7853981633974483", "1e-12", "10"},
         10,
         {{1, "0.7363841388"}, {2, "0.7390581392"}, {3, "0.7390851493"}, {4, "0.7390851332"}}},
        {{"--equation", "exp(-x) - x", "--method", "newton", "--x0", "0", "0", "1", "1e-12", "10"},
         9,
         {{1, "0.500000000"}, {2, "0.566311003"}, {3, "0.567143165"}, {4, "0.567143290"}}},
    };
    for (const Published& table : tables) {
        std::vector<std::string> line = table.line;
        line.insert(line.end(), {"--precision", "double", "--csv", "published.csv"});
        EXPECT_EQ(runSteps(line).exitStatus, 0);
        const std::vector<double> x = csvColumn("published.csv", "x");
        for (const auto& [row, printed] : table.rows) {
            ASSERT_LE(row, x.size()) << line[1];
            EXPECT_EQ(decimals(x[row - 1], table.digits), printed) << line[1] << " row " << row;
        }
    }
    std::remove("published.csv");
}

// Each method's conditions: what runs, what is refused and why, the rule a
// row met, and a pole never taken for a root.
TEST(StepsMethodsTest, ConditionsAreCheckedAndNamed) {
    if (!STEPS_TYPED_EQUATIONS) {
        GTEST_SKIP() << "built without MPFR";
    }
    struct Case {
        std::vector<std::string> line;
        int status;
        const char* said;  // in the output or on standard error
    };
    const Case cases[] = {
        // F'' = 6x changes sign: no Fourier end for Newton or the combined method.
        {{"--equation", "x^3 - 2*x - 5", "--method", "newton", "-1", "3", "1e-9", "20"}, 2, "--x0"},
        {{"--equation", "x^3 - 2*x - 5", "--method", "combined", "-1", "3", "1e-9", "20"}, 2, "F'' может менять знак"},
        {{"--equation", "x^2 - 2", "--method", "combined", "--stop", "step", "1", "2", "1e-9", "20"}, 2, "--stop"},
        // F' = 2x vanishes at 0: no default phi; a typed one runs, and its q is shown.
        {{"--equation", "x^2 - 2", "--method", "iteration", "-1", "2", "1e-9", "20"}, 2, "--phi"},
        {{"--equation", "x^2 - 2", "--method", "iteration", "--phi", "x - (x^2 - 2)/3", "1", "2", "1e-9", "60"},
         0, "q = max |phi'| = 0.333"},
        // Its a-priori count once x1 is known: (1/3)^n * (1/3)/(2/3) <= 1e-9 from n = 19.
        {{"--equation", "x^2 - 2", "--method", "iteration", "--phi", "x - (x^2 - 2)/3", "1", "2", "1e-9", "60"},
         0, "n = 19, наименьшее с q^n"},
        {{"--equation", "cos(x) - x", "--method", "iteration", "--phi", "2*x - cos(x)", "0", "1", "1e-9", "5"},
         0, "q >= 1"},
        {{"--equation", "x^2 - 2", "--method", "newton", "--stop", "step", "1", "2", "1e-9", "20"}, 0,
         "шаг меньше EPS\n"},
        {{"--equation", "x^2 - 2", "--method", "bisection", "1", "2", "1e-3", "20"}, 0, "n = 10,"},
        // Poles: a warning, and no root reported at one.
        {{"--equation", "tan(x) - x", "--method", "bisection", "4.6", "4.8", "1e-9", "60"}, 0, "(разрыв)"},
        {{"--equation", "1/x", "--method", "bisection", "--stop", "step", "-1", "1", "1e-9", "60"}, 0,
         "Решение не найдено"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = runSteps(c.line);
        EXPECT_EQ(run.exitStatus, c.status) << c.line[1] << " " << c.line[3];
        EXPECT_NE((run.output + run.errors).find(asShown(c.said)), std::string::npos)
            << c.line[1] << " " << c.line[3] << "\n" << run.output << run.errors;
    }
    // The page says it too: the idle stretch as the table's last row, shown
    // with the last step taken, and simple iteration's a-priori count.
    runSteps({"--equation", "x^2 - 2", "--method", "bisection", "--precision", "double", "1", "2", "0", "100",
              "--html", "m.html"});
    EXPECT_NE(contentsOf("m.html").find("<tr class=\"idle\" data-from=\"53\"><td colspan=\"7\">Шаги с 54 по 100"),
              std::string::npos);
    runSteps({"--equation", "x^2 - 2", "--method", "iteration", "--phi", "x - (x^2 - 2)/3", "1", "2", "1e-9", "60",
              "--html", "m.html"});
    EXPECT_NE(contentsOf("m.html").find("<p>Априорное число шагов: n = 19,"), std::string::npos);
    std::remove("m.html");
}

// Every method's picture draws each step as a group of its own, with the
// lines the method's figure has: bisection's bracket (a bar and two ticks),
// the tangent, the secant, the chord and the tangent of the combined
// method, the staircase's two pieces between y = phi(x) and y = x. The
// page's table and picture agree step by step, and the picture counts steps.
TEST(StepsMethodsTest, EachMethodDrawsItsOwnFigure) {
    const std::pair<const char*, std::size_t> linesPerStep[] = {
        {"bisection", 3}, {"newton", 1}, {"secant", 1}, {"combined", 2}, {"iteration", 2}};
    for (const auto& [method, lines] : linesPerStep) {
        const ProgramRun run = runSteps({"--method", method, "0", "1", "1e-6", "40", "--html", "steps_test_method.html",
                                         "--svg", "steps_test_method.svg"});
        const std::string page = contentsOf("steps_test_method.html");
        const std::string picture = contentsOf("steps_test_method.svg");
        std::remove("steps_test_method.html");
        std::remove("steps_test_method.svg");
        EXPECT_EQ(run.exitStatus, 0) << method;
        const std::size_t steps = occurrences(page, "<tr data-chord=");
        EXPECT_GT(steps, 2u) << method;
        EXPECT_EQ(occurrences(page, "<g class=\"step\""), steps) << method;
        EXPECT_EQ(occurrences(page, "class=\"chord\""), lines * steps) << method;
        EXPECT_NE(picture.find("Шагов сделано: " + std::to_string(steps) + ";"), std::string::npos) << method;
        EXPECT_EQ(picture.find("y = x") != std::string::npos, std::string(method) == "iteration") << method;
    }
}

// The dialog's F keeps its own model with every method and rule: the same
// bits at b = 1 whatever the rule, the rule named where it is met, the
// method named in the head; a pole warns the chords too.
TEST(StepsMethodsTest, TheDialogsFKeepsItsModelWithEveryRule) {
    const auto firstRow = [](const std::vector<std::string>& rule) {
        std::vector<std::string> line{"0", "1", "0.01", "100", "--csv", "-"};
        line.insert(line.end(), rule.begin(), rule.end());
        const std::string csv = runSteps(line).output;
        const std::size_t start = csv.find("\r\n1,") + 2;
        return csv.substr(start, csv.find("\r\n", start) - start);
    };
    const std::string plain = firstRow({});
    EXPECT_EQ(firstRow({"--stop", "step"}), plain);
    const std::string fb = plain.substr(0, plain.find(",0.46981835,"));  // up to F(b)
    EXPECT_TRUE(firstRow({"--method", "illinois"}).starts_with(fb)) << fb;
    const ProgramRun relative = runSteps({"0", "1", "1e-4", "100", "--stop", "relative"});
    EXPECT_NE(relative.output.find(asShown("шаг меньше EPS*|x|\n")), std::string::npos) << relative.output;
    EXPECT_NE(runSteps({"0", "1", "1e-4", "100", "--method", "pegasus"}).output.find(asShown("Метод Пегас для")),
              std::string::npos);
    if (STEPS_TYPED_EQUATIONS) {
        const ProgramRun pole = runSteps({"--equation", "tg(x)", "1", "2", "1e-6", "10"});
        EXPECT_NE(pole.output.find(asShown("(разрыв)")), std::string::npos) << pole.output;
    }
}

// A rule on the step met next to a pole, where the steps shrink while |F|
// grows, past its size at both ends too, finds no root, in every method;
// the same rule on a root still finds it.
TEST(StepsMethodsTest, AStepRuleMetAtAPoleIsNoRoot) {
    if (!STEPS_TYPED_EQUATIONS) {
        GTEST_SKIP() << "built without MPFR";
    }
    for (const char* method : {"chords", "pegasus", "bisection"}) {
        const ProgramRun pole =
            runSteps({"--equation", "tg(x)", "1", "2", "0.01", "40", "--method", method, "--stop", "step"});
        EXPECT_TRUE(pole.output.ends_with(asShown("разрыв, не корень\nРешение не найдено\n"))) << pole.output;
        const ProgramRun root =
            runSteps({"--equation", "tg(x)", "3", "3.5", "0.01", "40", "--method", method, "--stop", "step"});
        EXPECT_NE(root.output.find(asShown("Корень = 3.14")), std::string::npos) << root.output;
    }
    // A residual below EPS is a root however |F| there compares with the ends.
    const ProgramRun residual = runSteps({"--equation", "sin(10*x)", "-0.02", "0.3", "10", "50"});
    EXPECT_NE(residual.output.find(asShown("Корень = ")), std::string::npos) << residual.output;
    // F not monotone, larger inside than at both ends, but falling: a root.
    const ProgramRun hump =
        runSteps({"--equation", "sin(10*x)", "--method", "bisection", "--stop", "step", "-0.02", "0.3", "0.1", "50"});
    EXPECT_NE(hump.output.find(asShown("Корень = 0.06")), std::string::npos) << hump.output;
}
