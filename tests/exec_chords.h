#pragma once
// Starting the built program from a forked child, on POSIX.

#include <unistd.h>

#include <string>
#include <vector>

// Replaces the child with the program (chords unless named), given only this
// environment and these arguments.
[[noreturn]] inline void execChords(const std::vector<std::string>& environment,
                                    const char* program = CHORDS_PROGRAM,
                                    const std::vector<std::string>& arguments = {}) {
    std::vector<char*> variables;
    for (const std::string& variable : environment) {
        variables.push_back(const_cast<char*>(variable.c_str()));
    }
    variables.push_back(nullptr);
    std::vector<char*> command{const_cast<char*>(program)};
    for (const std::string& argument : arguments) {
        command.push_back(const_cast<char*>(argument.c_str()));
    }
    command.push_back(nullptr);
    ::execve(program, command.data(), variables.data());
    ::_exit(127);
}
