#pragma once
// Starting the built program from a forked child, on POSIX.

#include <unistd.h>

#include <string>
#include <vector>

// Replaces the child with the program, given only this environment.
[[noreturn]] inline void execChords(const std::vector<std::string>& environment) {
    std::vector<char*> variables;
    for (const std::string& variable : environment) {
        variables.push_back(const_cast<char*>(variable.c_str()));
    }
    variables.push_back(nullptr);
    char* arguments[] = {const_cast<char*>(CHORDS_PROGRAM), nullptr};
    ::execve(CHORDS_PROGRAM, arguments, variables.data());
    ::_exit(127);
}
