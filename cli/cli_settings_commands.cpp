#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "base/language.h"
#include "cli/cli_commands.h"
#include "cli/cli_json_values.h"
#include "cli/cli_settings_session.h"
#include "cli/exit_status.h"
#include "settings/settings_edits.h"

namespace {

struct SettingsArguments {
    std::vector<std::string> assignments;
    std::string file;
    bool calibration = false;
};

// Reads every setting as the page's Read button does; an exit status.
int ReadAll(SettingsActions& actions) {
    return OutcomeStatus(actions.Read());
}

void PrintTable(const SettingsValues& values) {
    for (std::size_t i = 0; i < values.codes.size(); ++i) {
        const auto& code = values.codes[i];
        std::cout << values.model->settings[i].key << '\t' << ShownText(values, i) << '\t'
                  << (code ? std::to_string(*code) : "-") << '\n';
    }
}

nlohmann::ordered_json CodeJson(const std::optional<int>& code) {
    return code ? nlohmann::ordered_json(*code) : nlohmann::ordered_json();
}

// The settings whose codes differ between `before` and `after`, each with both
// codes; said in one line after `done`.
void ReportChanges(CliContext& context, const CliSettingsSession& settings,
                   const SettingsValues& before, const SettingsValues& after,
                   const std::string& done) {
    nlohmann::ordered_json changed = nlohmann::ordered_json::array();
    std::string line;
    for (const std::string& key : DifferingKeys(before, after)) {
        const auto from = before.Code(key);
        const auto to = after.Code(key);
        changed.push_back({{"key", key}, {"from", CodeJson(from)}, {"to", CodeJson(to)}});
        line += (line.empty() ? ": " : ", ") + key + " " + (from ? std::to_string(*from) : "-") +
                " -> " + (to ? std::to_string(*to) : "-");
    }
    context.report.Result()["changed"] = changed;
    context.report.Result()["restarted"] = settings.restarted;
    context.report.Say(
        done + (changed.empty() ? PickText(": без изменений", ": nothing changed") : line) +
        (settings.restarted ? PickText("; прибор перезагружен", "; the device was restarted")
                            : ""));
}

int RunGet(CliContext& context, CliSettingsSession& settings) {
    if (const int status = ReadAll(settings.actions); status != kExitOk) {
        return status;
    }
    const SettingsPageState& state = settings.actions.State();
    if (!context.options.json) {
        PrintTable(state.values);
        return kExitOk;
    }
    nlohmann::ordered_json codes = nlohmann::ordered_json::object();
    nlohmann::ordered_json texts = nlohmann::ordered_json::object();
    for (std::size_t i = 0; i < state.values.codes.size(); ++i) {
        const char* key = state.values.model->settings[i].key;
        codes[key] = CodeJson(state.values.codes[i]);
        texts[key] = ShownText(state.values, i);
    }
    context.report.Result() = {{"model", state.values.model->tag},
                               {"serial", SerialNumberText(settings.info.inf1)},
                               {"settings", codes},
                               {"texts", texts},
                               {"calibration", DecimalJson(state.calibrationText)},
                               {"calibrationText", state.calibrationText}};
    return kExitOk;
}

int RunSet(CliContext& context, CliSettingsSession& settings,
           const std::vector<std::string>& assignments) {
    if (const int status = ReadAll(settings.actions); status != kExitOk) {
        return status;
    }
    SettingsValues& values = settings.actions.State().values;
    const SettingsValues before = values;
    const std::string fault = ApplyAssignments(values, assignments);
    if (!fault.empty()) {
        context.report.Fail(fault);
        return kExitUsage;
    }
    const int status = OutcomeStatus(settings.actions.Save());
    if (status == kExitOk) {
        ReportChanges(context, settings, before, values,
                      PickText("Настройки записаны", "Settings written"));
    }
    return status;
}

int RunDefault(CliContext& context, CliSettingsSession& settings) {
    if (const int status = ReadAll(settings.actions); status != kExitOk) {
        return status;
    }
    const SettingsValues before = settings.actions.State().values;
    settings.actions.Default();
    const int status = OutcomeStatus(settings.actions.Save());
    if (status == kExitOk) {
        ReportChanges(context, settings, before, settings.actions.State().values,
                      PickText("Записаны настройки по умолчанию", "Default settings written"));
    }
    return status;
}

int RunBackup(CliContext& context, CliSettingsSession& settings, const std::string& file) {
    if (const int status = ReadAll(settings.actions); status != kExitOk) {
        return status;
    }
    if (!settings.actions.SaveToFile(file)) {
        return kExitFailure;
    }
    context.report.Result()["file"] = file;
    context.report.Say(PickText("Настройки сохранены в ", "Settings saved to ") + file);
    return kExitOk;
}

// Writes the file's settings (and with `calibration` its calibration), then
// reads the device back and names every setting that did not take.
int RunRestore(CliContext& context, CliSettingsSession& settings, const std::string& file,
               bool calibration) {
    SettingsActions& actions = settings.actions;
    if (const int status = ReadAll(actions); status != kExitOk) {
        return status;
    }
    const SettingsValues before = actions.State().values;
    if (!actions.LoadFromFile(file)) {
        return kExitFailure;
    }
    const SettingsValues wanted = actions.State().values;
    if (const int status = OutcomeStatus(actions.Save()); status != kExitOk) {
        return status;
    }
    if (calibration) {
        if (const int status = OutcomeStatus(actions.SaveCalibration()); status != kExitOk) {
            return status;
        }
    }
    context.report.Result()["file"] = file;
    context.report.Result()["calibrationWritten"] = calibration;
    if (const int status = ReadAll(actions); status != kExitOk) {
        return status;
    }
    const std::vector<std::string> differing = DifferingKeys(wanted, actions.State().values);
    context.report.Result()["differing"] = differing;
    if (!differing.empty()) {
        std::string keys;
        for (const std::string& key : differing) {
            keys += (keys.empty() ? "" : ", ") + key;
        }
        context.report.Fail(PickText("Не совпадает после записи: ", "Differs after writing: ") +
                            keys);
        return kExitFailure;
    }
    ReportChanges(context, settings, before, wanted,
                  PickText("Настройки записаны из ", "Settings written from ") + file);
    return kExitOk;
}

}  // namespace

