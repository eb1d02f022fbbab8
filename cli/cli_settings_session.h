#pragma once

#include <CLI/CLI.hpp>
#include <functional>

#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "protocol/device_info.h"
#include "protocol/operation_gate.h"
#include "settings/settings_actions.h"

// A connected, identified K310 or K520 and the settings page's actions over
// it, with the command line's dialogs: what every settings command works with.
struct CliSettingsSession {
    CliSession& session;
    const DeviceInfo& info;
    SettingsActions& actions;
    const bool& restarted;  // by the restart offered after a save
};

// Connects, identifies, checks that the model has settings and runs `command`;
// its exit status, or the status of the step that failed. A save offers the
// restart only with `restartAfterSave`.
int WithSettings(CliContext& context,
                 const std::function<int(CliSettingsSession& settings)>& command,
                 bool restartAfterSave = true);

using SettingsCommand = std::function<int(CliContext&, CliSettingsSession&)>;

// Adds the subcommand `name` to `parent`; parsed, it runs `command` through
// WithSettings. A verb that `restarts` the device after its save takes
// --no-restart.
CLI::App* AddSettingsVerb(CLI::App& parent, const char* name, const std::string& help,
                          CliAction& action, SettingsCommand command, bool restarts = false);
