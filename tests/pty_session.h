#pragma once

#include <sys/types.h>
#include <termios.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The built program on a pseudo-terminal of its own, driven as a person at
// the keyboard would drive it.
struct PtySession {
    int master = -1;
    int slave = -1;  // kept open to read the terminal's modes
    pid_t child = -1;
    std::string screen;  // every byte the program has shown so far
    termios initialMode{};
};

struct PtyOptions {
    std::vector<std::string> environment{"LC_ALL=C.UTF-8"};
    std::optional<std::string> standardInput;   // fed from a file instead of the terminal
    std::optional<std::string> standardOutput;  // written to a file instead of the terminal
    // Started as a shell with job control starts a job: in a process group
    // of its own, in the terminal's foreground, under a parent (the shell)
    // in the same session, so that a stop really stops it.
    bool asJob = false;
    std::string typedAhead;  // already in the terminal's queue when the program starts
};

PtySession startInPty(const PtyOptions& options = {});

// Reads the screen until `text` shows up after `from`; false after the timeout.
bool waitForScreen(PtySession& session, std::string_view text, std::size_t from = 0,
                   int timeoutMilliseconds = 5000);

// Waits until the program has switched the terminal to non-canonical input.
bool waitForRawMode(PtySession& session, int timeoutMilliseconds = 5000);

void typeKeys(PtySession& session, std::string_view bytes);

// True when the program is still running after the given time.
bool stillRunningAfter(PtySession& session, int milliseconds);

// The raw wait status, once the program has ended; -1 after the timeout.
int waitForExit(PtySession& session, int timeoutMilliseconds = 5000);

termios currentMode(const PtySession& session);
// The terminal's foreground process group: the program's own when asJob.
pid_t foregroundGroup(const PtySession& session);
// What is left in the terminal's input after the program, for a shell to read.
std::string unreadInput(PtySession& session);
bool sameMode(const termios& a, const termios& b);

void closeSession(PtySession& session);
