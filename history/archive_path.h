#pragma once

#include <string>

// The user's history archive: DRAVO/history.sqlite3 in the user's folder for
// data kept on this machine (~/.local/share, %LOCALAPPDATA%; see LocalDataFilePath).
std::string ArchiveFilePath();
