#pragma once

#include "base/app_log.h"
#include "measure/measure_device.h"
#include "protocol/commands.h"

// The measurement page's device access over the command set: logged parameter
// reads and writes, and memory reads without message boxes (a failed read only
// blanks the display, so the log line is the one trace of why).
class CommandsMeasureDevice : public MeasureDevice {
  public:
    // `log` may be null: failed memory reads are then not logged.
    CommandsMeasureDevice(DeviceCommands& commands, AppLog* log) : commands_(commands), log_(log) {}

    bool ReadParameter(std::uint16_t id, std::uint32_t& value) override;
    bool WriteParameter(std::uint16_t id, std::uint32_t value) override;
    int MemRead(std::uint32_t address, std::uint8_t* destination, int length) override;

  private:
    DeviceCommands& commands_;
    AppLog* log_;
};
