#include "cli/cli_restart_environment.h"

#include "base/tick_clock.h"

namespace {
constexpr std::chrono::milliseconds kStepBlock{100};
constexpr std::uint32_t kReconnectPeriodMs = 1000;
}  // namespace

RestartEnvironment CliRestartEnvironment::Environment() {
    return {[this] { Step(); }, [this] { return back_; },
            [this] {
                session_.Stack().Close();
                back_ = false;
                lastTry_ = SystemTicks();
            }};
}

void CliRestartEnvironment::Step() {
    host_.Stop().SleepFor(kStepBlock);
    const std::uint32_t now = SystemTicks();
    if (back_ || host_.StopRequested() || TicksSince(lastTry_, now) < kReconnectPeriodMs) {
        return;
    }
    lastTry_ = now;
    back_ = session_.Reconnect(info_);
}
