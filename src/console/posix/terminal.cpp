// The key wait on a POSIX terminal: raw mode for the duration of the wait,
// bytes decoded into one key press.
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

#include "console/codec/key_decoder.h"
#include "console/posix/posix.h"

namespace {

// How long a terminal may pause inside one key's escape sequence.
constexpr int QuietMilliseconds = 50;

constexpr std::array<int, 4> TerminatingSignals = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};

// What a signal handler needs to put the terminal back. Written only while
// no handler is installed.
int guardedTerminal = -1;
termios guardedMode{};

extern "C" void restoreAndResignal(int signalNumber) {
    // Async-signal-safe calls only. The handler was reset to the default on
    // entry and the signal is blocked until it returns, so raising it again
    // ends the process as the signal would have.
    ::tcsetattr(guardedTerminal, TCSANOW, &guardedMode);
    ::raise(signalNumber);
}

struct SignalGuard {
    std::array<struct sigaction, TerminatingSignals.size()> previous{};
};

void installGuard(SignalGuard& guard, int terminal, const termios& saved) {
    guardedTerminal = terminal;
    guardedMode = saved;
    struct sigaction action{};
    action.sa_handler = restoreAndResignal;
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < TerminatingSignals.size(); ++i) {
        ::sigaction(TerminatingSignals[i], nullptr, &guard.previous[i]);
        if (guard.previous[i].sa_handler != SIG_IGN) {  // respect nohup and the like
            ::sigaction(TerminatingSignals[i], &action, nullptr);
        }
    }
}

void removeGuard(const SignalGuard& guard) {
    for (std::size_t i = 0; i < TerminatingSignals.size(); ++i) {
        ::sigaction(TerminatingSignals[i], &guard.previous[i], nullptr);
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
        const int ready = ::poll(&watched, 1, milliseconds);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        const ssize_t got = ::read(terminal, &byte, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        return got == 1;
    }
}

// Reads byte by byte until the bytes make one key press with a code. Bytes
// of a later key stay in the terminal, unread.
KeyCode readKeyPress(int terminal, const KeyDecoderSettings& settings) {
    std::string bytes;
    for (;;) {
        char byte = 0;
        if (bytes.empty()) {
            if (!readByte(terminal, -1, byte)) {
                return {};
            }
            bytes += byte;
        }
        DecodedKey decoded = decodeKey(bytes, settings, false);
        if (decoded.status == DecodeStatus::NeedMore) {
            if (readByte(terminal, QuietMilliseconds, byte)) {
                bytes += byte;
                continue;
            }
            decoded = decodeKey(bytes, settings, true);
        }
        if (decoded.status == DecodeStatus::Key) {
            return decoded.key;
        }
        bytes.erase(0, decoded.consumed);
    }
}

}  // namespace

KeyCode readTerminalKey(int terminal, bool utf8) {
    termios saved{};
    if (terminal < 0 || ::tcgetattr(terminal, &saved) != 0) {
        return {};
    }
    SignalGuard guard;
    installGuard(guard, terminal, saved);
    const termios raw = rawModeOf(saved);
    // TCSANOW, not TCSAFLUSH: keys typed ahead are the first to be read.
    if (::tcsetattr(terminal, TCSANOW, &raw) != 0) {
        removeGuard(guard);
        return {};
    }
    const KeyDecoderSettings settings{saved.c_cc[VERASE], utf8};
    const KeyCode key = readKeyPress(terminal, settings);
    const bool restored = ::tcsetattr(terminal, TCSANOW, &saved) == 0;
    removeGuard(guard);
    return restored ? key : KeyCode{};
}
