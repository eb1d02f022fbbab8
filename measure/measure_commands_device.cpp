#include "measure/measure_commands_device.h"

#include <cstdio>
#include <string>

bool CommandsMeasureDevice::ReadParameter(std::uint16_t id, std::uint32_t& value) {
    return commands_.ReadParameter(id, value);
}

bool CommandsMeasureDevice::WriteParameter(std::uint16_t id, std::uint32_t value) {
    return commands_.WriteParameter(id, value);
}

int CommandsMeasureDevice::MemRead(std::uint32_t address, std::uint8_t* destination, int length) {
    const int result = commands_.MemRead(address, destination, length, false);
    if (result <= 0 && log_ != nullptr) {
        char line[48];
        std::snprintf(line, sizeof line, "Read MEM[0x%08X] : %d", static_cast<unsigned>(address),
                      length);
        log_->LogError(line);
    }
    return result;
}
