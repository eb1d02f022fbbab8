#include "cli/cli_host.h"

#include <csignal>
#include <thread>
#include <utility>

namespace {

volatile std::sig_atomic_t stopSignals = 0;

void OnStopSignal(int) {
    if (stopSignals < 2) {
        stopSignals = stopSignals + 1;
    }
}

}  // namespace

CliHost::CliHost()
    : OperationHost(
          [this](std::chrono::milliseconds maxBlock) {
              if (stopSignals > (cancelFirst_ ? 1 : 0)) {
                  RequestStop();
                  return;
              }
              if (stopSignals > 0 && cancel_) {
                  std::exchange(cancel_, {})();
              }
              if (maxBlock.count() > 0) {
                  std::this_thread::sleep_for(maxBlock);
              }
          },
          {}) {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

CliHost::~CliHost() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

bool CliHost::Interrupted() {
    return stopSignals != 0;
}
