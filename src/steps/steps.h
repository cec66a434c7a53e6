#pragma once

#include <span>
#include <string>

#include "console/console.h"

// The whole program over the console it is handed, given the command
// line without the program's name. Returns the exit status: 0 after the
// table (and the picture), 1 for an interval the dialog would reject or a
// picture that could not be written, 2 for a faulty command line.
int runSteps(Console& console, std::span<const std::string> arguments);

// "Нажмите любую клавишу…" and the wait for one key.
void showPressKey(Console& console);
