#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "base/language.h"
#include "base/options_path.h"
#include "cli/cli_commands.h"
#include "cli/cli_progress.h"
#include "cli/cli_session.h"
#include "cli/exit_status.h"
#include "upload/ini_options.h"
#include "upload/log_report.h"
#include "upload/remote_path.h"

namespace {

struct UploadArguments {
    std::string file;
    std::string serial;
};

// The serial digits the report is filed under: from --serial, or of the
// connected device. An exit status other than kExitOk ends the command.
int ReportDigits(CliContext& context, const UploadArguments& arguments, std::string& digits) {
    if (!arguments.serial.empty()) {
        digits = SerialDigitsFromText(arguments.serial);
        if (digits.empty()) {
            std::cerr << PickText("Неверный серийный номер: ", "Bad serial number: ")
                      << arguments.serial << '\n';
            return kExitUsage;
        }
        return kExitOk;
    }
    CliSession session(context.log, context.host, context.dialogs);
    DeviceInfo info;
    const int status = session.Open(context.options.port, info, DeviceGate::Identified);
    digits = ReportSerialDigits(info);
    return status;
}

int RunUploadLog(CliContext& context, const UploadArguments& arguments) {
    std::string digits;
    if (const int status = ReportDigits(context, arguments, digits); status != kExitOk) {
        return status;
    }
    const std::string optionsFile = OptionsFilePath();
    IniGroupOptions options(optionsFile, kUploadGroup);
    CliProgress progress("%", context.options.quiet);
    UploadFeedback feedback;
    feedback.statusText = [&context](const std::string& text) {
        if (!context.options.quiet) {
            std::cerr << text << '\n';
        }
    };
    feedback.progress = [&progress](int percent) { progress.Update(percent, 100); };
    switch (
        UploadLogFile(ReadUploadConfig(options), arguments.file, digits, feedback, context.log)) {
        case UploadOutcome::Sent:
            return kExitOk;
        case UploadOutcome::NotConfigured:
            std::cerr << PickText("Сервер для отчётов не настроен (группа [UPLOAD] в ",
                                  "No report server is configured (group [UPLOAD] in ")
                      << optionsFile << ")\n";
            break;
        case UploadOutcome::Refused:
        case UploadOutcome::Failed:
            std::cerr << PickText("Отчёт не отправлен", "The report was not sent") << '\n';
            // With --verbose the log lines have been shown already.
            if (!context.options.verbose && !context.options.quiet) {
                for (const std::string& line : context.log.Lines()) {
                    std::cerr << line << '\n';
                }
            }
            break;
    }
    return CliHost::Interrupted() ? kExitInterrupted : kExitFailure;
}

}  // namespace

void AddUploadCommand(CLI::App& app, CliAction& action) {
    auto arguments = std::make_shared<UploadArguments>();
    auto* upload = app.add_subcommand(
        "upload-log", "append a log file to the device's report on the update server");
    upload->add_option("FILE", arguments->file, "the log file to send")->required();
    upload->add_option("--serial", arguments->serial,
                       "file it under this serial number (123-45678) instead of the device's");
    upload->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunUploadLog(context, *arguments); };
    });
}
