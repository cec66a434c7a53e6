#pragma once

#include <span>
#include <string>

// The whole program over the console set up beforehand, given the command
// line without the program's name. Returns the exit status: 0 after the
// table (and the picture), 1 for an interval the dialog would reject or a
// picture that could not be written, 2 for a faulty command line.
int runSteps(std::span<const std::string> arguments);
