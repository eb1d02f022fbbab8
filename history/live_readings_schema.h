#pragma once

class SqliteDatabase;

// The table of the measurement readings beside the history records, with its
// key for one device's time range; inside the caller's schema transaction.
bool CreateLiveReadingsTable(SqliteDatabase& db);
