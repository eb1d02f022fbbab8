#include "history/live_archive.h"

#include <sqlite3.h>

#include "base/language.h"

bool LiveArchive::Store(const ArchiveDeviceKey& key, const std::vector<LiveReading>& readings) {
    SqliteDatabase& db = archive_.Database();
    if (!db.IsOpen()) {
        return false;
    }
    if (!db.Execute("BEGIN IMMEDIATE")) {
        return Fail();
    }
    const std::optional<std::int64_t> device = archive_.DeviceId(key, true);
    bool stored = device.has_value();
    SqliteStatement insert(db.Handle(),
                           "INSERT OR IGNORE INTO live_readings(device, time_ms, rate_word, units,"
                           " usv_h, count_word, level) VALUES(?,?,?,?,?,?,?)");
    for (auto reading = readings.begin(); stored && reading != readings.end(); ++reading) {
        insert.Reset();
        std::optional<std::int64_t> count;
        if (reading->countWord) {
            count = *reading->countWord;
        }
        stored = insert.Bind(1, *device)
                     .Bind(2, reading->timeMs)
                     .Bind(3, std::int64_t{reading->rateWord})
                     .Bind(4, std::int64_t{reading->units})
                     .Bind(5, reading->usvPerHour)
                     .Bind(6, count)
                     .Bind(7, std::int64_t{reading->level})
                     .Run();
    }
    if (!stored || !db.Execute("COMMIT")) {
        Fail();
        db.Execute("ROLLBACK");
        return false;
    }
    busy_ = false;
    return true;
}

bool LiveArchive::ForEach(std::int64_t device, std::int64_t fromMs, std::int64_t toMs,
                          const std::function<void(const LiveReading&)>& visit) {
    SqliteStatement select(archive_.Database().Handle(),
                           "SELECT time_ms, rate_word, units, usv_h, count_word, level"
                           " FROM live_readings WHERE device = ? AND time_ms >= ? AND time_ms < ?"
                           " ORDER BY time_ms");
    select.Bind(1, device).Bind(2, fromMs).Bind(3, toMs);
    LiveReading reading;
    while (select.Step()) {
        reading.timeMs = select.Int(0);
        reading.rateWord = static_cast<std::uint32_t>(select.Int(1));
        reading.units = static_cast<int>(select.Int(2));
        reading.usvPerHour = select.OptionalReal(3);
        reading.countWord.reset();
        if (const std::optional<std::int64_t> count = select.OptionalInt(4)) {
            reading.countWord = static_cast<std::uint32_t>(*count);
        }
        reading.level = static_cast<int>(select.Int(5));
        visit(reading);
    }
    return select.Done() || Fail();
}

std::vector<LiveReading> LiveArchive::Readings(std::int64_t device, std::int64_t fromMs,
                                               std::int64_t toMs) {
    std::vector<LiveReading> readings;
    ForEach(device, fromMs, toMs,
            [&readings](const LiveReading& reading) { readings.push_back(reading); });
    return readings;
}

std::optional<std::int64_t> LiveArchive::Count(std::int64_t device, std::int64_t fromMs,
                                               std::int64_t toMs) {
    SqliteStatement count(archive_.Database().Handle(),
                          "SELECT count(*) FROM live_readings"
                          " WHERE device = ? AND time_ms >= ? AND time_ms < ?");
    if (!count.Bind(1, device).Bind(2, fromMs).Bind(3, toMs).Step()) {
        Fail();
        return std::nullopt;
    }
    return count.Int(0);
}

std::optional<std::int64_t> LiveArchive::Prune(std::int64_t device, std::int64_t beforeMs) {
    SqliteStatement remove(archive_.Database().Handle(),
                           "DELETE FROM live_readings WHERE device = ? AND time_ms < ?");
    if (!remove.Bind(1, device).Bind(2, beforeMs).Run()) {
        Fail();
        return std::nullopt;
    }
    return sqlite3_changes(archive_.Database().Handle());
}

bool LiveArchive::Fail() {
    const SqliteDatabase& db = archive_.Database();
    const std::string& path = archive_.Path();
    busy_ = false;
    switch (db.ErrorCode()) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            busy_ = true;
            error_ = PickText("Архив истории " + path + " занят другой программой",
                              "The history archive " + path + " is busy in another program");
            break;
        case SQLITE_FULL:
            error_ = PickText("Нет места на диске для архива истории " + path,
                              "The disk of the history archive " + path + " is full");
            break;
        default:
            error_ = PickText("Ошибка архива истории " + path + ": " + db.Error(),
                              "History archive " + path + " failed: " + db.Error());
    }
    return false;
}
