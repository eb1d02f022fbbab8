#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "base/file_writer.h"
#include "base/language.h"
#include "cli/cli_archive.h"
#include "cli/cli_commands.h"
#include "cli/cli_history_period.h"
#include "cli/cli_iso_time.h"
#include "cli/cli_live_json.h"
#include "cli/exit_status.h"
#include "history/live_archive.h"
#include "history/live_csv.h"

namespace {

struct LiveArguments {
    std::string serial;
    std::string from;
    std::string to;
    std::string before;
    std::string csvFile;
    bool live = false;
};

// The UTC milliseconds of a moment of the device calendar, which counts the
// PC's local time.
std::int64_t UtcMs(std::uint32_t secondsSince2000) {
    return static_cast<std::int64_t>(LocalMoment(DateTimeOfSeconds(secondsSince2000))) * 1000;
}

// The archive and its id of the device --serial names; none, told to the
// report, when either cannot be had.
struct ArchivedDevice {
    std::unique_ptr<HistoryArchive> archive;
    std::int64_t id = 0;
};
std::optional<ArchivedDevice> OpenDevice(CliContext& context, const std::string& serial) {
    ArchivedDevice device{OpenCliArchive(context)};
    if (!device.archive) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> id = ArchivedDeviceId(context, *device.archive, serial);
    if (!id) {
        return std::nullopt;
    }
    device.id = *id;
    return device;
}

int RunLive(CliContext& context, const LiveArguments& arguments) {
    const std::optional<HistoryPeriod> period =
        PeriodAndTarget(arguments.from, arguments.to, arguments.csvFile, context.report);
    if (!period) {
        return kExitUsage;
    }
    std::optional<ArchivedDevice> device = OpenDevice(context, arguments.serial);
    if (!device) {
        return kExitFailure;
    }
    // --to names the last second it lets through.
    const std::int64_t from = arguments.from.empty() ? INT64_MIN : UtcMs(period->from);
    const std::int64_t to = arguments.to.empty() ? INT64_MAX : UtcMs(period->to) + 1000;
    LiveArchive live(*device->archive);
    LiveCsv csv;
    nlohmann::ordered_json readings = nlohmann::ordered_json::array();
    std::size_t count = 0;
    const bool json = context.options.json;
    const bool read = live.ForEach(device->id, from, to, [&](const LiveReading& reading) {
        csv.Add(reading);
        ++count;
        if (json) {
            readings.push_back(LiveReadingJson(reading));
        }
    });
    if (!read) {
        context.report.Fail(live.Error());
        return kExitFailure;
    }
    if (arguments.csvFile.empty()) {
        if (!json) {
            std::cout << csv.Text() << std::flush;
        }
    } else if (ReplaceFileContent(arguments.csvFile, csv.Text()) != ReplaceFailure::None) {
        context.dialogs.Error(PickText("Ошибка записи файла\r\n", "File write Error\r\n") +
                              arguments.csvFile);
        return kExitFailure;
    } else {
        context.report.Say(PickText("Показаний в ", "Readings written to ") + arguments.csvFile +
                           ": " + std::to_string(count));
    }
    nlohmann::ordered_json& result = context.report.Result();
    result["readingCount"] = count;
    result["csvFile"] = arguments.csvFile.empty() ? nlohmann::ordered_json()
                                                  : nlohmann::ordered_json(arguments.csvFile);
    result["readings"] = std::move(readings);
    return kExitOk;
}

int RunPrune(CliContext& context, const LiveArguments& arguments) {
    const std::optional<HistoryPeriod> before = PeriodOf(arguments.before, {}, context.report);
    if (!before) {
        return kExitUsage;
    }
    std::optional<ArchivedDevice> device = OpenDevice(context, arguments.serial);
    if (!device) {
        return kExitFailure;
    }
    LiveArchive live(*device->archive);
    const std::int64_t beforeMs = UtcMs(before->from);
    const std::optional<std::int64_t> count = live.Count(device->id, INT64_MIN, beforeMs);
    if (!count) {
        context.report.Fail(live.Error());
        return kExitFailure;
    }
    context.report.Result()["readingsRemoved"] = 0;
    if (*count == 0) {
        context.report.Say(PickText("В архиве нет показаний до ",
                                    "The archive has no readings "
                                    "before ") +
                           arguments.before);
        return kExitOk;
    }
    if (!context.dialogs.AskYesNo(PickText("Удалить из архива показания прибора ",
                                           "Remove from the archive the readings of ") +
                                  arguments.serial + PickText(" до ", " before ") +
                                  arguments.before + " (" + std::to_string(*count) + ")?")) {
        return kExitFailure;
    }
    const std::optional<std::int64_t> removed = live.Prune(device->id, beforeMs);
    if (!removed) {
        context.report.Fail(live.Error());
        return kExitFailure;
    }
    context.report.Result()["readingsRemoved"] = *removed;
    context.report.Say(PickText("Удалено показаний: ", "Readings removed: ") +
                       std::to_string(*removed));
    return kExitOk;
}

}  // namespace

void AddLiveArchiveCommands(CLI::App& app, CliAction& action) {
    CLI::App* archive = app.get_subcommand("archive");
    const std::string serialHelp = PickText("прибор: 123-45678 или его уникальный номер",
                                            "the device: 123-45678, or its unique id");
    auto arguments = std::make_shared<LiveArguments>();
    auto* live = archive->add_subcommand(
        "live", PickText("показания страницы измерений, сохранённые в архиве",
                         "the measurement page's readings kept in the archive"));
    live->add_option("--serial", arguments->serial, serialHelp)->required();
    AddPeriodOptions(*live, arguments->from, arguments->to, arguments->csvFile);
    live->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunLive(context, *arguments); };
    });

    auto* prune = archive->add_subcommand(
        "prune", PickText("удалить старые показания из архива (спросив)",
                          "remove old readings from the archive (after asking)"));
    prune
        ->add_flag("--live", arguments->live,
                   PickText("показания страницы измерений", "the measurement page's readings"))
        ->required();
    prune->add_option("--serial", arguments->serial, serialHelp)->required();
    prune
        ->add_option("--before", arguments->before,
                     PickText("удалить показания до ДАТА[TЧЧ:ММ[:СС]]",
                              "remove the readings before DATE[THH:MM[:SS]]"))
        ->required();
    prune->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunPrune(context, *arguments); };
    });
}
