#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "base/file_writer.h"
#include "base/language.h"
#include "cli/cli_archive.h"
#include "cli/cli_commands.h"
#include "cli/cli_csv_json.h"
#include "cli/cli_history_chart.h"
#include "cli/cli_history_period.h"
#include "cli/cli_iso_time.h"
#include "cli/cli_output_file.h"
#include "cli/cli_progress.h"
#include "cli/cli_session.h"
#include "cli/exit_status.h"
#include "history/archive_key.h"
#include "history/csv_export.h"
#include "history/history_commands_device.h"
#include "history/history_delete.h"
#include "history/read_history.h"

namespace {

struct HistoryReadArguments {
    std::string csvFile;
    std::string from;
    std::string to;
    std::string chart;
    bool showMax = false;
    bool full = false;
    bool noArchive = false;
};

// The reading's CSV, cut to the period, to the file or to standard output.
// With a chart to print, standard output is the chart's; under --json the
// records and the chart go into the result.
int WriteCsv(CliContext& context, const DeviceHistory& history, const HistoryPeriod& period,
             const std::string& file, bool chart) {
    std::unique_ptr<CsvText> cut;
    if (!period.whole) {
        cut = CsvTextBetween(history, period.from, period.to);
    }
    const CsvText& csv = cut ? *cut : history.csv;
    if (file.empty()) {
        if (!context.options.json && !chart) {
            std::cout << csv.Bytes() << std::flush;
        }
    } else if (ReplaceFileContent(file, csv.Bytes()) != ReplaceFailure::None) {
        context.dialogs.Error(PickText("Ошибка записи файла\r\n", "File write Error\r\n") + file);
        return kExitFailure;
    }
    const DeviceTimeRecord& read = history.readTime;
    nlohmann::ordered_json& result = context.report.Result();
    result["readTime"] = IsoTime(DeviceDateTime::Of(2000 + read.year, read.month, read.day,
                                                    read.hour, read.minute, read.second));
    result["recordCount"] = csv.Rows() - 1;
    result["csvFile"] = file.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(file);
    if (context.options.json) {
        result["records"] = CsvRecordsJson(csv.Bytes());
    }
    if (!file.empty()) {
        context.report.Say(PickText("Записей в ", "Records written to ") + file + ": " +
                           std::to_string(csv.Rows() - 1));
    }
    return kExitOk;
}

// A full reading builds its CSV page by page; one that continues the archive
// asks for pairs and takes the rest from the archive, exporting at the end.
std::string ProgressDetail(const ReadingProgress& reached) {
    if (reached.unit == ReadingProgress::Unit::Pages) {
        return std::to_string(reached.exported) + PickText(" записей", " records");
    }
    return PickText("запрошено записей: ", "records asked: ") + std::to_string(reached.asked) +
           PickText(", взято из архива: ", ", taken from the archive: ") +
           std::to_string(reached.fromArchive);
}

// How much of the reading came from the device and how much from the archive.
void SayWhatWasAsked(CliContext& context, const ReadHistory& reading, bool archived) {
    if (!archived) {
        return;
    }
    context.report.Result()["recordsAsked"] = reading.RecordsAsked();
    context.report.Result()["recordsFromArchive"] = reading.RecordsFromArchive();
    if (!reading.ArchiveError().empty()) {
        context.report.Say(reading.ArchiveError());
    }
    context.report.Say(PickText("Запрошено у прибора записей: ", "Records asked of the device: ") +
                       std::to_string(reading.RecordsAsked()) +
                       PickText(", взято из архива: ", ", taken from the archive: ") +
                       std::to_string(reading.RecordsFromArchive()));
}

// A reading that was cut off says what it kept for the next one.
void SayWhatWasKept(const CliContext& context, const ReadHistory& reading) {
    if (reading.PagesKept() == 0 || context.options.quiet) {
        return;
    }
    std::cerr << PickText("Сохранено в архиве полных страниц: ",
                          "Complete pages kept in the archive: ")
              << reading.PagesKept()
              << PickText("; следующее чтение запросит только остальные",
                          "; the next reading asks only for the rest")
              << '\n';
}

int RunHistoryRead(CliContext& context, const HistoryReadArguments& arguments) {
    const auto period = PeriodOf(arguments.from, arguments.to, context.report);
    if (!period) {
        return kExitUsage;
    }
    std::optional<ChartRequest> chart;
    if (!arguments.chart.empty()) {
        chart = ChartRequestOf(arguments.chart, arguments.showMax, context.report);
        if (!chart) {
            return kExitUsage;
        }
    }
    if (!arguments.csvFile.empty() && !OutputFolderExists(arguments.csvFile, context.report)) {
        return kExitUsage;
    }
    CliSession session(context);
    DeviceInfo info;
    if (const int status = session.Open(context.options.port, info, DeviceGate::Pages);
        status != kExitOk) {
        return status;
    }
    CommandsHistoryDevice device(session.Stack().Commands());
    auto history = std::make_unique<DeviceHistory>();
    CliProgress progress(PickText("страниц", "pages"), context.options.quiet);
    ReadHistory::Hooks hooks;
    hooks.progress = [&progress](const ReadingProgress& reached) {
        if (reached.unit == ReadingProgress::Unit::Pairs) {
            progress.SetUnit(PickText("пар записей", "pairs of records"));
        }
        progress.Update(reached.done, reached.total, ProgressDetail(reached));
    };
    ReadHistory reading(HistoryAccess{device, context.host, nullptr}, *history, context.dialogs,
                        &context.log, hooks);
    std::unique_ptr<HistoryArchive> archive;
    if (!arguments.noArchive) {
        archive = OpenCliArchive(context);
        reading.UseArchive(archive.get(), ArchiveKeyOf(info), arguments.full);
    }
    // Interrupted, the reading ends after its page and still closes the
    // device's history access.
    context.host.LeaveFirstSignalToCancel([&reading] { reading.Cancel(); });
    const HistoryOutcome outcome = reading.Run(SensorCount(info.board.boardCode));
    SayWhatWasKept(context, reading);
    switch (outcome) {
        case HistoryOutcome::Completed: {
            SayWhatWasAsked(context, reading, archive != nullptr);
            const int status =
                WriteCsv(context, *history, *period, arguments.csvFile, chart.has_value());
            if (status == kExitOk && chart) {
                if (context.options.json) {
                    context.report.Result().update(ChartJson(*history, *chart));
                } else {
                    std::cout << ChartText(*history, *chart, false);
                }
            }
            return status;
        }
        case HistoryOutcome::Cancelled:
        case HistoryOutcome::Stopped:
            return kExitInterrupted;
        case HistoryOutcome::ReadError:
        case HistoryOutcome::FormatError:
            break;
    }
    return kExitFailure;
}

int RunHistoryDelete(CliContext& context) {
    CliSession session(context);
    DeviceInfo info;
    if (const int status = session.Open(context.options.port, info, DeviceGate::Pages);
        status != kExitOk) {
        return status;
    }
    CommandsHistoryDevice device(session.Stack().Commands());
    const int status = OutcomeStatus(
        DeleteHistoryClick(HistoryAccess{device, context.host, nullptr}, context.dialogs));
    context.report.Result()["historyDeleted"] = status == kExitOk;
    if (status == kExitOk) {
        context.report.Say(
            PickText("История в приборе удалена", "The history in the device is deleted"));
    }
    return status;
}

}  // namespace

