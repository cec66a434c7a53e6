// The console on POSIX systems: file descriptors 0, 1 and 2 for the streams
// and the controlling terminal for the key wait.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "console/console.h"
#include "console/posix/posix.h"

namespace {

int descriptorOf(void* device) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(device));
}

void* deviceOf(int descriptor) {
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(descriptor));
}

bool writeToDescriptor(void* device, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptorOf(device), bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::size_t readFromDescriptor(void* device, char* buffer, std::size_t capacity) {
    for (;;) {
        const ssize_t got = ::read(descriptorOf(device), buffer, capacity);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
}

int terminalDescriptor = -1;

// The controlling terminal, on a descriptor above the standard three: with
// standard input or output closed, the terminal must not take their place.
int openKeyboard() {
    const int opened = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (opened < 0 || opened > STDERR_FILENO) {
        return opened;
    }
    const int moved = ::fcntl(opened, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(opened);
    return moved;
}

KeyCode waitOnTerminal(void* keyboard) {
    return readTerminalKey(descriptorOf(keyboard), terminalUsesUtf8());
}

}  // namespace

void openConsole() {
    // A reader that has gone away must fail the write, not end the program.
    ::signal(SIGPIPE, SIG_IGN);
    openTextConversion();
    // The keyboard is the controlling terminal, whatever standard input is.
    terminalDescriptor = openKeyboard();

    Console& state = console();
    state.output = {writeToDescriptor, deviceOf(STDOUT_FILENO)};
    state.input = {};
    state.input.read = readFromDescriptor;
    state.input.device = deviceOf(STDIN_FILENO);
    state.readKey = waitOnTerminal;
    state.keyboard = deviceOf(terminalDescriptor);
    state.convertText = convertToTerminal;
    errorLine() = {writeToDescriptor, deviceOf(STDERR_FILENO)};
}

void closeConsole() {
    closeTextConversion();
    if (terminalDescriptor >= 0) {
        ::close(terminalDescriptor);
        terminalDescriptor = -1;
    }
}
