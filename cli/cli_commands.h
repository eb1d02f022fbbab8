#pragma once

#include <functional>

#include "base/app_log.h"
#include "base/operation_outcome.h"
#include "base/ui_thread.h"
#include "base/worker_dialogs.h"
#include "cli/cli_dialogs.h"
#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/cli_report.h"

namespace CLI {
class App;
}

// What a command runs with: the parsed options, the log, the host of its
// waits, what it reports (`report`) and the message boxes on standard error
// (`console`), which the operations see through `dialogs`: nothing shown once
// a stop was requested.
struct CliContext {
    explicit CliContext(const CliOptions& parsed)
        : options(parsed),
          report(parsed.json, parsed.quiet),
          console(parsed.yes, report),
          dialogs(console, ui, host.Stop()) {}

    CliOptions options;
    AppLog log;
    CliHost host;
    CliReport report;
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
void AddArchiveCommands(CLI::App& app, CliAction& action);
// Adds to the archive command: after AddArchiveCommands.
void AddLiveArchiveCommands(CLI::App& app, CliAction& action);

// The exit status of an operation that ended so: 130 after a stop signal, 0
// when it completed, else 1 (a declined question included).
int OutcomeStatus(const OperationOutcome& outcome);
