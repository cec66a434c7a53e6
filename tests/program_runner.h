#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ProgramRun {
    std::string output;  // standard output
    std::string errors;  // standard error
    int exitStatus = -1;  // -1 when a signal ended the program
    int signal = 0;
};

struct RunOptions {
    std::vector<std::string> environment{"LC_ALL=C.UTF-8"};  // POSIX only
    bool outputReaderGone = false;  // standard output is a pipe nobody reads
    // POSIX only:
    bool inputClosed = false;   // the program starts without descriptor 0
    bool outputClosed = false;  // ... without descriptor 1
    std::string outputFile;     // standard output goes to this file instead
    // Descriptors left non-blocking by another program that shares them.
    bool inputNonBlocking = false;
    bool outputNonBlocking = false;
    // A slow other end: the input is sent only after this pause ...
    int inputDelayMilliseconds = 0;
    // ... or sent at once, and standard output read only after this pause.
    int outputDelayMilliseconds = 0;
    // Another program than chords, and its command line arguments.
    const char* program = nullptr;
    std::vector<std::string> arguments;
};

// Runs the built program in a session of its own, without a controlling
// terminal, feeding it the input on a pipe and collecting both output
// streams.
ProgramRun runChords(std::string_view input, const RunOptions& options = {});

// Standard output as this platform's program shows a UTF-8 transcript with
// LF line ends: unchanged on POSIX; on Windows in the code page of
// redirected output, with CR LF.
std::string asShown(std::string_view transcript);

// A path of the build machine as this platform's programs name it.
std::string nativePath(std::string_view path);
