#pragma once

#include <string>

// The user's history archive: DRAVO/history.sqlite3 under XDG_DATA_HOME, or
// under ~/.local/share when that is not set.
std::string ArchiveFilePath();
