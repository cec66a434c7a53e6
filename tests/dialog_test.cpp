// The whole program, run with piped input: standard output, standard error
// and exit status compared byte for byte.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "dialog/catalogue.h"
#include "program_runner.h"
#include "transcripts.h"

namespace {

const std::string Banner = text::Banner + "\n";
const std::string AskXib = text::AskXib;
const std::string AskInterval = text::AskXib + text::AskXie;
const std::string AskEpsilon = text::AskEpsilon;
const std::string AskLimit = text::AskLimit;
const std::string BadInterval = text::BadInterval + "\n";
const std::string NotFound = text::NotFound + "\n";
const std::string PressKey = text::PressKey;
const std::string ReadFailed = text::ReadFailed + "\n";
const std::string OverflowLine = text::OverflowLine;

std::string accepted(const std::string& report) {
    return acceptedRun(report);
}

void expectRun(std::string_view input, const std::string& output, int status = 0,
               const std::string& errors = "") {
    const ProgramRun run = runChords(input);
    EXPECT_EQ(run.output, asShown(output)) << "input: " << input;
    EXPECT_EQ(run.errors, errors) << "input: " << input;
    EXPECT_EQ(run.exitStatus, status) << "input: " << input;
}

const std::string ZeroToOneReport = rootFound("0.299771", "-5.19123e-05", "5");

TEST(CatalogueTest, TextsHaveTheirWindows1251Lengths) {
    const std::pair<const CatalogueText*, std::size_t> texts[] = {
        {&TextBanner, 66},   {&TextPromptXib, 43},     {&TextPromptXie, 42},
        {&TextBadInterval, 38}, {&TextPromptEpsilon, 26}, {&TextPromptLimit, 36},
        {&TextNotFound, 18}, {&TextRoot, 9},           {&TextIterations, 17},
        {&TextPressKey, 21}};
    for (const auto& [text, length] : texts) {
        EXPECT_EQ(std::string_view(text->data()).size(), length) << text->data();
    }
    EXPECT_LE(std::string_view(TextReadFailed.data()).size(), MaxTextBytes);
    EXPECT_EQ(TextRoot[0], '\xCA');  // К in Windows-1251
}

TEST(DialogTest, RootsAreReported) {
    expectRun("0\n1\n0.0001\n100\n", accepted(ZeroToOneReport));
    expectRun("1\n0\n0.0001\n100\n", accepted(ZeroToOneReport));
    expectRun("2\n3\n0.000001\n50\n", accepted(rootFound("2.59939", "-9.62727e-07", "5")));
    expectRun("0\n0.3\n0.001\n5\n", accepted(rootFound("0.299782", "-6.67286e-05", "0")));
}

// "--help" or "--version" alone answer and end; any other command line is
// ignored, and the dialog runs byte for byte as without one.
TEST(DialogTest, HelpAndVersionAloneAnswerOtherArgumentsAreIgnored) {
    RunOptions options;
    options.arguments = {"--version"};
    const ProgramRun version = runChords("0\n1\n0.0001\n100\n", options);
    EXPECT_EQ(version.output, asShown("chords 1.0\n"));
    EXPECT_EQ(version.exitStatus, 0);
    options.arguments = {"--help"};
    const ProgramRun help = runChords("", options);
    EXPECT_EQ(help.output.rfind(asShown("Использование: chords [--help | --version]\n"), 0), 0u);
    EXPECT_EQ(help.exitStatus, 0);
    for (const std::vector<std::string>& ignored :
         {std::vector<std::string>{"--help", "--version"}, {"-h"}, {"x", "--help"}, {"--HELP"}}) {
        options.arguments = ignored;
        const ProgramRun run = runChords("0\n1\n0.0001\n100\n", options);
        EXPECT_EQ(run.output, asShown(accepted(ZeroToOneReport))) << ignored[0];
        EXPECT_EQ(run.exitStatus, 0);
    }
}

TEST(DialogTest, RejectedIntervalIsAskedForAgain) {
    expectRun("3\n4\n0\n1\n0.001\n10\n",
              Banner + AskInterval + BadInterval + AskInterval + AskEpsilon + AskLimit +
                  rootFound("0.299941", "-0.000282939", "4") + PressKey);
    expectRun("0 3\n1 2\n0 1 0.0001 100\n",
              Banner + repeated(AskInterval + BadInterval, 2) + AskInterval + AskEpsilon +
                  AskLimit + ZeroToOneReport + PressKey);
}

TEST(DialogTest, RootsNotFound) {
    expectRun("0\n1\n0.001\n0\n", accepted(NotFound));
    expectRun("0\n1\n1e-12\n10\n", accepted(NotFound));
    expectRun("2\n3\n1e-7\n100\n", accepted(NotFound));
    expectRun("2.5\n2.6\n0\n20\n", accepted(NotFound));
    expectRun("0\n1\n-1\n20\n", accepted(NotFound));
    expectRun("1\n-100\n0.001\n50\n", accepted(NotFound));
    expectRun("0\n1\n0\n4294967295\n", accepted(NotFound));
}

TEST(DialogTest, OverflowLinesStandBetweenLineBreaksOnTheErrorStream) {
    // Two from the sign test, then one for every chord.
    expectRun("1\n-800\n0.001\n3\n", accepted(NotFound), 0, repeated(OverflowLine, 5));
    expectRun("0.3\n-800\n0.001\n3\n", accepted(rootFound("0.3", "-0.000363575", "0")), 0,
              repeated(OverflowLine, 3));
}

TEST(DialogTest, NumbersAreScannedByTheFixedRules) {
    // Several numbers on one line, empty lines, signs, points and exponents.
    expectRun("0 1\n0.0001 100\n", accepted(ZeroToOneReport));
    expectRun("\n\n  0\n\n1\n\n0.0001\n\n100\n", accepted(ZeroToOneReport));
    expectRun("- 0 1. 1e-4 +100", accepted(ZeroToOneReport));
    expectRun(".0\t1E0\v0.0001\f100\r\n", accepted(ZeroToOneReport));
    expectRun("0 1 0.0001 100abc", accepted(ZeroToOneReport));
    // A count stops at the point and at the exponent mark.
    expectRun("0 1 0.0001 6.9\n", accepted(ZeroToOneReport));
    expectRun("0 1 0.0001 5.9\n", accepted(NotFound));
    expectRun("0 1 0.0001 1e3\n", accepted(NotFound));
    expectRun("0 1 0.0001 -0\n", accepted(NotFound));
    expectRun("0 1 0.0001 +7\n", accepted(ZeroToOneReport));
    expectRun("0 1 0.0001 4294967295\n", accepted(ZeroToOneReport));
    expectRun("1e-50 1 1e-4 100\n", accepted(ZeroToOneReport));
    // Typed beyond single precision: the accuracy is infinite, the first chord meets it.
    expectRun("0 1 1e39 5\n", accepted(rootFound("0.469818", "-0.205623", "0")));
}

TEST(DialogTest, NumberEndedByTheEndOfInputIsStillRead) {
    expectRun("0 1 0.0001 100", accepted(ZeroToOneReport));
}

TEST(DialogTest, UnreadableNumberEndsTheRunWithStatusOne) {
    const struct {
        std::string input;
        std::string prompts;
    } cases[] = {
        {"", AskXib},
        {"abc\n", AskXib},
        {"   \n\n", AskXib},
        {"2,5\n", AskInterval},
        {"12abc\n", AskInterval},
        {"1e\n", AskXib},
        {"1e+ 5\n", AskXib},
        {".\n", AskXib},
        {std::string("\0\0\0", 3), AskXib},
        {"0", AskInterval},
        {"0 1", AskInterval + AskEpsilon},
        {"0 1 0.001", AskInterval + AskEpsilon + AskLimit},
        {"0 1 0.001 -7", AskInterval + AskEpsilon + AskLimit},
        {"0 1 0.001 4294967296", AskInterval + AskEpsilon + AskLimit},
        {"0 1 0.001 0x10", AskInterval + AskEpsilon + AskLimit + NotFound + PressKey},
        {std::string(10'000'000, '9') + " 1", AskXib},
    };
    for (const auto& [input, prompts] : cases) {
        const bool finished = prompts.ends_with(PressKey);
        expectRun(input, Banner + prompts + (finished ? "" : ReadFailed + PressKey),
                  finished ? 0 : 1);
    }
}

// Input cut off anywhere: a run either completes, because the count was read
// whole, or reports the failed read; never anything else.
TEST(DialogTest, EndOfInputAtAnyPoint) {
    const std::string full = "3 4\n0 1\n0.001\n10\n";
    for (std::size_t length = 0; length < full.size(); ++length) {
        const ProgramRun run = runChords(std::string_view(full).substr(0, length));
        const bool countRead = length >= full.size() - 2;
        EXPECT_EQ(run.exitStatus, countRead ? 0 : 1) << "cut at " << length;
        EXPECT_TRUE(run.output.ends_with(asShown(countRead ? "\n" + PressKey : ReadFailed + PressKey)))
            << "cut at " << length;
    }
}

TEST(DialogTest, EndsThatCannotStartAChordAreRejected) {
    const std::string retry = AskInterval + BadInterval + AskXib + ReadFailed + PressKey;
    expectRun("1e39 1\n", Banner + retry, 1);
    expectRun("1 -1e39\n", Banner + retry, 1, repeated(OverflowLine, 2));
    expectRun("-100 1\n", Banner + retry, 1);
    expectRun("4.2e19 1\n", Banner + retry, 1);
    // F(start) overflows: its line comes once per sign test.
    expectRun("-709.7822 1\n", Banner + retry, 1, repeated(OverflowLine, 2));
}

TEST(DialogTest, RandomBytesNeverBreakTheRun) {
    std::mt19937 generator(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int trial = 0; trial < 20; ++trial) {
        std::string input(trial == 0 ? 1 << 20 : 64 + trial * 97, '\0');
        for (char& c : input) {
            c = static_cast<char>(byte(generator));
        }
        const ProgramRun run = runChords(input);
        EXPECT_EQ(run.signal, 0) << "trial " << trial;
        EXPECT_TRUE(run.exitStatus == 0 || run.exitStatus == 1) << "trial " << trial;
        EXPECT_TRUE(run.output.starts_with(asShown(Banner)));
        EXPECT_TRUE(run.output.ends_with(asShown(PressKey)));
    }
}

// 200 MB of blanks pass through the 512-byte buffer before the numbers.
TEST(DialogTest, LongLineOfBlanksBeforeTheNumbers) {
    const std::string input = std::string(200u << 20, ' ') + "0 1 0.0001 100\n";
    expectRun(input, accepted(ZeroToOneReport));
}


}  // namespace
