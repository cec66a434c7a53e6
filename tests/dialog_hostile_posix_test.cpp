// Standard streams that are closed, full or gone: every run still ends by
// itself, with a defined status and never by a signal.
#include <gtest/gtest.h>

#include <string>

#include "program_runner.h"

namespace {

const std::string Dialog = "0 1 0.0001 100\n";
const std::string Overflows = "1 -800 0.001 3\n";
const std::string OverflowLine = "\r\nexp: OVERFLOW error\r\n";

TEST(HostileStreamsTest, ClosedInputIsTheEndOfInput) {
    RunOptions options;
    options.inputClosed = true;
    const ProgramRun run = runChords(Dialog, options);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(run.output.ends_with("Не удалось прочитать число, расчет прерван\n"
                                     "Нажмите любую клавишу"));
}

TEST(HostileStreamsTest, ClosedOutputDropsTheTextsAndTheRunGoesOn) {
    RunOptions options;
    options.outputClosed = true;
    const ProgramRun run = runChords(Overflows, options);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, "");
    std::string lines;
    for (int i = 0; i < 5; ++i) {
        lines += OverflowLine;
    }
    EXPECT_EQ(run.errors, lines);  // the error stream is its own device
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
    EXPECT_EQ(run.errors.size(), 5 * OverflowLine.size());
}

}  // namespace
