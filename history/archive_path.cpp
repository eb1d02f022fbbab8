#include "history/archive_path.h"

#include "base/options_path.h"

std::string ArchiveFilePath() {
    return XdgFilePath("XDG_DATA_HOME", ".local/share", "DRAVO/history.sqlite3");
}
