#pragma once

#include "history/history_device.h"
#include "protocol/commands.h"

// The history's device over the program's command set.
class CommandsHistoryDevice : public HistoryDevice {
  public:
    explicit CommandsHistoryDevice(DeviceCommands& commands) : commands_(commands) {}

    bool ReadParameter(std::uint16_t id, std::uint32_t& value) override {
        return commands_.ReadParameter(id, value);
    }
    bool WriteParameter(std::uint16_t id, std::uint32_t value) override {
        return commands_.WriteParameter(id, value);
    }
    bool TimeRead(DeviceTimeRecord& time) override { return commands_.TimeRead(time); }
    OutcomeKind LastFailure() const override { return commands_.Link().FailureOutcome({}).kind; }
    bool EndAccess() override {
        const DeviceLink::Finishing finishing(commands_.Link());
        return commands_.WriteParameter(kParamCommand, kEndAccess);
    }
    // Quiet: the reading reports its own failure once.
    int EflRead(std::uint32_t address, std::uint8_t* destination, int length) override {
        return commands_.EflRead(address, destination, length, false);
    }

  private:
    DeviceCommands& commands_;
};
