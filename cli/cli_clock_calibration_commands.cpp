#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "base/language.h"
#include "cli/cli_commands.h"
#include "cli/cli_iso_time.h"
#include "cli/cli_json_values.h"
#include "cli/cli_settings_session.h"
#include "cli/exit_status.h"
#include "settings/calibration.h"
#include "settings/settings_texts.h"
#include "settings/settings_transfer.h"

namespace {

std::string ClockIso(const DeviceTimeRecord& clock) {
    return IsoTime(DeviceDateTime::Of(2000 + clock.year, clock.month, clock.day, clock.hour,
                                      clock.minute, clock.second));
}

// The device's clock as the settings page shows it, and as a time for scripts.
void PrintClock(CliContext& context, const DeviceTimeRecord& clock) {
    context.report.Result() = {{"clock", ClockIso(clock)}, {"clockText", ClockRecordText(clock)}};
    if (!context.options.json) {
        std::cout << ClockRecordText(clock) << '\n';
    }
}

// Reads the clock; fails with the page's message.
std::optional<DeviceTimeRecord> ReadClock(CliContext& context,
                                          const SettingsEnvironment& environment) {
    SettingsTransfer transfer(environment.commands, context.host, context.log);
    const auto clock = transfer.ReadClock();
    if (!clock) {
        context.dialogs.Error(PickText("Ошибка чтения времени", "Error reading Time"));
    }
    return clock;
}

int RunClockGet(CliContext& context, CliSettingsSession& settings) {
    const SettingsEnvironment& environment = settings.actions.Environment();
    if (!environment.accessCheck(PickText("Чтение времени", "Read Time"))) {
        return kExitFailure;
    }
    const auto clock = ReadClock(context, environment);
    if (!clock) {
        return OutcomeStatus(environment.commands.Link().FailureOutcome(
            PickText("Ошибка чтения времени", "Error reading Time")));
    }
    PrintClock(context, *clock);
    return kExitOk;
}

// Sets the clock, then reads back what the device now holds.
int RunClockSet(CliContext& context, CliSettingsSession& settings) {
    if (const int status = OutcomeStatus(settings.actions.WriteTime()); status != kExitOk) {
        return status;
    }
    const auto clock = ReadClock(context, settings.actions.Environment());
    if (!clock) {
        return kExitFailure;
    }
    PrintClock(context, *clock);
    return kExitOk;
}

// The coefficient as the page shows it, and as a number for scripts.
void PrintCalibration(CliContext& context, const std::string& text) {
    context.report.Result() = {{"calibration", DecimalJson(text)}, {"calibrationText", text}};
    if (!context.options.json) {
        std::cout << text << '\n';
    }
}

int RunCalibrationGet(CliContext& context, CliSettingsSession& settings) {
    const int status = OutcomeStatus(settings.actions.Read());
    if (status == kExitOk) {
        PrintCalibration(context, settings.actions.State().calibrationText);
    }
    return status;
}

int RunCalibrationSet(CliContext& context, CliSettingsSession& settings, const std::string& text) {
    settings.actions.State().calibrationText = text;
    const int status = OutcomeStatus(settings.actions.SaveCalibration());
    if (status == kExitOk) {
        const std::string& written = settings.actions.State().calibrationText;
        context.report.Result() = {{"calibration", DecimalJson(written)},
                                   {"calibrationText", written}};
        context.report.Say(
            PickText("Записан калибровочный коэффициент ", "Calibration coefficient written: ") +
            written);
    }
    return status;
}

// A calibration text the parser refuses is a usage error, found before any
// device is opened.
int CheckCalibrationText(CliReport& report, const std::string& text) {
    std::uint32_t value = 0;
    const CalibrationCheck check = CheckCalibration(text, value);
    if (check == CalibrationCheck::Valid) {
        return kExitOk;
    }
    report.Fail(CalibrationErrorMessage(check, text));
    return kExitUsage;
}

}  // namespace

void AddClockCommands(CLI::App& app, CliAction& action) {
    auto* clock = app.add_subcommand("clock", PickText("часы прибора", "the device's clock"));
    clock->require_subcommand(1);
    AddSettingsVerb(*clock, "get",
                    PickText("показать дату и время прибора", "show the device's date and time"),
                    action, RunClockGet);
    AddSettingsVerb(*clock, "set",
                    PickText("поставить часы прибора по местному времени этого ПК "
                             "(спрашивает, или --yes)",
                             "set the device's clock to this PC's local time (asks, or --yes)"),
                    action, RunClockSet);
}

void AddCalibrationCommands(CLI::App& app, CliAction& action) {
    auto* calibration = app.add_subcommand(
        "calibration", PickText("калибровочный коэффициент", "the calibration coefficient"));
    calibration->require_subcommand(1);
    AddSettingsVerb(
        *calibration, "get",
        PickText("показать калибровочный коэффициент", "show the calibration coefficient"), action,
        RunCalibrationGet);
    auto text = std::make_shared<std::string>();
    auto* set = calibration->add_subcommand(
        "set", PickText("записать калибровочный коэффициент, например 1,27 (спрашивает, или --yes)",
                        "write the calibration coefficient, such as 1,27 (asks, or --yes)"));
    set->add_option("TEXT", *text, PickText("коэффициент", "the coefficient"))->required();
    set->callback([&action, text] {
        action = [text](CliContext& context) {
            if (const int status = CheckCalibrationText(context.report, *text); status != kExitOk) {
                return status;
            }
            return WithSettings(context, [&](CliSettingsSession& settings) {
                return RunCalibrationSet(context, settings, *text);
            });
        };
    });
}
