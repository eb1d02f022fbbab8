#include "cli/cli_host.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <utility>

namespace {

// The handler only writes a byte; the watcher thread acts on it.
int signalPipe[2] = {-1, -1};
constexpr unsigned char kSignalByte = 1;
constexpr unsigned char kQuitByte = 0;

void OnStopSignal(int) {
    const int savedErrno = errno;
    CliHost::NoteStopSignal();
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &kSignalByte, 1);
    errno = savedErrno;
}

}  // namespace

CliHost::CliHost() {
    if (::pipe2(signalPipe, O_CLOEXEC) != 0) {
        return;
    }
    watcher_ = std::thread([this] { Watch(); });
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

CliHost::~CliHost() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (watcher_.joinable()) {
        [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &kQuitByte, 1);
        watcher_.join();
        ::close(signalPipe[0]);
        ::close(signalPipe[1]);
        signalPipe[0] = signalPipe[1] = -1;
    }
}

void CliHost::Watch() {
    for (;;) {
        unsigned char byte = kQuitByte;
        const ssize_t got = ::read(signalPipe[0], &byte, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got != 1 || byte == kQuitByte) {
            return;
        }
        OnSignal();
    }
}
