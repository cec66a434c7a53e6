#pragma once
// What chords-steps ends with: its exit statuses, and its one-line messages
// on standard error, each after the program's name.

#include <string>

#include "console/console.h"
#include "steps/texts.h"

inline constexpr int ExitDone = 0;     // the table (or the comparison) was written
inline constexpr int ExitRefused = 1;  // an interval refused, a file or the output failed
inline constexpr int ExitUsage = 2;    // a faulty command line or expression

inline void showError(Console& console, const std::string& cp1251Message) {
    showErrorText(console, (std::string(ProgramName) + ": " + cp1251Message).c_str());
}

// How a run that only writes to standard output (the help, the version, the
// comparison) ends: status 1 and the table's message when it was refused.
inline int outputStatus(Console& console) {
    if (!console.output.failed) {
        return ExitDone;
    }
    showError(console, text(TextOutputFailed));
    return ExitRefused;
}
