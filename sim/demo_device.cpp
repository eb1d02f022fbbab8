#include "sim/demo_device.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "sim/sim_options.h"

DemoDevice::~DemoDevice() {
    device_.reset();
    if (!portDir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(portDir_, ignored);
    }
}

bool DemoDevice::PreparePortFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/dravo-demo-ports-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
        return false;
    }
    portDir_ = buffer.data();
    return ::setenv("DRAVO_PORT_DIR", portDir_.c_str(), 1) == 0;
}

void DemoDevice::Start() {
    SimOptions options = DemoOptions();
    options.plugInDelayMs = kPlugInDelayMs;
    device_ = StartSimulatedDevice(options, portDir_, kPortNumber);
}
