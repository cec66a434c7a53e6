// The console on POSIX systems: file descriptors 0, 1 and 2 for the streams
// and the controlling terminal for the key wait.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
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
    const int descriptor = descriptorOf(device);
    while (size > 0) {
        const ssize_t written = retryInterrupted([&] { return ::write(descriptor, bytes, size); });
        if (wouldBlock(written) && awaitReady(descriptor, POLLOUT)) {
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
    const int descriptor = descriptorOf(device);
    for (;;) {
        const ssize_t got = retryInterrupted([&] { return ::read(descriptor, buffer, capacity); });
        if (wouldBlock(got) && awaitReady(descriptor, POLLIN)) {
            continue;
        }
        // The end of input, and any error, end the input.
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
}

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
    const auto& devices = *static_cast<const PosixDevices*>(keyboard);
    return readTerminalKey(devices.terminal, terminalUsesUtf8(devices));
}

// A standard descriptor the program was started without gets /dev/null, so
// that no file opened later (the terminal, a picture) takes its number and
// receives what was meant for the stream. Reading it is the end of input and
// writing to it drops the bytes, as on the closed descriptor.
void fillClosedStandardDescriptors() {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        const int opened = ::open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor) {
            ::dup2(opened, descriptor);
            ::close(opened);
        }
    }
}

}  // namespace

std::size_t consoleProcessCount() {
    return 0;  // a terminal outlives its programs
}

std::optional<std::size_t> outputTerminalColumns() {
    winsize size{};
    if (!::isatty(STDOUT_FILENO) || ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return std::nullopt;
    }
    return size.ws_col;
}

Console openConsole() {
    fillClosedStandardDescriptors();
    // A reader that has gone away must fail the write, not end the program.
    ::signal(SIGPIPE, SIG_IGN);
    // The keyboard is the controlling terminal, whatever standard input is.
    auto* devices = new PosixDevices{openKeyboard(), openTextConversion()};
    return Console{
        .output = {writeToDescriptor, deviceOf(STDOUT_FILENO)},
        .input = {.read = readFromDescriptor, .device = deviceOf(STDIN_FILENO)},
        .readKey = waitOnTerminal,
        .keyboard = devices,
        .convertText = convertToTerminal,
        .converter = devices,
        .messages = {writeToDescriptor, deviceOf(STDERR_FILENO)},
        .convertMessage = convertToTerminal,
        .writeError = writeToDescriptor,
        .errorDevice = deviceOf(STDERR_FILENO),
        .platform = devices,
    };
}

void closeConsole(Console& console) {
    auto* devices = static_cast<PosixDevices*>(console.platform);
    if (devices == nullptr) {
        return;
    }
    closeTextConversion(devices->converter);
    if (devices->terminal >= 0) {
        ::close(devices->terminal);
    }
    delete devices;
    console.platform = console.keyboard = console.converter = nullptr;
}
