#include "app/proc_timer.h"

void ProcTimer::ClearSteps() {
    connectionStep_ = nullptr;
    steps_.clear();
}

void ProcTimer::Tick() {
    if (inProgress_ || (waits_ != nullptr && waits_->StopRequested())) {
        return;
    }
    inProgress_ = true;
    WaitRules::Frame frame(waits_);
    const std::uint32_t now = clock_();
    if (!lastConnectionTick_ || TicksSince(*lastConnectionTick_, now) > kConnectionPeriodMs) {
        lastConnectionTick_ = now;
        if (connectionStep_) {
            connectionStep_();
        }
    }
    for (const Step& step : steps_) {
        step();
    }
    inProgress_ = false;
}
