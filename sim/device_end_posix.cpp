#include <filesystem>

#include "sim/device_end.h"
#include "sim/pty_port.h"

std::unique_ptr<DeviceEnd> OpenDeviceEnd(const std::string& portDir, int com,
                                         std::function<void()> wake, std::string& error) {
    if (portDir.empty()) {
        return OpenMemoryEnd(com, std::move(wake));
    }
    return PtyPort::Open((std::filesystem::path(portDir) / ("COM" + std::to_string(com))).string(),
                         error);
}
