// The locale decides the characters of the texts, never the numbers.
#include <gtest/gtest.h>

#include "program_runner.h"
#include "test_locales.h"
#include "transcripts.h"

namespace {

const std::string Transcript = zeroToOneRun();

// A Russian locale must not change a byte: no comma as the decimal point,
// the same letters.
TEST(LocaleTest, RussianLocaleGivesTheSameTranscript) {
    RunOptions options;
    options.environment = russianLocale("UTF-8");
    const ProgramRun run = runChords("0 1 0.0001 100\n", options);
    EXPECT_EQ(run.output, Transcript);
    EXPECT_EQ(run.exitStatus, 0);
}

// The C locale cannot show Cyrillic: the texts fall back to UTF-8.
TEST(LocaleTest, PlainCLocaleFallsBackToUtf8) {
    RunOptions options;
    options.environment = {"LC_ALL=C"};
    EXPECT_EQ(runChords("0 1 0.0001 100\n", options).output, Transcript);
}

}  // namespace
