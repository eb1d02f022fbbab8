#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "base/file_writer.h"
#include "base/language.h"
#include "cli/cli_archive.h"
#include "cli/cli_commands.h"
#include "cli/cli_live_json.h"
#include "cli/exit_status.h"
#include "history/live_archive.h"
#include "history/live_csv.h"
#include "history/live_time_text.h"

namespace {

constexpr std::int64_t kDayMs = 24 * 3600 * 1000;

struct LiveArguments {
    std::string serial;
    std::string from;
    std::string to;
    std::string before;
    std::string csvFile;
    bool live = false;
};

// A date argument as UTC milliseconds; `empty` for none given. A --to date
// without a time takes in its whole day, with one its whole second.
std::optional<std::int64_t> DateMs(const std::string& option, const std::string& text,
                                   std::int64_t empty, bool through = false) {
    if (text.empty()) {
        return empty;
    }
    const std::optional<std::int64_t> ms = LocalDateArgumentMs(text);
    if (!ms) {
        std::cerr << PickText("Неверная дата ", "Bad date ") << option << ' ' << text
                  << PickText(": нужно ГГГГ-ММ-ДД[TЧЧ:ММ[:СС]]", ": use YYYY-MM-DD[THH:MM[:SS]]")
                  << '\n';
        return std::nullopt;
    }
    if (!through) {
        return ms;
    }
    return *ms + (text.find('T') == std::string::npos ? kDayMs : 1000);
}

// The archive's id of the one device `name` names, serial number or unique id.
std::optional<std::int64_t> DeviceNamed(HistoryArchive& archive, const std::string& name) {
    std::vector<std::int64_t> found;
    for (const ArchivedDevice& device : archive.Devices()) {
        if (device.key.serial == name || device.key.uid == name) {
            found.push_back(device.id);
        }
    }
    if (found.size() == 1) {
        return found.front();
    }
    std::cerr << (found.empty() ? PickText("В архиве нет прибора ", "The archive has no device ")
                                : PickText("В архиве несколько приборов ",
                                           "The archive has several devices "))
              << name << '\n';
    return std::nullopt;
}

int RunLive(CliContext& context, const LiveArguments& arguments) {
    const auto from = DateMs("--from", arguments.from, INT64_MIN);
    const auto to = DateMs("--to", arguments.to, INT64_MAX, true);
    if (!from || !to) {
        return kExitUsage;
    }
    const std::unique_ptr<HistoryArchive> archive = OpenCliArchive(context);
    const std::optional<std::int64_t> device =
        archive ? DeviceNamed(*archive, arguments.serial) : std::nullopt;
    if (!device) {
        return kExitFailure;
    }
    LiveArchive live(*archive);
    LiveCsv csv;
    const bool json = context.options.json;
    const bool read = live.ForEach(*device, *from, *to, [&](const LiveReading& reading) {
        if (json) {
            std::cout << LiveReadingJsonLine(reading) << '\n';
        } else {
            csv.Add(reading);
        }
    });
    if (!read) {
        std::cerr << live.Error() << '\n';
        return kExitFailure;
    }
    if (json) {
        std::cout << std::flush;
    } else if (arguments.csvFile.empty()) {
        std::cout << csv.Text() << std::flush;
    } else if (ReplaceFileContent(arguments.csvFile, csv.Text()) != ReplaceFailure::None) {
        context.dialogs.Error(PickText("Ошибка записи файла\r\n", "File write Error\r\n") +
                              arguments.csvFile);
        return kExitFailure;
    }
    return kExitOk;
}

int RunPrune(CliContext& context, const LiveArguments& arguments) {
    const auto before = DateMs("--before", arguments.before, INT64_MIN);
    if (!before) {
        return kExitUsage;
    }
    const std::unique_ptr<HistoryArchive> archive = OpenCliArchive(context);
    const std::optional<std::int64_t> device =
        archive ? DeviceNamed(*archive, arguments.serial) : std::nullopt;
    if (!device) {
        return kExitFailure;
    }
    LiveArchive live(*archive);
    const std::optional<std::int64_t> count = live.Count(*device, INT64_MIN, *before);
    if (!count) {
        std::cerr << live.Error() << '\n';
        return kExitFailure;
    }
    const std::string what = std::to_string(*count);
    if (*count == 0 ||
        !context.dialogs.AskYesNo(PickText("Удалить из архива показания прибора ",
                                           "Remove from the archive the readings of ") +
                                  arguments.serial + PickText(" до ", " before ") +
                                  arguments.before + " (" + what + ")?")) {
        return kExitOk;
    }
    if (!live.Prune(*device, *before)) {
        std::cerr << live.Error() << '\n';
        return kExitFailure;
    }
    if (!context.options.quiet) {
        std::cerr << PickText("Удалено показаний: ", "Readings removed: ") << what << '\n';
    }
    return kExitOk;
}

}  // namespace

void AddLiveArchiveCommands(CLI::App& app, CliAction& action) {
    CLI::App* archive = app.get_subcommand("archive");
    auto arguments = std::make_shared<LiveArguments>();
    auto* live = archive->add_subcommand("live", "the measurement readings kept of a device");
    live->add_option("--serial", arguments->serial, "the device: 123-45678, or its unique id")
        ->required();
    live->add_option("--from", arguments->from, "only readings from DATE[THH:MM[:SS]]");
    live->add_option("--to", arguments->to, "only readings up to DATE[THH:MM[:SS]]");
    live->add_option("--csv", arguments->csvFile, "write the CSV to FILE");
    live->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunLive(context, *arguments); };
    });

    auto* prune = archive->add_subcommand("prune", "remove old readings from the archive");
    prune->add_flag("--live", arguments->live, "the measurement readings")->required();
    prune->add_option("--serial", arguments->serial, "the device: 123-45678, or its unique id")
        ->required();
    prune->add_option("--before", arguments->before, "remove the readings before DATE")->required();
    prune->callback([&action, arguments] {
        action = [arguments](CliContext& context) { return RunPrune(context, *arguments); };
    });
}
