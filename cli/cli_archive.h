#pragma once

#include <memory>

#include "cli/cli_commands.h"
#include "history/history_archive.h"

// The archive --archive names, or the user's own; none, with the reason told
// to the report, when it cannot be used.
std::unique_ptr<HistoryArchive> OpenCliArchive(CliContext& context);
