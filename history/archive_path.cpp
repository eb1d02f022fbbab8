#include "history/archive_path.h"

#include <cstdlib>

std::string ArchiveFilePath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && *data != '\0') {
        return std::string(data) + "/DRAVO/history.sqlite3";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/DRAVO/history.sqlite3";
}
