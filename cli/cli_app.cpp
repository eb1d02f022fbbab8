#include "cli/cli_app.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "base/file_writer.h"
#include "base/language.h"
#include "cli/cli_arguments.h"
#include "cli/cli_commands.h"
#include "cli/exit_status.h"

namespace {

constexpr const char* kVersion = "dravo-cli 1.1";

void AddGlobalOptions(CLI::App& app, CliOptions& options) {
    app.add_option("--port", options.port,
                   PickText("COM12, 12 или путь устройства; по умолчанию тот порт, где "
                            "отвечает прибор (список: dravo-cli ports)",
                            "COM12, 12 or a device path; default: the one port whose device "
                            "answers (list: dravo-cli ports)"));
    app.add_option(
           "--lang", options.lang,
           PickText("ru или en; по умолчанию по локали", "ru or en; default: from the locale"))
        ->check(OneOf({"ru", "en"}));
    app.add_flag("--json", options.json,
                 PickText("один объект JSON на стандартном выводе, и при ошибке",
                          "one JSON object on standard output, also on failure"));
    app.add_option(
        "--log", options.logFile,
        PickText("в конце записать строки лога в ФАЙЛ", "write the log lines to FILE at the end"));
    app.add_flag(
        "-q,--quiet", options.quiet,
        PickText("без сообщений в стандартный поток ошибок", "no messages on standard error"));
    app.add_flag("-v,--verbose", options.verbose,
                 PickText("строки лога в стандартный поток ошибок по мере появления",
                          "the log lines on standard error as they come"));
    app.add_flag("-y,--yes", options.yes,
                 PickText("отвечать «Да» на каждый вопрос", "answer Yes to every question"));
    app.add_option("--archive", options.archiveFile,
                   PickText("архив истории; по умолчанию "
                            "~/.local/share/DRAVO/history.sqlite3",
                            "the history archive to use; default: "
                            "~/.local/share/DRAVO/history.sqlite3"));
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

int SaveLog(CliContext& context, int status) {
    if (!context.options.logFile.empty() &&
        !WriteFileReplacing(context.options.logFile, context.log.Text())) {
        context.report.Fail(PickText("Не удалось записать лог в ", "Cannot write the log to ") +
                            context.options.logFile);
        return status == kExitOk ? kExitFailure : status;
    }
    return status;
}

// A command line the parser refused: why, and where to read more.
int Refused(const CLI::App& app, const CLI::ParseError& error, int argc, char** argv) {
    CliReport report(FlagArgument(argc, argv, {"--json"}),
                     FlagArgument(argc, argv, {"-q", "--quiet"}));
    report.Fail(ParseErrorText(app, error));
    report.Say(PickText("Подробнее: dravo-cli --help", "Run with --help for more information."));
    return report.Finish(kExitUsage);
}

}  // namespace

int OutcomeStatus(const OperationOutcome& outcome) {
    if (CliHost::Interrupted() || outcome.kind == OutcomeKind::Stopped) {
        return kExitInterrupted;
    }
    return outcome.Completed() ? kExitOk : kExitFailure;
}

int RunCli(int argc, char** argv) {
    SetUiLanguage(CliLanguage(LanguageArgument(argc, argv)));
    CLI::App app{PickText("dravo-cli: командная строка Dravo Explorer для дозиметров K310 и K520",
                          "dravo-cli: the command line of Dravo Explorer for the K310 and K520 "
                          "dosimeters"),
                 "dravo-cli"};
    PrepareHelp(app);
    app.set_version_flag("--version", kVersion,
                         PickText("показать версию программы", "show the program's version"));
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
    TranslateHelp(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& success) {
        return app.exit(success) == 0 ? kExitOk : kExitUsage;
    } catch (const CLI::ParseError& error) {
        return Refused(app, error, argc, argv);
    }
    CliContext context(options);
    ShowLogAsItComes(context);

    const int status = SaveLog(context, action ? action(context) : kExitUsage);
    return context.report.Finish(status);
}
