#include "cli/cli_archive.h"

#include <iostream>

#include "history/archive_path.h"

std::unique_ptr<HistoryArchive> OpenCliArchive(const CliContext& context) {
    const std::string& chosen = context.options.archiveFile;
    auto archive = std::make_unique<HistoryArchive>(chosen.empty() ? ArchiveFilePath() : chosen);
    if (!archive->Open()) {
        if (!context.options.quiet) {
            std::cerr << archive->Error() << '\n';
        }
        return nullptr;
    }
    return archive;
}
