#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "base/language.h"
#include "cli/cli_commands.h"
#include "cli/cli_settings_session.h"
#include "cli/exit_status.h"
#include "settings/calibration.h"
#include "settings/settings_texts.h"
#include "settings/settings_transfer.h"

namespace {

// A field's value on standard output, alone or as {"name": value}.
void PrintValue(const CliContext& context, const char* name, const std::string& value) {
    if (context.options.json) {
        std::cout << nlohmann::json{{name, value}}.dump() << '\n';
    } else {
        std::cout << value << '\n';
    }
}

int RunClockGet(CliContext& context, CliSettingsSession& settings) {
    const SettingsEnvironment& environment = settings.actions.Environment();
    if (!environment.accessCheck(PickText("Чтение времени", "Read Time"))) {
        return kExitFailure;
    }
    SettingsTransfer transfer(environment.commands, context.host, context.log);
    const auto clock = transfer.ReadClock();
    if (!clock) {
        const std::string text = PickText("Ошибка чтения времени", "Error reading Time");
        context.dialogs.Error(text);
        return OutcomeStatus(environment.commands.Link().FailureOutcome(text));
    }
    PrintValue(context, "clock", ClockRecordText(*clock));
    return kExitOk;
}

// Runs a settings page action and, when it completed, prints the page field
// it filled.
int RunAndPrint(CliContext& context, CliSettingsSession& settings,
                OperationOutcome (SettingsActions::*act)(), const char* name,
                std::string SettingsPageState::*field) {
    const int status = OutcomeStatus((settings.actions.*act)());
    if (status == kExitOk) {
        PrintValue(context, name, settings.actions.State().*field);
    }
    return status;
}

int RunClockSet(CliContext& context, CliSettingsSession& settings) {
    return RunAndPrint(context, settings, &SettingsActions::WriteTime, "clock",
                       &SettingsPageState::clockText);
}

int RunCalibrationGet(CliContext& context, CliSettingsSession& settings) {
    return RunAndPrint(context, settings, &SettingsActions::Read, "calibration",
                       &SettingsPageState::calibrationText);
}

int RunCalibrationSet(CliSettingsSession& settings, const std::string& text) {
    settings.actions.State().calibrationText = text;
    return OutcomeStatus(settings.actions.SaveCalibration());
}

// A calibration text the parser refuses is a usage error, found before any
// device is opened.
int CheckCalibrationText(const std::string& text) {
    std::uint32_t value = 0;
    const CalibrationCheck check = CheckCalibration(text, value);
    if (check == CalibrationCheck::Valid) {
        return kExitOk;
    }
    std::cerr << CalibrationErrorMessage(check, text) << '\n';
    return kExitUsage;
}

}  // namespace

void AddClockCommands(CLI::App& app, CliAction& action) {
    auto* clock = app.add_subcommand("clock", "the device's clock");
    clock->require_subcommand(1);
    AddSettingsVerb(*clock, "get", "show the device's date and time", action, RunClockGet);
    AddSettingsVerb(*clock, "set",
                    "set the device's clock to this PC's local time (asks, or --yes)", action,
                    RunClockSet);
}

void AddCalibrationCommands(CLI::App& app, CliAction& action) {
    auto* calibration = app.add_subcommand("calibration", "the calibration coefficient");
    calibration->require_subcommand(1);
    AddSettingsVerb(*calibration, "get", "show the calibration coefficient", action,
                    RunCalibrationGet);
    auto text = std::make_shared<std::string>();
    auto* set = calibration->add_subcommand(
        "set", "write the calibration coefficient, such as 1,27 (asks, or --yes)");
    set->add_option("TEXT", *text, "the coefficient")->required();
    set->callback([&action, text] {
        action = [text](CliContext& context) {
            if (const int status = CheckCalibrationText(*text); status != kExitOk) {
                return status;
            }
            return WithSettings(context, [&](CliSettingsSession& settings) {
                return RunCalibrationSet(settings, *text);
            });
        };
    });
}
