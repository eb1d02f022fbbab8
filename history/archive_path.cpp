#include "history/archive_path.h"

#include "base/options_path.h"

std::string ArchiveFilePath() {
    return LocalDataFilePath("DRAVO/history.sqlite3");
}
