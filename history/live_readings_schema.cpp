#include "history/live_readings_schema.h"

#include "history/sqlite_database.h"

bool CreateLiveReadingsTable(SqliteDatabase& db) {
    // Keyed by device and time, so one device's range is one contiguous run of
    // the table; a second reading in the same millisecond is a repeat.
    return db.Execute(
        "CREATE TABLE IF NOT EXISTS live_readings("
        " device INTEGER NOT NULL, time_ms INTEGER NOT NULL, rate_word INTEGER NOT NULL,"
        " units INTEGER NOT NULL, usv_h REAL, count_word INTEGER, level INTEGER NOT NULL,"
        " PRIMARY KEY(device, time_ms)) WITHOUT ROWID;");
}