void AddSettingsCommands(CLI::App& app, CliAction& action) {
    auto given = std::make_shared<SettingsArguments>();
    auto* settings =
        app.add_subcommand("settings", PickText("настройки прибора", "the device's settings"));
    settings->require_subcommand(1);
    const std::string restarts = PickText("; затем прибор перезагружается (кроме --no-restart)",
                                          "; the device restarts afterwards (unless --no-restart)");
    AddSettingsVerb(*settings, "get",
                    PickText("каждая настройка: ключ, показываемый текст и код",
                             "every setting: key, shown text and code"),
                    action, RunGet);
    AddSettingsVerb(
        *settings, "set",
        PickText("изменить настройки: КЛЮЧ=КОД ... (спрашивает, или --yes)",
                 "change settings: KEY=CODE ... (asks, or --yes)") +
            restarts,
        action,
        [given](CliContext& context, CliSettingsSession& session) {
            return RunSet(context, session, given->assignments);
        },
        true)
        ->add_option("assignments", given->assignments, PickText("КЛЮЧ=КОД", "KEY=CODE"))
        ->required();
    AddSettingsVerb(*settings, "default",
                    PickText("записать настройки по умолчанию (спрашивает, или --yes)",
                             "write the default settings (asks, or --yes)") +
                        restarts,
                    action, RunDefault, true);
    AddSettingsVerb(*settings, "backup",
                    PickText("сохранить все настройки в файл настроек",
                             "save every setting to a settings file"),
                    action,
                    [given](CliContext& context, CliSettingsSession& session) {
                        return RunBackup(context, session, given->file);
                    })
        ->add_option("FILE", given->file, PickText("файл настроек", "the settings file"))
        ->required();
    auto* restore = AddSettingsVerb(
        *settings, "restore",
        PickText("записать файл настроек в прибор, затем сравнить",
                 "write a settings file into the device, then compare") +
            restarts,
        action,
        [given](CliContext& context, CliSettingsSession& session) {
            return RunRestore(context, session, given->file, given->calibration);
        },
        true);
    restore->add_option("FILE", given->file, PickText("файл настроек", "the settings file"))
        ->required();
    restore->add_flag("--calibration", given->calibration,
                      PickText("записать и калибровку из файла", "also write its calibration"));
}
