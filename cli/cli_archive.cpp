#include "cli/cli_archive.h"

#include "base/language.h"
#include "history/archive_path.h"

std::unique_ptr<HistoryArchive> OpenCliArchive(CliContext& context) {
    const std::string& chosen = context.options.archiveFile;
    auto archive = std::make_unique<HistoryArchive>(chosen.empty() ? ArchiveFilePath() : chosen);
    if (!archive->Open()) {
        context.report.Fail(archive->Error());
        return nullptr;
    }
    return archive;
}

std::optional<std::int64_t> ArchivedDeviceId(CliContext& context, HistoryArchive& archive,
                                             const std::string& name) {
    std::vector<std::int64_t> found;
    for (const ArchivedDevice& device : archive.Devices()) {
        if (device.key.serial == name || device.key.uid == name) {
            found.push_back(device.id);
        }
    }
    if (!archive.Error().empty()) {
        context.report.Fail(archive.Error());
        return std::nullopt;
    }
    if (found.size() != 1) {
        context.report.Fail(
            (found.empty()
                 ? PickText("В архиве нет прибора ", "The archive has no device ")
                 : PickText("В архиве несколько приборов ", "The archive has several devices ")) +
            name +
            (found.empty() ? PickText(" (приборы в архиве: dravo-cli archive list)",
                                      " (the archived devices: dravo-cli archive list)")
                           : PickText(": укажите уникальный номер (archive list)",
                                      ": give the unique id (archive list)")));
        return std::nullopt;
    }
    return found.front();
}
