#include <CLI/CLI.hpp>
#include <ctime>
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
#include "cli/exit_status.h"
#include "history/archive_to_history.h"
#include "protocol/calendar.h"

namespace {

struct ArchiveArguments {
    std::string serial;
    std::string from;
    std::string to;
    std::string csvFile;
    std::string chart;
    bool showMax = false;
};

// A device without a serial number goes by its unique id.
std::string DeviceName(const ArchiveDeviceKey& key) {
    return key.serial.empty() ? key.uid : key.serial;
}

// The PC's local time of a reading.
std::string PcTimeText(std::int64_t seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

int ArchiveFailed(CliContext& context, const HistoryArchive& archive) {
    context.report.Fail(archive.Error());
    return kExitFailure;
}

int RunArchiveList(CliContext& context) {
    const std::unique_ptr<HistoryArchive> archive = OpenCliArchive(context);
    if (!archive) {
        return kExitFailure;
    }
    const std::vector<ArchivedDevice> devices = archive->Devices();
    if (!archive->Error().empty()) {
        return ArchiveFailed(context, *archive);
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const ArchivedDevice& device : devices) {
        const bool any = device.records > 0;
        const DeviceDateTime first = DateTimeOfSeconds(device.firstStart);
        const DeviceDateTime last = DateTimeOfSeconds(device.lastStart);
        list.push_back(
            {{"serial", device.key.serial},
             {"uniqueId", device.key.uid},
             {"model", device.key.model},
             {"records", device.records},
             {"first", any ? nlohmann::ordered_json(IsoTime(first)) : nlohmann::ordered_json()},
             {"last", any ? nlohmann::ordered_json(IsoTime(last)) : nlohmann::ordered_json()},
             {"lastReading", IsoTime(static_cast<std::time_t>(device.lastReading))}});
        if (!context.options.json) {
            std::cout << DeviceName(device.key) << '\t' << device.key.model << '\t'
                      << device.records << '\t' << (any ? PeriodTimeText(first) : "") << '\t'
                      << (any ? PeriodTimeText(last) : "") << '\t' << PcTimeText(device.lastReading)
                      << '\n';
        }
    }
    context.report.Result()["devices"] = list;
    return kExitOk;
}

// The records of the one archived device `name` names (serial number or
// unique id); none, with a message, when the archive cannot be used or the
// name names no device or several.
std::optional<std::vector<ArchivedRecord>> RecordsOf(CliContext& context, const std::string& name) {
    const std::unique_ptr<HistoryArchive> opened = OpenCliArchive(context);
    if (!opened) {
        return std::nullopt;
    }
    HistoryArchive& archive = *opened;
    const std::optional<std::int64_t> device = ArchivedDeviceId(context, archive, name);
    if (!device) {
        return std::nullopt;
    }
    std::vector<ArchivedRecord> records = archive.Records(*device);
    if (!archive.Error().empty()) {
        ArchiveFailed(context, archive);
        return std::nullopt;
    }
    return records;
}

int RunArchiveCsv(CliContext& context, const ArchiveArguments& arguments) {
    const std::optional<HistoryPeriod> period =
        PeriodAndTarget(arguments.from, arguments.to, arguments.csvFile, context.report);
    if (!period) {
        return kExitUsage;
    }
    const auto records = RecordsOf(context, arguments.serial);
    if (!records) {
        return kExitFailure;
    }
    const std::string csv = ArchiveCsv(*records, period->from, period->to);
    if (arguments.csvFile.empty()) {
        if (!context.options.json) {
            std::cout << csv << std::flush;
        }
    } else if (ReplaceFileContent(arguments.csvFile, csv) != ReplaceFailure::None) {
        context.dialogs.Error(PickText("Ошибка записи файла\r\n", "File write Error\r\n") +
                              arguments.csvFile);
        return kExitFailure;
    }
    const nlohmann::ordered_json rows = CsvRecordsJson(csv);
    nlohmann::ordered_json& result = context.report.Result();
    result["recordCount"] = rows.size();
    result["csvFile"] = arguments.csvFile.empty() ? nlohmann::ordered_json()
                                                  : nlohmann::ordered_json(arguments.csvFile);
    result["records"] = rows;
    if (!arguments.csvFile.empty()) {
        context.report.Say(PickText("Записей в ", "Records written to ") + arguments.csvFile +
                           ": " + std::to_string(rows.size()));
    }
    return kExitOk;
}

int RunArchiveChart(CliContext& context, const ArchiveArguments& arguments) {
    const std::optional<ChartRequest> request =
        ChartRequestOf(arguments.chart, arguments.showMax, context.report);
    if (!request) {
        return kExitUsage;
    }
    const auto records = RecordsOf(context, arguments.serial);
    if (!records) {
        return kExitFailure;
    }
    auto history = std::make_unique<DeviceHistory>();
    LoadArchiveHistory(*records, *history);
    if (context.options.json) {
        context.report.Result() = ChartJson(*history, *request);
    } else {
        std::cout << ChartText(*history, *request, false);
    }
    return kExitOk;
}

}  // namespace

void AddArchiveCommands(CLI::App& app, CliAction& action) {
    auto* archive = app.add_subcommand("archive", PickText("история, хранимая на этом компьютере",
                                                           "the history kept on this computer"));
    archive->require_subcommand(1);
    archive
        ->add_subcommand("list",
                         PickText("приборы в архиве: серийный номер, модель, записи, первая "
                                  "и последняя запись, последнее чтение",
                                  "the archived devices: serial, model, records, first and "
                                  "last record, last reading"))
        ->callback([&action] { action = RunArchiveList; });

    const std::string serialHelp = PickText("прибор: 123-45678 или его уникальный номер",
                                            "the device: 123-45678, or its unique id");
    auto arguments = std::make_shared<ArchiveArguments>();
    auto* csv = archive->add_subcommand(
        "csv", PickText("CSV записей прибора из архива", "the CSV of a device's archived records"));
    csv->add_option("--serial", arguments->serial, serialHelp)->required();
    AddPeriodOptions(*csv, arguments->from, arguments->to, arguments->csvFile);
    csv->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunArchiveCsv(context, *arguments); };
    });

    auto* chart = archive->add_subcommand(
        "chart",
        PickText("столбцы графика по архиву", "the bars of a chart view over the archive"));
    chart
        ->add_option("view", arguments->chart,
                     PickText("minute, hour, day, month или year, можно с @2026-12-08T14:05",
                              "minute, hour, day, month or year, optionally @2026-12-08T14:05"))
        ->required();
    chart->add_option("--serial", arguments->serial, serialHelp)->required();
    chart->add_flag(
        "--max", arguments->showMax,
        PickText("первый ряд графика показывает пики", "the chart's first series shows the peaks"));
    chart->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunArchiveChart(context, *arguments); };
    });
}
