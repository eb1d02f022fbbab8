#include "app/proc_timer.h"

namespace {

void Run(const std::function<void()>& step) {
    if (step) {
        step();
    }
}

}  // namespace

void ProcTimer::Tick() {
    if (inProgress_) {
        return;
    }
    inProgress_ = true;
    const std::uint32_t now = clock_();
    if (!lastConnectionTick_ || TicksSince(*lastConnectionTick_, now) > kConnectionPeriodMs) {
        lastConnectionTick_ = now;
        Run(hooks_.connectionStep);
    }
    Run(hooks_.identificationStep);
    Run(hooks_.measureStep);
    inProgress_ = false;
}
