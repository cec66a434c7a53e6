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

// A descriptor another program left non-blocking answers "try again" while
// nothing is there or while the pipe is full; the program waits instead.
TEST(HostileStreamsTest, NonBlockingInputWaitsForSlowInput) {
    RunOptions options;
    options.inputNonBlocking = true;
    options.inputDelayMilliseconds = 500;
    const ProgramRun run = runChords("0 1 1e-3 10\n", options);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, acceptedRun(rootFound("0.299941", "-0.000282939", "4")));
}

TEST(HostileStreamsTest, NonBlockingOutputLosesNoByteToASlowReader) {
    constexpr int Rejected = 2000;  // about 300 KB of output, far beyond a pipe's buffer
    RunOptions options;
    options.outputNonBlocking = true;
    options.outputDelayMilliseconds = 300;
    const ProgramRun run = runChords(repeated("3 4\n", Rejected) + Dialog, options);
    EXPECT_EQ(run.exitStatus, 0);
    const std::string rejection = text::AskXib + text::AskXie + text::BadInterval + "\n";
    const std::string expected = text::Banner + "\n" + repeated(rejection, Rejected) +
                                 zeroToOneRun().substr(text::Banner.size() + 1);
    EXPECT_EQ(run.output.size(), expected.size());
    EXPECT_TRUE(run.output == expected);  // without printing 300 KB
}

}  // namespace
