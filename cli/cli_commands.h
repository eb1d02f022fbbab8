#pragma once

#include <functional>

#include "base/app_log.h"
#include "base/ui_thread.h"
#include "base/worker_dialogs.h"
#include "cli/cli_dialogs.h"
#include "cli/cli_host.h"
#include "cli/cli_options.h"

namespace CLI {
class App;
}

// What a command runs with: the parsed options, the log, the host of its
// waits and the message boxes on standard error (`console`), which the
// operations see through `dialogs`: nothing shown once a stop was requested.
struct CliContext {
    explicit CliContext(const CliOptions& parsed)
        : options(parsed), console(parsed.yes, parsed.quiet), dialogs(console, ui, host.Stop()) {}

    CliOptions options;
    AppLog log;
    CliHost host;
    CliDialogs console;
    InlineUiThread ui;
    WorkerDialogs dialogs;
};

// The command the arguments chose, set while they are parsed; it returns the
// process exit status.
using CliAction = std::function<int(CliContext&)>;

// Each adds its subcommands to `app`; the one parsed sets `action`.
void AddDeviceCommands(CLI::App& app, CliAction& action);
void AddHistoryCommands(CLI::App& app, CliAction& action);
void AddSettingsCommands(CLI::App& app, CliAction& action);
void AddClockCommands(CLI::App& app, CliAction& action);
void AddCalibrationCommands(CLI::App& app, CliAction& action);
void AddUploadCommand(CLI::App& app, CliAction& action);
void AddDoctorCommand(CLI::App& app, CliAction& action);
void AddFirmwareCommands(CLI::App& app, CliAction& action);

// The exit status after an operation that reports through the dialogs: 130
// after a stop signal, 1 after an error box or when the question numbered
// `confirmation` (the one that lets it write) was declined, else 0. Later
// questions, such as the offer to restart, only follow up.
int DialogsStatus(const CliContext& context, std::size_t confirmation = 0);
