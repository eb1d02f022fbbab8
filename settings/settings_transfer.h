#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/app_log.h"
#include "base/operation_host.h"
#include "protocol/commands.h"
#include "settings/settings_values.h"

// What reading the settings brought. After a failure the settings read before
// it keep their new codes, the others what they had.
struct SettingsReadResult {
    bool complete = false;
    int settingsRead = 0;  // how many settings, in the model's order, arrived
    // The device clock, all 0xFF after a failed clock read; none when reading
    // stopped before the clock.
    std::optional<DeviceTimeRecord> clock;
    std::optional<std::uint32_t> calibration;  // the device's value, unclamped
};

// NotTaken: the device answered with another value than the one written.
enum class SettingsWriteOutcome { Written, Undefined, Failed, NotTaken, Stopped };

struct SettingsWriteResult {
    SettingsWriteOutcome outcome = SettingsWriteOutcome::Stopped;
    const SettingBinding* failed = nullptr;  // Failed and NotTaken only
    std::vector<std::uint16_t> written;
};

struct ClockWriteResult {
    bool written = false;
    DeviceTimeRecord readBack{};  // all 0xFF when the read-back failed
};

// The settings exchanges of one model, shared by the pages and the command
// line. Each call holds an OperationGuard for its run, checks between
// exchanges whether the host is stopping or the caller cancelled, and logs
// what failed.
class SettingsTransfer {
  public:
    using Progress = std::function<void(int done, int total)>;

    SettingsTransfer(DeviceCommands& commands, OperationHost& host, AppLog& log);

    void SetProgress(Progress progress) { progress_ = std::move(progress); }
    // Stops the running call at its next exchange, through its failure path.
    void Cancel() { cancelled_ = true; }

    // Every setting in the model's order, then the clock, then the calibration.
    SettingsReadResult Read(SettingsValues& values);
    // Every setting in the model's order, unless one is undefined; stops at the
    // first failed write. Neither the clock nor the calibration is written.
    SettingsWriteResult Write(const SettingsValues& values);
    // Sets the clock and reads it back.
    ClockWriteResult WriteClock(const DeviceTimeRecord& time);
    std::optional<DeviceTimeRecord> ReadClock();
    ParameterWrite WriteCalibration(std::uint32_t value);

  private:
    bool MayContinue() const;
    void Report(int done, int total) const;

    DeviceCommands& commands_;
    OperationHost& host_;
    AppLog& log_;
    Progress progress_;
    bool cancelled_ = false;
};
