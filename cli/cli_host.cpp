#include "cli/cli_host.h"

#include <atomic>
#include <utility>

namespace {

// Lock-free, so that a signal handler may set it.
std::atomic<bool> interrupted{false};

}  // namespace

void CliHost::NoteStopSignal() {
    interrupted = true;
}

bool CliHost::Interrupted() {
    return interrupted.load();
}

void CliHost::LeaveFirstSignalToCancel(std::function<void()> cancel) {
    std::lock_guard<std::mutex> guard(lock_);
    cancel_ = std::move(cancel);
    if (signals_ > 0) {
        std::exchange(cancel_, {})();
    }
}

void CliHost::OnSignal() {
    std::function<void()> cancel;
    {
        std::lock_guard<std::mutex> guard(lock_);
        ++signals_;
        if (signals_ == 1 && cancel_) {
            cancel = std::exchange(cancel_, {});
        }
    }
    if (cancel) {
        cancel();
    } else {
        RequestStop();
    }
}
