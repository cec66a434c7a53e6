#include "pty_session.h"

#include "exec_chords.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The job's side of starting a job: its own group, taken to the foreground.
void becomeForegroundJob(int slave) {
    ::setpgid(0, 0);
    ::signal(SIGTTOU, SIG_IGN);  // a background group may not otherwise do it
    ::tcsetpgrp(slave, ::getpgrp());
    ::signal(SIGTTOU, SIG_DFL);
}

// Stands in for the shell: waits for the job to end and ends the same way.
[[noreturn]] void waitForJob(pid_t job) {
    int status = 0;
    while (::waitpid(job, &status, 0) < 0 && errno == EINTR) {
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}

[[noreturn]] void execInTerminal(int slave, const PtyOptions& options) {
    ::setsid();
    ::ioctl(slave, TIOCSCTTY, 0);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);  // SIGQUIT must not leave core files
    if (options.asJob) {
        if (const pid_t job = ::fork(); job != 0) {
            waitForJob(job);
        }
        becomeForegroundJob(slave);
    }
    int input = slave;
    if (options.standardInput) {
        input = ::open(options.standardInput->c_str(), O_RDONLY);
    }
    int output = slave;
    if (options.standardOutput) {
        output = ::open(options.standardOutput->c_str(), O_WRONLY | O_TRUNC);
    }
    ::dup2(input, STDIN_FILENO);
    ::dup2(output, STDOUT_FILENO);
    ::dup2(slave, STDERR_FILENO);
    execChords(options.environment);
}

// Appends whatever the program shows within the time; false on timeout.
bool readScreen(PtySession& session, int milliseconds) {
    pollfd watched{session.master, POLLIN, 0};
    if (::poll(&watched, 1, milliseconds) <= 0) {
        return false;
    }
    char chunk[4096];
    const ssize_t got = ::read(session.master, chunk, sizeof chunk);
    if (got > 0) {
        session.screen.append(chunk, static_cast<std::size_t>(got));
    }
    return got > 0;
}

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

PtySession startInPty(const PtyOptions& options) {
    PtySession session;
    if (::openpty(&session.master, &session.slave, nullptr, nullptr, nullptr) != 0) {
        std::abort();
    }
    ::fcntl(session.master, F_SETFD, FD_CLOEXEC);
    ::tcgetattr(session.slave, &session.initialMode);
    typeKeys(session, options.typedAhead);
    session.child = ::fork();
    if (session.child == 0) {
        ::close(session.master);
        execInTerminal(session.slave, options);
    }
    return session;
}

bool waitForScreen(PtySession& session, std::string_view text, std::size_t from,
                   int timeoutMilliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (session.screen.find(text, from) == std::string::npos) {
        if (millisecondsLeft(deadline) == 0) {
            return false;
        }
        readScreen(session, millisecondsLeft(deadline));
    }
    return true;
}

bool waitForRawMode(PtySession& session, int timeoutMilliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while ((currentMode(session).c_lflag & ICANON) != 0) {
        if (millisecondsLeft(deadline) == 0) {
            return false;
        }
        readScreen(session, 5);
    }
    return true;
}

void typeKeys(PtySession& session, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(session.master, bytes.data(), bytes.size());
        if (put <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

bool stillRunningAfter(PtySession& session, int milliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (millisecondsLeft(deadline) > 0) {
        readScreen(session, millisecondsLeft(deadline));
    }
    int status = 0;
    return ::waitpid(session.child, &status, WNOHANG) == 0;
}

int waitForExit(PtySession& session, int timeoutMilliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    int status = 0;
    while (::waitpid(session.child, &status, WNOHANG) == 0) {
        if (millisecondsLeft(deadline) == 0) {
            ::kill(session.child, SIGKILL);
            ::waitpid(session.child, &status, 0);
            return -1;
        }
        readScreen(session, 10);
    }
    while (readScreen(session, 0)) {
    }
    return status;
}

termios currentMode(const PtySession& session) {
    termios mode{};
    ::tcgetattr(session.slave, &mode);
    return mode;
}

pid_t foregroundGroup(const PtySession& session) {
    return ::tcgetpgrp(session.master);
}

std::string unreadInput(PtySession& session) {
    // Without canonical input a line not yet ended is readable too.
    termios mode = currentMode(session);
    const termios kept = mode;
    mode.c_lflag &= ~static_cast<tcflag_t>(ICANON);
    mode.c_cc[VMIN] = 0;
    mode.c_cc[VTIME] = 0;
    ::tcsetattr(session.slave, TCSANOW, &mode);
    std::string unread;
    char chunk[256];
    for (ssize_t got; (got = ::read(session.slave, chunk, sizeof chunk)) > 0;) {
        unread.append(chunk, static_cast<std::size_t>(got));
    }
    ::tcsetattr(session.slave, TCSANOW, &kept);
    return unread;
}

bool sameMode(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

void closeSession(PtySession& session) {
    ::close(session.master);
    ::close(session.slave);
}
