#include "settings/settings_actions.h"

#include "base/file_writer.h"
#include "base/language.h"
#include "protocol/device_info.h"
#include "settings/calibration.h"
#include "settings/settings_file.h"
#include "settings/settings_texts.h"

namespace {
constexpr OperationDisables kFrame{true, true, false};
}  // namespace

SettingsActions::SettingsActions(const ModelDescription& model, SettingsEnvironment environment)
    : model_(model),
      env_(std::move(environment)),
      transfer_(env_.commands, env_.host, env_.log),
      state_(model) {}

OperationOutcome SettingsActions::Fail(const std::string& text) {
    env_.dialogs.Error(text);
    return env_.commands.Link().FailureOutcome(text);
}

OperationOutcome SettingsActions::Fail(OutcomeKind kind, const std::string& text) {
    env_.dialogs.Error(text);
    return {kind, text};
}

OperationOutcome SettingsActions::Declined() const {
    return {env_.host.StopRequested() ? OutcomeKind::Stopped : OutcomeKind::Cancelled, {}};
}

// The access check shows its own box.
OperationOutcome SettingsActions::Read() {
    OperationGuard guard(env_.host, kFrame);
    if (!env_.accessCheck(PickText("Чтение настроек", "Read Settings"))) {
        return {OutcomeKind::Refused, {}};
    }
    const SettingsReadResult result = transfer_.Read(state_.values);
    state_.unitsPastList =
        model_.IndexOf("units") < result.settingsRead && !state_.values.Code("units");
    if (result.clock) {
        state_.clockText = ClockRecordText(*result.clock);
    }
    if (result.calibration) {
        state_.calibrationText = CalibrationDisplayText(*result.calibration);
    }
    if (!result.complete) {
        return Fail(PickText("Ошибка получения параметров", "Error reading Parameters"));
    }
    return {};
}

// The restart offered after the write only follows up: declining it still
// completes the save. Without a restart to run, none is offered.
OperationOutcome SettingsActions::Save() {
    OperationGuard guard(env_.host, kFrame);
    if (!env_.accessCheck(PickText("Сохранение настроек", "Save Settings"))) {
        return {OutcomeKind::Refused, {}};
    }
    if (state_.values.AnyUndefined()) {
        return Fail(OutcomeKind::Refused, UndefinedSettingsMessage());
    }
    if (!env_.dialogs.AskYesNo(
            PickText("Будут записаны настройки\n\rПродолжить?", "Save Settings\n\rContinue?"))) {
        return Declined();
    }
    const SettingsWriteResult written = transfer_.Write(state_.values);
    if (written.outcome != SettingsWriteOutcome::Written) {
        const std::string failure = PickText("Ошибка сохранения настроек", "Error saving Settings");
        return Fail(written.outcome == SettingsWriteOutcome::NotTaken
                        ? NotTakenMessage(
                              failure, PickText(written.failed->russian, written.failed->english))
                        : failure);
    }
    if (env_.restart &&
        env_.dialogs.AskYesNo(PickText(
            "Настройки успешно сохранены\n\rРекомендуется перезагрузить прибор\n\rСделать это "
            "сейчас?",
            "Settings successfully saved\n\rIt is reccomended Restart Device\n\rDo it Now?")) &&
        !env_.restart()) {
        return Fail(PickText("Ошибка перезагрузки прибора", "Error restarting Device"));
    }
    return {};
}

void SettingsActions::Default() {
    state_.values.ApplyDefaults();
    state_.calibrationText = model_.defaultCalibration;
}

OperationOutcome SettingsActions::WriteTime() {
    OperationGuard guard(env_.host, kFrame);
    if (!env_.dialogs.AskYesNo(
            PickText("Записать время\n\rв прибор из ПК?", "Write Time\n\rto Device from PC?"))) {
        return Declined();
    }
    const auto record = ClockRecordOf(env_.localTime());
    if (!record) {
        env_.log.LogError("PC clock outside 2000-2099: time not written");
        return Fail(OutcomeKind::Refused,
                    PickText("Дата ПК вне 2000–2099 годов\n\rВремя не записано",
                             "PC date outside the years 2000 to 2099\n\rTime not written"));
    }
    const ClockWriteResult result = transfer_.WriteClock(*record);
    if (!result.written) {
        return Fail(PickText("Ошибка установки времени", "Error writing Time"));
    }
    state_.clockText = ClockRecordText(result.readBack);
    env_.dialogs.Information(PickText("Время установлено\n\r", "Time written ti Device\n\r") +
                             state_.clockText);
    return {};
}

// The restart tells of its failure in the log.
OperationOutcome SettingsActions::Restart() {
    OperationGuard guard(env_.host, kFrame);
    if (!env_.restart || !env_.restart()) {
        return env_.commands.Link().FailureOutcome({});
    }
    return {};
}

OperationOutcome SettingsActions::SaveCalibration() {
    OperationGuard guard(env_.host, kFrame);
    if (!env_.dialogs.AskYesNo(PickText("Будет изменен калибровочный коэффициент\n\rПродолжить?",
                                        "Calibration Coefficient will changed\n\rContinue?"))) {
        return Declined();
    }
    std::uint32_t value = 0;
    const CalibrationCheck check = CheckCalibration(state_.calibrationText, value);
    if (check != CalibrationCheck::Valid) {
        return Fail(OutcomeKind::Refused, CalibrationErrorMessage(check, state_.calibrationText));
    }
    state_.calibrationText = CalibrationText(value);
    if (!env_.accessCheck(PickText("Сохранение калибровки", "Save Calibration"))) {
        return {OutcomeKind::Refused, {}};
    }
    const ParameterWrite written = transfer_.WriteCalibration(value);
    if (written != ParameterWrite::Stored) {
        const std::string failure =
            PickText("Ошибка сохранения калибровки", "Error saving Calibration");
        return Fail(written == ParameterWrite::NotTaken
                        ? NotTakenMessage(failure, CalibrationSettingName())
                        : failure);
    }
    env_.dialogs.Information(
        PickText("Калибровка успешно сохранена\n\rРекомендуется перезагрузить прибор",
                 "Calibration successfully saved\n\rIt is reccomended Restart Device"));
    return {};
}

std::string SettingsActions::SerialNumber() const {
    const auto& block = env_.commands.CachedInf1Block();
    return block ? SerialNumberText(*block) : std::string();
}

bool SettingsActions::SaveToFile(const std::string& path) {
    if (state_.values.AnyUndefined()) {
        env_.dialogs.Error(UndefinedSettingsMessage());
        return false;
    }
    const std::string document = SettingsDocument(state_.values, state_.calibrationText,
                                                  {SerialNumber(), SettingsFileDate()});
    if (!WriteFileReplacing(path, document)) {
        env_.log.LogError("Settings file not written: " + path);
        env_.dialogs.Error(PickText("Ошибка записи файла\n\r", "Error writing the file\n\r") +
                           path);
        return false;
    }
    env_.log.AddLine("Settings saved to " + path);
    return true;
}

bool SettingsActions::LoadFromFile(const std::string& path) {
    SettingsFileCheck check = LoadSettingsFile(path, model_.model);
    if (!check.Ok()) {
        env_.log.LogError("Settings file refused: " + path + ": " + check.error);
        env_.dialogs.Error(check.error);
        return false;
    }
    state_.values = *check.values;
    state_.calibrationText = check.calibration;
    env_.log.AddLine("Settings loaded from " + path);
    return true;
}
