#include "sim/device_end.h"

std::unique_ptr<DeviceEnd> OpenDeviceEnd(const std::string& portDir, int com,
                                         std::function<void()> wake, std::string& error) {
    if (!portDir.empty()) {
        error = "Windows has no pseudo-terminals: a port folder cannot be used";
        return nullptr;
    }
    return OpenMemoryEnd(com, std::move(wake));
}
