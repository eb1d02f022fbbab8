// dravo-sim: a simulated dosimeter on a pseudo-terminal, plugged in as
// DIR/COM<N> until SIGINT or SIGTERM.
#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sim/sim_models.h"
#include "sim/simulated_device.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }
    if (ProfileListAsked(arguments)) {
        std::fputs(ProfileList().c_str(), stdout);
        return 0;
    }
    if (!arguments.empty() && (arguments[0] == "--version" || arguments[0] == "-v")) {
        std::puts("dravo-sim 1.1");
        return 0;
    }
    std::string portDir;
    int com = 0;
    std::string error;
    const auto options = ParseSimArguments(arguments, portDir, com, error);
    if (!options) {
        std::fprintf(stderr, "dravo-sim: %s\n%s", error.c_str(), SimUsage().c_str());
        return 2;
    }

    // Block the stop signals before any thread starts, then wait for them here.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SimulatedDevice device(*options);
    if (options->plugInDelayMs == 0) {
        if (!device.PlugIn(portDir, com)) {
            std::fprintf(stderr, "dravo-sim: %s\n", device.LastError().c_str());
            return 1;
        }
        std::printf("dravo-sim: %s (%s) on %s (%s)\n", FactsOf(options->model).name,
                    options->profile.name.c_str(), device.PortPath().c_str(),
                    device.DevicePath().c_str());
    } else {
        device.PlugInAfter(portDir, com, std::chrono::milliseconds(options->plugInDelayMs));
        std::printf("dravo-sim: plugging in as %s in %u ms\n", device.PortPath().c_str(),
                    options->plugInDelayMs);
    }
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    device.Unplug();
    std::printf("dravo-sim: stopped by signal %d\n", received);
    return 0;
}
