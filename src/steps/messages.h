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
