#include <CLI/CLI.hpp>
#include <ctime>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "base/file_writer.h"
#include "base/language.h"
#include "cli/cli_archive.h"
#include "cli/cli_commands.h"
#include "cli/cli_history_chart.h"
#include "cli/cli_history_period.h"
#include "cli/exit_status.h"
#include "history/archive_history.h"
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

int ArchiveFailed(const CliContext& context, const HistoryArchive& archive) {
    if (!context.options.quiet) {
        std::cerr << archive.Error() << '\n';
    }
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
    nlohmann::json list = nlohmann::json::array();
    for (const ArchivedDevice& device : devices) {
        const std::string first =
            device.records > 0 ? PeriodTimeText(DateTimeOfSeconds(device.firstStart)) : "";
        const std::string last =
            device.records > 0 ? PeriodTimeText(DateTimeOfSeconds(device.lastStart)) : "";
        if (context.options.json) {
            list.push_back({{"serial", device.key.serial},
                            {"uid", device.key.uid},
                            {"model", device.key.model},
                            {"records", device.records},
                            {"first", first},
                            {"last", last},
                            {"lastReading", PcTimeText(device.lastReading)}});
        } else {
            std::cout << DeviceName(device.key) << '\t' << device.key.model << '\t'
                      << device.records << '\t' << first << '\t' << last << '\t'
                      << PcTimeText(device.lastReading) << '\n';
        }
    }
    if (context.options.json) {
        std::cout << list.dump(2) << '\n';
    }
    return kExitOk;
}

// The records of the one archived device `name` names (serial number or
// unique id); none, with a message, when the archive cannot be used or the
// name names no device or several.
std::optional<std::vector<ArchivedRecord>> RecordsOf(const CliContext& context,
                                                     const std::string& name) {
    const std::unique_ptr<HistoryArchive> opened = OpenCliArchive(context);
    if (!opened) {
        return std::nullopt;
    }
    HistoryArchive& archive = *opened;
    std::vector<ArchivedDevice> found;
    for (const ArchivedDevice& device : archive.Devices()) {
        if (device.key.serial == name || device.key.uid == name) {
            found.push_back(device);
        }
    }
    if (!archive.Error().empty()) {
        ArchiveFailed(context, archive);
        return std::nullopt;
    }
    if (found.size() != 1) {
        std::cerr << (found.empty()
                          ? PickText("В архиве нет прибора ", "The archive has no device ")
                          : PickText("В архиве несколько приборов ",
                                     "The archive has several devices "))
                  << name
                  << (found.empty() ? ""
                                    : PickText(": укажите уникальный номер (archive list)",
                                               ": give the unique id (archive list)"))
                  << '\n';
        return std::nullopt;
    }
    std::vector<ArchivedRecord> records = archive.Records(found.front().id);
    if (!archive.Error().empty()) {
        ArchiveFailed(context, archive);
        return std::nullopt;
    }
    return records;
}

int RunArchiveCsv(CliContext& context, const ArchiveArguments& arguments) {
    const std::optional<HistoryPeriod> period = PeriodOf(arguments.from, arguments.to);
    if (!period) {
        return kExitUsage;
    }
    const auto records = RecordsOf(context, arguments.serial);
    if (!records) {
        return kExitFailure;
    }
    const std::string csv = ArchiveCsv(*records, period->from, period->to);
    if (arguments.csvFile.empty()) {
        std::cout << csv << std::flush;
    } else if (ReplaceFileContent(arguments.csvFile, csv) != ReplaceFailure::None) {
        context.dialogs.Error(PickText("Ошибка записи файла\r\n", "File write Error\r\n") +
                              arguments.csvFile);
        return kExitFailure;
    }
    return kExitOk;
}

int RunArchiveChart(CliContext& context, const ArchiveArguments& arguments) {
    const std::optional<ChartRequest> request = ChartRequestOf(arguments.chart, arguments.showMax);
    if (!request) {
        return kExitUsage;
    }
    const auto records = RecordsOf(context, arguments.serial);
    if (!records) {
        return kExitFailure;
    }
    auto history = std::make_unique<DeviceHistory>();
    LoadArchiveHistory(*records, *history);
    std::cout << ChartText(*history, *request, context.options.json);
    return kExitOk;
}

}  // namespace

void AddArchiveCommands(CLI::App& app, CliAction& action) {
    auto* archive = app.add_subcommand("archive", "the history kept on this computer");
    archive->require_subcommand(1);
    archive
        ->add_subcommand("list",
                         "the archived devices: serial, model, records, first and "
                         "last record, last reading")
        ->callback([&action] { action = RunArchiveList; });

    auto arguments = std::make_shared<ArchiveArguments>();
    auto* csv = archive->add_subcommand("csv", "the CSV of a device's archived records");
    csv->add_option("--serial", arguments->serial, "the device: 123-45678, or its unique id")
        ->required();
    csv->add_option("--from", arguments->from, "only records from DATE[THH:MM[:SS]]");
    csv->add_option("--to", arguments->to, "only records up to DATE[THH:MM[:SS]]");
    csv->add_option("--csv", arguments->csvFile, "write the CSV to FILE");
    csv->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunArchiveCsv(context, *arguments); };
    });

    auto* chart = archive->add_subcommand("chart", "the bars of a chart view over the archive");
    chart
        ->add_option("view", arguments->chart,
                     "minute, hour, day, month or year, optionally @2026-12-08T14:05")
        ->required();
    chart->add_option("--serial", arguments->serial, "the device: 123-45678, or its unique id")
        ->required();
    chart->add_flag("--max", arguments->showMax, "the chart's first series shows the peaks");
    chart->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunArchiveChart(context, *arguments); };
    });
}
