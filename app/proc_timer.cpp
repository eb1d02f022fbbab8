#include "app/proc_timer.h"

void ProcTimer::ClearSteps() {
    connectionStep_ = nullptr;
    identificationStep_ = nullptr;
    steps_.clear();
}

void ProcTimer::LinkStep() {
    const std::uint32_t now = clock_();
    if (!lastConnectionTick_ || TicksSince(*lastConnectionTick_, now) > kConnectionPeriodMs) {
        lastConnectionTick_ = now;
        if (connectionStep_) {
            connectionStep_();
        }
    }
    if (identificationStep_) {
        identificationStep_();
    }
}

void ProcTimer::Tick() {
    LinkStep();
    for (const Step& step : steps_) {
        step();
    }
}
