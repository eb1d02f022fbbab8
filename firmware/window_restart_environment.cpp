#include "firmware/window_restart_environment.h"

#include <chrono>

namespace {

// A restart's wait sleeps this long between steps, so it never spins.
constexpr std::chrono::milliseconds kRestartStepPause{10};

}  // namespace

RestartEnvironment WindowRestartEnvironment(const PageContext& context) {
    OperationHost* host = context.host;
    return {[host, step = context.linkStep] {
                host->Stop().SleepFor(kRestartStepPause);
                step();
            },
            context.deviceReady, context.dropConnection};
}
