#include "app/signal_bridge_qt.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace {

int pipeFds[2] = {-1, -1};

void OnSignal(int signalNumber) {
    const auto byte = static_cast<unsigned char>(signalNumber);
    const int savedErrno = errno;
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

SignalBridge::SignalBridge(std::initializer_list<int> signalNumbers, QObject* parent)
    : QObject(parent), signalNumbers_(signalNumbers) {
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalBridge::Drain);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : signalNumbers) {
        ::sigaction(number, &action, nullptr);
    }
}

SignalBridge::~SignalBridge() {
    if (pipeFds[0] < 0) {
        return;
    }
    delete notifier_;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    for (int number : signalNumbers_) {
        ::sigaction(number, &fallback, nullptr);
    }
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void SignalBridge::Drain() {
    unsigned char byte = 0;
    while (::read(pipeFds[0], &byte, 1) == 1) {
        emit Received(byte);
    }
}
