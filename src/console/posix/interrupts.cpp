// Interrupts during a long run on POSIX systems: SIGINT and SIGTERM only
// raise a flag until the run has tidied up; then the signal is raised again
// with its default action, so the process ends as it would have.
#include <signal.h>
#include <unistd.h>

#include <array>

#include "console/console.h"

namespace {

constexpr std::array<int, 2> InterruptSignals = {SIGINT, SIGTERM};

volatile sig_atomic_t interruptedBy = 0;

extern "C" void noteInterrupt(int signalNumber) {
    interruptedBy = signalNumber;
}

}  // namespace

void watchInterrupts() {
    for (const int signalNumber : InterruptSignals) {
        struct sigaction previous{};
        ::sigaction(signalNumber, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) {
            continue;  // respect nohup and the like
        }
        struct sigaction action{};
        action.sa_handler = noteInterrupt;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(signalNumber, &action, nullptr);
    }
}

bool interruptRequested() {
    return interruptedBy != 0;
}

void endByInterrupt() {
    const int signalNumber = interruptedBy != 0 ? interruptedBy : SIGTERM;
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
    ::_exit(128 + signalNumber);  // only if the signal is blocked
}
