#include "sim/demo_device.h"

#include <filesystem>
#include <system_error>

#include "sim/sim_options.h"

DemoDevice::~DemoDevice() {
    device_.reset();
    if (!portDir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(portDir_, ignored);
    }
}

void DemoDevice::Start() {
    SimOptions options = DemoOptions();
    options.plugInDelayMs = kPlugInDelayMs;
    device_ = StartSimulatedDevice(options, portDir_, kPortNumber);
}
