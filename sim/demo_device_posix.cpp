#include <cstdlib>
#include <string>
#include <vector>

#include "sim/demo_device.h"

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
