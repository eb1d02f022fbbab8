#include "settings/settings_transfer.h"

#include <string>

#include "settings/device_clock.h"

namespace {

std::string IdList(const std::vector<std::uint16_t>& ids) {
    std::string text;
    for (const std::uint16_t id : ids) {
        text += (text.empty() ? "" : ", ") + std::to_string(id);
    }
    return text.empty() ? "none" : text;
}

}  // namespace

SettingsTransfer::SettingsTransfer(DeviceCommands& commands, OperationHost& host, AppLog& log)
    : commands_(commands), host_(host), log_(log) {}

bool SettingsTransfer::MayContinue() const {
    return !cancelled_ && !host_.StopRequested();
}

void SettingsTransfer::Report(int done, int total) const {
    if (progress_) {
        progress_(done, total);
    }
}

SettingsReadResult SettingsTransfer::Read(SettingsValues& values) {
    OperationGuard guard(host_, {});
    cancelled_ = false;
    SettingsReadResult result;
    const auto& settings = values.model->settings;
    const int total = static_cast<int>(settings.size()) + 2;
    for (std::size_t i = 0; i < settings.size(); ++i) {
        std::uint32_t value = 0;
        if (!MayContinue() || !commands_.ReadParameter(settings[i].parameter, value)) {
            log_.LogError("Settings read stopped at PAR[" + std::to_string(settings[i].parameter) +
                          "]");
            return result;
        }
        values.codes[i] = CodeOfDeviceValue(settings[i], value);
        ++result.settingsRead;
        Report(static_cast<int>(i) + 1, total);
    }
    result.clock = ReadClock();
    if (!result.clock) {
        result.clock = UnknownClockRecord();
        return result;
    }
    Report(total - 1, total);
    std::uint32_t calibration = 0;
    if (!MayContinue() || !commands_.ReadParameter(kParamCalibration, calibration)) {
        return result;
    }
    result.calibration = calibration;
    result.complete = true;
    Report(total, total);
    return result;
}

SettingsWriteResult SettingsTransfer::Write(const SettingsValues& values) {
    SettingsWriteResult result;
    if (values.AnyUndefined()) {
        result.outcome = SettingsWriteOutcome::Undefined;
        return result;
    }
    OperationGuard guard(host_, {});
    cancelled_ = false;
    const auto& settings = values.model->settings;
    const int total = static_cast<int>(settings.size());
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const SettingBinding& binding = settings[i];
        if (!MayContinue()) {
            result.outcome = SettingsWriteOutcome::Stopped;
            log_.LogError("Settings write stopped before PAR[" + std::to_string(binding.parameter) +
                          "]; written: " + IdList(result.written));
            return result;
        }
        const ParameterWrite write = commands_.StoreParameter(
            binding.parameter, DeviceValueOfCode(binding, *values.codes[i]));
        if (write != ParameterWrite::Stored) {
            result.outcome = write == ParameterWrite::NotTaken ? SettingsWriteOutcome::NotTaken
                                                               : SettingsWriteOutcome::Failed;
            result.failed = &binding;
            log_.LogError("Settings write failed at PAR[" + std::to_string(binding.parameter) +
                          "]; written: " + IdList(result.written));
            return result;
        }
        result.written.push_back(binding.parameter);
        Report(static_cast<int>(i) + 1, total);
    }
    result.outcome = SettingsWriteOutcome::Written;
    return result;
}

std::optional<DeviceTimeRecord> SettingsTransfer::ReadClock() {
    OperationGuard guard(host_, {});
    DeviceTimeRecord time;
    if (!MayContinue() || !commands_.TimeRead(time)) {
        log_.LogError("Device clock not read");
        return std::nullopt;
    }
    return time;
}

ClockWriteResult SettingsTransfer::WriteClock(const DeviceTimeRecord& time) {
    OperationGuard guard(host_, {});
    ClockWriteResult result;
    if (!MayContinue() || !commands_.TimeWrite(time)) {
        log_.LogError("Device clock not written");
        return result;
    }
    result.written = true;
    result.readBack = ReadClock().value_or(UnknownClockRecord());
    return result;
}

ParameterWrite SettingsTransfer::WriteCalibration(std::uint32_t value) {
    OperationGuard guard(host_, {});
    return MayContinue() ? commands_.StoreParameter(kParamCalibration, value)
                         : ParameterWrite::Failed;
}
