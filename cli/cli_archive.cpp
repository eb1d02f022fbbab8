#include "cli/cli_archive.h"

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
