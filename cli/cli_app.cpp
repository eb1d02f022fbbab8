#include "cli/cli_app.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "base/file_writer.h"
#include "base/language.h"
#include "cli/cli_commands.h"
#include "cli/exit_status.h"

namespace {

constexpr const char* kVersion = "dravo-cli 1.1";

void AddGlobalOptions(CLI::App& app, CliOptions& options) {
    app.add_option("--port", options.port,
                   "COM12, 12 or a device path; default: the one port whose device answers");
    app.add_option("--lang", options.lang, "ru or en; default: from the locale")
        ->check(CLI::IsMember({"ru", "en"}));
    app.add_flag("--json", options.json, "machine-readable output on standard output");
    app.add_option("--log", options.logFile, "write the log lines to FILE at the end");
    app.add_flag("-q,--quiet", options.quiet, "no messages on standard error");
    app.add_flag("-v,--verbose", options.verbose, "the log lines on standard error as they come");
    app.add_flag("-y,--yes", options.yes, "answer Yes to every question");
    app.add_option("--archive", options.archiveFile,
                   "the history archive to use; default: ~/.local/share/DRAVO/history.sqlite3");
}

void ShowLogAsItComes(CliContext& context) {
    if (!context.options.verbose || context.options.quiet) {
        return;
    }
    AppLog::Observer observer;
    observer.appended = [](const std::string& line) { std::cerr << line << '\n'; };
    observer.lastReplaced = observer.appended;
    context.log.SetObserver(std::move(observer));
}

int SaveLog(const CliContext& context, int status) {
    if (!context.options.logFile.empty() &&
        !WriteFileReplacing(context.options.logFile, context.log.Text())) {
        std::cerr << PickText("Не удалось записать лог в ", "Cannot write the log to ")
                  << context.options.logFile << '\n';
        return status == kExitOk ? kExitFailure : status;
    }
    return status;
}

}  // namespace

int OutcomeStatus(const OperationOutcome& outcome) {
    if (CliHost::Interrupted() || outcome.kind == OutcomeKind::Stopped) {
        return kExitInterrupted;
    }
    return outcome.Completed() ? kExitOk : kExitFailure;
}

int RunCli(int argc, char** argv) {
    CLI::App app{"dravo-cli: the command line of Dravo Explorer for the K310 and K520 dosimeters",
                 "dravo-cli"};
    app.set_version_flag("--version", kVersion);
    app.require_subcommand(1);
    CliOptions options;
    AddGlobalOptions(app, options);

    // Global options may also follow a command: every command created from
    // here on passes what it does not know up to the root.
    app.fallthrough();
    CliAction action;
    for (const auto add :
         {AddDeviceCommands, AddHistoryCommands, AddSettingsCommands, AddClockCommands,
          AddCalibrationCommands, AddUploadCommand, AddDoctorCommand, AddFirmwareCommands,
          AddArchiveCommands, AddLiveArchiveCommands}) {
        add(app, action);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? kExitOk : kExitUsage;
    }
    SetUiLanguage(CliLanguage(options.lang));
    CliContext context(options);
    ShowLogAsItComes(context);

    return SaveLog(context, action ? action(context) : kExitUsage);
}
