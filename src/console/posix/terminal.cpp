// The key wait on a POSIX terminal: raw mode for the duration of the wait,
// bytes decoded into one key press.
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "console/codec/key_decoder.h"
#include "console/posix/posix.h"

namespace {

// How long a terminal may pause inside one key's escape sequence.
constexpr int QuietMilliseconds = 50;

constexpr std::array<int, 4> TerminatingSignals = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};
// A stop from outside, and the continuation after it.
constexpr std::array<int, 2> JobControlSignals = {SIGTSTP, SIGCONT};

// What a signal handler needs to put the terminal back. Written only while
// no handler is installed, except rawWanted.
int guardedTerminal = -1;
termios guardedMode{};
termios guardedRawMode{};
// The wait holds the terminal in raw mode: a continuation takes it again.
volatile sig_atomic_t rawWanted = 0;
struct sigaction stopAction{};

// Only the foreground may change the terminal's mode; in the background
// the terminal belongs to the shell or another job.
bool inForeground() {
    return ::tcgetpgrp(guardedTerminal) == ::getpgrp();
}

extern "C" void restoreAndResignal(int signalNumber) {
    // Async-signal-safe calls only. The handler was reset to the default on
    // entry and the signal is blocked until it returns, so raising it again
    // ends the process as the signal would have. In the background the mode
    // is the shell's already, and changing it would stop the process instead.
    if (inForeground()) {
        ::tcsetattr(guardedTerminal, TCSANOW, &guardedMode);
    }
    ::raise(signalNumber);
}

extern "C" void retakeRawMode(int) {
    const int savedErrno = errno;
    if (rawWanted != 0 && inForeground()) {
        ::tcsetattr(guardedTerminal, TCSANOW, &guardedRawMode);
    }
    errno = savedErrno;
}

extern "C" void restoreAndStop(int signalNumber) {
    // As line editors do: the shell gets the terminal in its saved mode, and
    // the stop itself is the default action of the signal, raised again with
    // the handler out of the way. Once continued (or at once, where the
    // stop is discarded in an orphaned process group) raw mode comes back
    // and the handler is put back for the next stop.
    const int savedErrno = errno;
    if (inForeground()) {
        ::tcsetattr(guardedTerminal, TCSANOW, &guardedMode);
    }
    struct sigaction defaultAction{};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    ::sigaction(signalNumber, &defaultAction, nullptr);
    sigset_t stopSignal;
    sigemptyset(&stopSignal);
    sigaddset(&stopSignal, signalNumber);
    ::sigprocmask(SIG_UNBLOCK, &stopSignal, nullptr);
    ::raise(signalNumber);
    ::sigaction(signalNumber, &stopAction, nullptr);
    errno = savedErrno;
    retakeRawMode(0);
}

struct SignalGuard {
    std::array<struct sigaction, TerminatingSignals.size()> previous{};
    std::array<struct sigaction, JobControlSignals.size()> previousJobControl{};
};

struct sigaction actionOf(void (*handler)(int), int flags) {
    struct sigaction action{};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    return action;
}

void installHandler(int signalNumber, void (*handler)(int), int flags,
                    struct sigaction& previous) {
    const struct sigaction action = actionOf(handler, flags);
    ::sigaction(signalNumber, nullptr, &previous);
    if (previous.sa_handler != SIG_IGN) {  // respect nohup and the like
        ::sigaction(signalNumber, &action, nullptr);
    }
}

void installGuard(SignalGuard& guard, int terminal, const termios& saved, const termios& raw) {
    guardedTerminal = terminal;
    guardedMode = saved;
    guardedRawMode = raw;
    for (std::size_t i = 0; i < TerminatingSignals.size(); ++i) {
        installHandler(TerminatingSignals[i], restoreAndResignal,
                       static_cast<int>(SA_RESETHAND), guard.previous[i]);
    }
    stopAction = actionOf(restoreAndStop, 0);
    installHandler(SIGTSTP, restoreAndStop, 0, guard.previousJobControl[0]);
    // A continuation takes raw mode again also after a stop by SIGSTOP,
    // which no handler sees.
    installHandler(SIGCONT, retakeRawMode, 0, guard.previousJobControl[1]);
}

void removeGuard(const SignalGuard& guard) {
    for (std::size_t i = 0; i < TerminatingSignals.size(); ++i) {
        ::sigaction(TerminatingSignals[i], &guard.previous[i], nullptr);
    }
    for (std::size_t i = 0; i < JobControlSignals.size(); ++i) {
        ::sigaction(JobControlSignals[i], &guard.previousJobControl[i], nullptr);
    }
}

// Non-canonical, one byte at a time, no echo, no signal keys, no flow
// control and no CR translation: every key arrives as the bytes it sends.
termios rawModeOf(const termios& saved) {
    termios raw = saved;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    return raw;
}

// One byte, waiting at most `milliseconds` (forever when negative).
// Returns false on timeout, end or error.
bool readByte(int terminal, int milliseconds, char& byte) {
    for (;;) {
        pollfd watched{terminal, POLLIN, 0};
        if (retryInterrupted([&] { return ::poll(&watched, 1, milliseconds); }) <= 0) {
            return false;
        }
        const ssize_t got = retryInterrupted([&] { return ::read(terminal, &byte, 1); });
        if (!wouldBlock(got)) {  // on a non-blocking terminal, another reader came first
            return got == 1;
        }
    }
}

// Ends the line of the closing prompt on the terminal itself, so the next
// prompt of the shell starts on a line of its own. The terminal's output
// mode is the one the dialog wrote in, so LF becomes what its line breaks
// became.
void endLineOnTerminal(int terminal) {
    while (wouldBlock(retryInterrupted([&] { return ::write(terminal, "\n", 1); })) &&
           awaitReady(terminal, POLLOUT)) {
    }
}

// Reads byte by byte until the bytes make one key press with a code. Bytes
// of a later key stay in the terminal, unread.
KeyCode readKeyPress(int terminal, const KeyDecoderSettings& settings) {
    KeyReader reader;
    KeyReadStep step;
    for (;;) {
        const bool mayFallQuiet = step.status == KeyReadStatus::WaitOrQuiet;
        char byte = 0;
        if (readByte(terminal, mayFallQuiet ? QuietMilliseconds : -1, byte)) {
            step = feedKeyByte(reader, static_cast<unsigned char>(byte), settings);
        } else if (mayFallQuiet) {
            step = feedQuiet(reader, settings);
        } else {
            return {};
        }
        if (step.status == KeyReadStatus::Key) {
            return step.key;
        }
    }
}

}  // namespace

KeyCode readTerminalKey(int terminal, bool utf8) {
    termios saved{};
    if (terminal < 0 || ::tcgetattr(terminal, &saved) != 0) {
        return {};
    }
    const termios raw = rawModeOf(saved);
    SignalGuard guard;
    installGuard(guard, terminal, saved, raw);
    rawWanted = 1;
    // TCSANOW, not TCSAFLUSH: keys typed ahead are the first to be read.
    if (::tcsetattr(terminal, TCSANOW, &raw) != 0) {
        rawWanted = 0;
        removeGuard(guard);
        return {};
    }
    const KeyDecoderSettings settings{saved.c_cc[VERASE], utf8};
    const KeyCode key = readKeyPress(terminal, settings);
    rawWanted = 0;
    const bool restored = ::tcsetattr(terminal, TCSANOW, &saved) == 0;
    removeGuard(guard);
    endLineOnTerminal(terminal);
    return restored ? key : KeyCode{};
}
