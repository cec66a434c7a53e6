#include "program_runner.h"

#include "exec_chords.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
};

Pipe makePipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        std::abort();
    }
    return {ends[0], ends[1]};
}

[[noreturn]] void execChild(const Pipe& in, const Pipe& out, const Pipe& err,
                            const RunOptions& options) {
    ::setsid();  // no controlling terminal: the key wait must not block
    ::signal(SIGPIPE, SIG_DFL);  // as a shell starts it, not with the harness's SIG_IGN
    ::dup2(in.read, STDIN_FILENO);
    ::dup2(out.write, STDOUT_FILENO);
    ::dup2(err.write, STDERR_FILENO);
    if (!options.outputFile.empty()) {
        const int file = ::open(options.outputFile.c_str(), O_WRONLY);
        ::dup2(file, STDOUT_FILENO);
    }
    if (options.inputClosed) {
        ::close(STDIN_FILENO);
    }
    if (options.outputClosed) {
        ::close(STDOUT_FILENO);
    }
    if (options.inputNonBlocking) {
        ::fcntl(STDIN_FILENO, F_SETFL, ::fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
    }
    if (options.outputNonBlocking) {
        ::fcntl(STDOUT_FILENO, F_SETFL, ::fcntl(STDOUT_FILENO, F_GETFL) | O_NONBLOCK);
    }
    execChords(options.environment, options.program ? options.program : CHORDS_PROGRAM,
               options.arguments);
}

void pause(int milliseconds) {
    ::poll(nullptr, 0, milliseconds);
}

// The whole input before anything is read back; it must fit the pipe.
void sendAtOnce(int input, std::string_view& bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(input, bytes.data(), bytes.size());
        if (put <= 0) {
            std::abort();
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

// Feeds the input and drains both outputs at once, so that neither side
// can stall on a full pipe.
void exchange(int input, std::string_view bytes, int output, int errors, ProgramRun& run) {
    ::fcntl(input, F_SETFL, O_NONBLOCK);
    std::array<pollfd, 3> watched{{{output, POLLIN, 0}, {errors, POLLIN, 0}, {input, POLLOUT, 0}}};
    std::string* sinks[] = {&run.output, &run.errors};
    if (bytes.empty()) {
        ::close(input);
        watched[2].fd = -1;
    }
    while (watched[0].fd >= 0 || watched[1].fd >= 0) {
        if (::poll(watched.data(), watched.size(), -1) < 0 && errno != EINTR) {
            break;
        }
        for (int stream = 0; stream < 2; ++stream) {
            if (watched[stream].fd >= 0 && watched[stream].revents != 0) {
                char chunk[65536];
                const ssize_t got = ::read(watched[stream].fd, chunk, sizeof chunk);
                if (got > 0) {
                    sinks[stream]->append(chunk, static_cast<std::size_t>(got));
                } else if (got == 0 || errno != EINTR) {
                    ::close(watched[stream].fd);
                    watched[stream].fd = -1;
                }
            }
        }
        if (watched[2].fd >= 0 && watched[2].revents != 0) {
            const ssize_t put = ::write(input, bytes.data(), bytes.size());
            if (put > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(put));
            }
            if (bytes.empty() || (put < 0 && errno != EAGAIN && errno != EINTR)) {
                ::close(input);
                watched[2].fd = -1;
            }
        }
    }
    if (watched[2].fd >= 0) {
        ::close(input);
    }
}

}  // namespace

ProgramRun runChords(std::string_view input, const RunOptions& options) {
    // The harness itself must survive writing to a program that has ended.
    ::signal(SIGPIPE, SIG_IGN);
    const Pipe in = makePipe();
    const Pipe out = makePipe();
    const Pipe err = makePipe();
    int outputEnd = out.read;
    if (options.outputReaderGone) {
        // Gone before the program starts, so that its very first write fails.
        ::close(out.read);
        outputEnd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        execChild(in, out, err, options);
    }
    ::close(in.read);
    ::close(out.write);
    ::close(err.write);
    ProgramRun run;
    pause(options.inputDelayMilliseconds);
    if (options.outputDelayMilliseconds > 0) {
        sendAtOnce(in.write, input);
        pause(options.outputDelayMilliseconds);
    }
    exchange(in.write, input, outputEnd, err.read, run);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        run.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
    }
    return run;
}

std::string asShown(std::string_view transcript) {
    return std::string(transcript);
}

std::string nativePath(std::string_view path) {
    return std::string(path);
}
