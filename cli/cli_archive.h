#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli_commands.h"
#include "history/history_archive.h"

// The archive --archive names, or the user's own; none, with the reason told
// to the report, when it cannot be used.
std::unique_ptr<HistoryArchive> OpenCliArchive(CliContext& context);

// The archive's id of the one device `name` names (serial number or unique
// id); none, with the reason told to the report, when it names none or
// several or the archive fails.
std::optional<std::int64_t> ArchivedDeviceId(CliContext& context, HistoryArchive& archive,
                                             const std::string& name);
