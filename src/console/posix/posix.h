#pragma once
// The POSIX console's parts, shared between its own files only.

#include <iconv.h>
#include <poll.h>
#include <sys/types.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

#include "console/codec/key_code.h"

// What the POSIX console opens beside the standard descriptors. The Console
// record owns it; its key wait and its text conversion work on it.
struct PosixDevices {
    // The controlling terminal for the key wait, or -1 without one.
    int terminal = -1;
    // Windows-1251 into the locale's character set; none when the texts go
    // out as UTF-8.
    std::optional<iconv_t> converter;
};

// Repeats a call that a signal interrupted before it did anything (-1 with
// EINTR) until it answers otherwise.
template <typename Call>
auto retryInterrupted(Call call) {
    for (;;) {
        const auto result = call();
        if (result != -1 || errno != EINTR) {
            return result;
        }
    }
}

// A descriptor that another program sharing it left non-blocking answers
// "try again" instead of waiting; that is neither the end nor an error.
inline bool wouldBlock(ssize_t result) {
    return result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

// Waits until the descriptor can take or give bytes (or has hung up, which
// the next call then reports). False when even the wait fails.
inline bool awaitReady(int descriptor, short events) {
    pollfd watched{descriptor, events, 0};
    return retryInterrupted([&] { return ::poll(&watched, 1, -1); }) > 0;
}

// Waits for one key on the terminal behind the descriptor; the terminal's
// mode is changed only for the wait and always put back, also when a
// terminating signal arrives meanwhile.
KeyCode readTerminalKey(int terminal, bool utf8);

// Picks the conversion of Windows-1251 texts into the locale's character
// set (iconv), falling back to UTF-8 where that set has no Cyrillic letters.
std::optional<iconv_t> openTextConversion();
void closeTextConversion(std::optional<iconv_t> converter);
// A ConvertText hook over the PosixDevices record.
std::string convertToTerminal(void* devices, std::string_view cp1251Text);
// Whether the terminal is taken to speak UTF-8, in output and in keys.
bool terminalUsesUtf8(const PosixDevices& devices);