void AddHistoryCommands(CLI::App& app, CliAction& action) {
    auto* history = app.add_subcommand(
        "history", PickText("история измерений прибора", "the device's measurement history"));
    history->require_subcommand(1);
    auto arguments = std::make_shared<HistoryReadArguments>();
    auto* read = history->add_subcommand(
        "read", PickText("прочитать историю (новое после записанного в архив) и сохранить в "
                         "архиве; CSV на стандартный вывод или в файл",
                         "read the history (what is new since the archived reading) and archive "
                         "it; the CSV on standard output or into a file"));
    AddPeriodOptions(*read, arguments->from, arguments->to, arguments->csvFile);
    read->add_option("--chart", arguments->chart,
                     PickText("вывести столбцы графика: minute, hour, day, month или year, "
                              "можно с @2026-12-08T14:05",
                              "print the bars of a chart view: minute, hour, day, month or year, "
                              "optionally @2026-12-08T14:05"));
    read->add_flag(
        "--max", arguments->showMax,
        PickText("первый ряд графика показывает пики", "the chart's first series shows the peaks"));
    read->add_flag("--full", arguments->full,
                   PickText("запросить у прибора все записи, и те, что есть в архиве",
                            "ask the device for every record, also those the archive holds"));
    read->add_flag("--no-archive", arguments->noArchive,
                   PickText("не брать записи из архива и не сохранять чтение в нём",
                            "neither take records from the archive nor keep the reading in it"));
    read->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunHistoryRead(context, *arguments); };
    });
    history
        ->add_subcommand("delete", PickText("удалить историю в приборе (спрашивает, или --yes)",
                                            "delete the history in the device (asks, or --yes)"))
        ->callback([&action] { action = RunHistoryDelete; });
}
