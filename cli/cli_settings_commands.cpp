#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "base/language.h"
#include "cli/cli_commands.h"
#include "cli/cli_settings_session.h"
#include "cli/exit_status.h"
#include "settings/settings_edits.h"
#include "settings/settings_file.h"

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

int RunGet(CliContext& context, CliSettingsSession& settings) {
    if (const int status = ReadAll(settings.actions); status != kExitOk) {
        return status;
    }
    const SettingsPageState& state = settings.actions.State();
    if (!context.options.json) {
        PrintTable(state.values);
        return kExitOk;
    }
    // A settings file's document holds defined settings only.
    if (state.values.AnyUndefined()) {
        context.dialogs.Error(UndefinedSettingsMessage());
        return kExitFailure;
    }
    std::cout << SettingsDocument(state.values, state.calibrationText,
                                  {SerialNumberText(settings.info.inf1), SettingsFileDate()});
    return kExitOk;
}

int RunSet(CliSettingsSession& settings, const std::vector<std::string>& assignments) {
    if (const int status = ReadAll(settings.actions); status != kExitOk) {
        return status;
    }
    const std::string fault = ApplyAssignments(settings.actions.State().values, assignments);
    if (!fault.empty()) {
        std::cerr << fault << '\n';
        return kExitUsage;
    }
    return OutcomeStatus(settings.actions.Save());
}

int RunDefault(CliContext&, CliSettingsSession& settings) {
    if (const int status = ReadAll(settings.actions); status != kExitOk) {
        return status;
    }
    settings.actions.Default();
    return OutcomeStatus(settings.actions.Save());
}

int RunBackup(CliSettingsSession& settings, const std::string& file) {
    if (const int status = ReadAll(settings.actions); status != kExitOk) {
        return status;
    }
    return settings.actions.SaveToFile(file) ? kExitOk : kExitFailure;
}

// Writes the file's settings (and with `calibration` its calibration), then
// reads the device back and names every setting that did not take.
int RunRestore(CliSettingsSession& settings, const std::string& file, bool calibration) {
    SettingsActions& actions = settings.actions;
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
    if (const int status = ReadAll(actions); status != kExitOk) {
        return status;
    }
    const std::vector<std::string> differing = DifferingKeys(wanted, actions.State().values);
    for (const std::string& key : differing) {
        std::cerr << PickText("Не совпадает после записи: ", "Differs after writing: ") << key
                  << '\n';
    }
    return differing.empty() ? kExitOk : kExitFailure;
}

}  // namespace

void AddSettingsCommands(CLI::App& app, CliAction& action) {
    auto given = std::make_shared<SettingsArguments>();
    auto* settings = app.add_subcommand("settings", "the device's settings");
    settings->require_subcommand(1);
    AddSettingsVerb(*settings, "get",
                    "every setting: key, shown text and code (--json: a settings file)", action,
                    RunGet);
    AddSettingsVerb(*settings, "set", "change settings: KEY=CODE ... (asks, or --yes)", action,
                    [given](CliContext&, CliSettingsSession& session) {
                        return RunSet(session, given->assignments);
                    })
        ->add_option("assignments", given->assignments, "KEY=CODE")
        ->required();
    AddSettingsVerb(*settings, "default", "write the default settings (asks, or --yes)", action,
                    RunDefault);
    AddSettingsVerb(*settings, "backup", "save every setting to a settings file", action,
                    [given](CliContext&, CliSettingsSession& session) {
                        return RunBackup(session, given->file);
                    })
        ->add_option("FILE", given->file, "the settings file")
        ->required();
    auto* restore =
        AddSettingsVerb(*settings, "restore", "write a settings file into the device, then compare",
                        action, [given](CliContext&, CliSettingsSession& session) {
                            return RunRestore(session, given->file, given->calibration);
                        });
    restore->add_option("FILE", given->file, "the settings file")->required();
    restore->add_flag("--calibration", given->calibration, "also write its calibration");
}
