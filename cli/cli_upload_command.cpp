#include <CLI/CLI.hpp>
#include <filesystem>
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
            context.report.Fail(PickText("Неверный серийный номер: ", "Bad serial number: ") +
                                arguments.serial +
                                PickText(" (вид: 123-45678)", " (the form is 123-45678)"));
            return kExitUsage;
        }
        return kExitOk;
    }
    CliSession session(context);
    DeviceInfo info;
    const int status = session.Open(context.options.port, info, DeviceGate::Identified);
    digits = ReportSerialDigits(info);
    return status;
}

int RunUploadLog(CliContext& context, const UploadArguments& arguments) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(arguments.file, error)) {
        context.report.Fail(PickText("Файл не найден: ", "File not found: ") + arguments.file);
        return kExitFailure;
    }
    std::string digits;
    if (const int status = ReportDigits(context, arguments, digits); status != kExitOk) {
        return status;
    }
    const std::string optionsFile = OptionsFilePath();
    IniGroupOptions options(optionsFile, kUploadGroup);
    CliProgress progress("%", context.options.quiet);
    UploadFeedback feedback;
    feedback.statusText = [&context](const std::string& text) { context.report.Say(text); };
    feedback.progress = [&progress](int percent) { progress.Update(percent, 100); };
    switch (
        UploadLogFile(ReadUploadConfig(options), arguments.file, digits, feedback, context.log)) {
        case UploadOutcome::Sent:
            context.report.Result() = {{"file", arguments.file}, {"serialDigits", digits}};
            context.report.Say(PickText("Лог добавлен к отчёту прибора ",
                                        "The log was appended to the report of device ") +
                               digits);
            return kExitOk;
        case UploadOutcome::NotConfigured:
            context.report.Fail(
                PickText("Сервер для отчётов не настроен (группа [UPLOAD] в ",
                         "No report server is configured (group [UPLOAD] in ") +
                optionsFile + ")\n" +
                PickText("Нужны ключи Host, Port, User и Password, например:\n",
                         "It needs the keys Host, Port, User and Password, such as:\n") +
                "[UPLOAD]\nHost=ftp.example.org\nPort=21\nUser=name\nPassword=secret");
            break;
        case UploadOutcome::Refused:
        case UploadOutcome::Failed:
            context.report.Fail(PickText("Отчёт не отправлен", "The report was not sent"));
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
        "upload-log", PickText("добавить файл лога к отчёту прибора на сервере обновлений",
                               "append a log file to the device's report on the update server"));
    upload
        ->add_option("FILE", arguments->file,
                     PickText("файл лога для отправки", "the log file to send"))
        ->required();
    upload->add_option("--serial", arguments->serial,
                       PickText("под этим серийным номером (123-45678), а не номером прибора",
                                "file it under this serial number (123-45678) instead of the "
                                "device's"));
    upload->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunUploadLog(context, *arguments); };
    });
}
