// Standard streams that are closed, full or gone: every run still ends by
// itself, with a defined status and never by a signal.
#include <gtest/gtest.h>

#include <string>

#include "program_runner.h"
#include "transcripts.h"

namespace {

const std::string Dialog = "0 1 0.0001 100\n";
const std::string Overflows = "1 -800 0.001 3\n";

TEST(HostileStreamsTest, ClosedInputIsTheEndOfInput) {
    RunOptions options;
    options.inputClosed = true;
    const ProgramRun run = runChords(Dialog, options);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(run.output.ends_with(text::ReadFailed + "\n" + text::PressKey));
}

TEST(HostileStreamsTest, ClosedOutputDropsTheTextsAndTheRunGoesOn) {
    RunOptions options;
    options.outputClosed = true;
    const ProgramRun run = runChords(Overflows, options);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, repeated(text::OverflowLine, 5));  // the error stream is its own device
}

TEST(HostileStreamsTest, FullDeviceDropsTheTextsAndTheRunGoesOn) {
    RunOptions options;
    options.outputFile = "/dev/full";
    const ProgramRun run = runChords(Dialog, options);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, 0);

    const ProgramRun failed = runChords("x", options);
    EXPECT_EQ(failed.signal, 0);
    EXPECT_EQ(failed.exitStatus, 1);
}

TEST(HostileStreamsTest, ReaderThatHasGoneDoesNotKillTheRun) {
    RunOptions options;
    options.outputReaderGone = true;
    const ProgramRun run = runChords(Overflows, options);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.errors, repeated(text::OverflowLine, 5));
}

}  // namespace
