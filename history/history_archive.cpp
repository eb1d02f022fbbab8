#include "history/history_archive.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>
#include <tuple>

#include "base/language.h"
#include "base/private_file.h"
#include "base/utf8_path.h"
#include "history/live_readings_schema.h"

namespace {

constexpr const char* kSchema =
    "CREATE TABLE devices("
    " id INTEGER PRIMARY KEY, serial TEXT NOT NULL, uid TEXT NOT NULL, model TEXT NOT NULL,"
    " last_reading INTEGER NOT NULL DEFAULT 0, UNIQUE(serial, uid, model));"
    "CREATE TABLE records("
    " device INTEGER NOT NULL, start INTEGER NOT NULL, length INTEGER NOT NULL,"
    " pulses INTEGER NOT NULL, state INTEGER NOT NULL, validity INTEGER NOT NULL,"
    " sensors INTEGER NOT NULL, k100 INTEGER NOT NULL, slot INTEGER,"
    " PRIMARY KEY(device, start, length, pulses, state, validity)) WITHOUT ROWID;"
    "CREATE TABLE rings("
    " device INTEGER PRIMARY KEY, layout INTEGER NOT NULL, count INTEGER NOT NULL,"
    " positions INTEGER NOT NULL, flag INTEGER NOT NULL, pages BLOB NOT NULL,"
    " pages_read INTEGER);";

// A record's slot: the reading never exports slot 0, so the archive's CSV
// must not either. Version 1 did not keep it; a record whose slot no ring
// shows any more keeps NULL.
constexpr const char* kUpgradeFrom1 = "ALTER TABLE records ADD COLUMN slot INTEGER;";

// The pages a reading that was cut off completed; NULL for a whole ring.
constexpr const char* kUpgradeFrom2 = "ALTER TABLE rings ADD COLUMN pages_read INTEGER;";

constexpr const char* kUpdateSlot =
    "UPDATE records SET slot = ? WHERE device = ? AND start = ? AND length = ? AND pulses = ?"
    " AND state = ? AND validity = ? AND slot IS NULL";

bool Erased(const std::uint8_t* bytes) {
    for (std::uint32_t i = 0; i < HistoryRecord::kSize; ++i) {
        if (bytes[i] != 0xFF) {
            return false;
        }
    }
    return true;
}

}  // namespace

HistoryHeader ArchivedRing::Header() const {
    return HistoryHeader::FromParameters(parameters[0], parameters[1], parameters[2],
                                         parameters[3]);
}

bool HistoryArchive::Open() {
    error_.clear();
    std::error_code error;
    const std::filesystem::path folder = PathFromUtf8(path_).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            return Fail("Не удалось создать папку архива истории " + folder.string() + ": " +
                            error.message(),
                        "Cannot create the history archive folder " + folder.string() + ": " +
                            error.message());
        }
    }
    // Readings are the user's own; SQLite gives its journal, WAL and
    // shared-memory files the archive's mode.
    KeepFilePrivate(path_);
    if (!db_.Open(path_, true, busyMilliseconds_)) {
        return FailDatabase();
    }
    if (!CheckSchema()) {
        db_.Close();
        return false;
    }
    // WAL lets the window read while dravo-cli writes; NORMAL keeps every
    // committed reading through a crash of the program.
    if (!db_.Execute(
            "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA mmap_size=268435456;")) {
        FailDatabase();
        db_.Close();
        return false;
    }
    return true;
}

bool HistoryArchive::CheckSchema() {
    SqliteStatement version(db_.Handle(), "PRAGMA user_version");
    if (!version.Step()) {
        return FailDatabase();
    }
    const std::int64_t found = version.Int(0);
    if (found > kSchemaVersion) {
        return Fail("Архив истории " + path_ +
                        " записан более новой версией программы; архив не используется",
                    "The history archive " + path_ +
                        " was written by a newer version of the program; the archive is not used");
    }
    if (found == kSchemaVersion) {
        return true;
    }
    if (found >= 1 && found <= 3) {
        return UpgradeSchema(found);
    }
    SqliteStatement tables(db_.Handle(), "SELECT count(*) FROM sqlite_master");
    if (!tables.Step()) {
        return FailDatabase();
    }
    if (tables.Int(0) != 0) {
        return Fail("Файл " + path_ + " не является архивом истории; архив не используется",
                    "The file " + path_ + " is not a history archive; the archive is not used");
    }
    return CreateSchema();
}

bool HistoryArchive::ChangeSchema(const std::function<bool()>& change) {
    if (!db_.Execute("BEGIN IMMEDIATE")) {
        return FailDatabase();
    }
    // Another program may have brought it to this version meanwhile.
    SqliteStatement version(db_.Handle(), "PRAGMA user_version");
    if (version.Step() && version.Int(0) == kSchemaVersion) {
        db_.Execute("COMMIT");
        return true;
    }
    const std::string setVersion = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
    const bool changed = change() && (db_.Execute(setVersion.c_str()) || FailDatabase()) &&
                         (db_.Execute("COMMIT") || FailDatabase());
    if (!changed) {
        db_.Execute("ROLLBACK");
    }
    return changed;
}

bool HistoryArchive::CreateSchema() {
    return ChangeSchema([this] {
        return (db_.Execute(kSchema) && CreateLiveReadingsTable(db_)) || FailDatabase();
    });
}

bool HistoryArchive::UpgradeSchema(std::int64_t found) {
    return ChangeSchema([this, found] {
        const bool slots =
            found >= 2 || ((db_.Execute(kUpgradeFrom1) || FailDatabase()) && FillSlotsFromRings());
        const bool pagesRead =
            slots && (found >= 3 || db_.Execute(kUpgradeFrom2) || FailDatabase());
        return pagesRead && (CreateLiveReadingsTable(db_) || FailDatabase());
    });
}

// The rings hold whole pages, so a record's offset in its ring tells its slot.
bool HistoryArchive::FillSlotsFromRings() {
    SqliteStatement rings(db_.Handle(), "SELECT device, pages FROM rings");
    SqliteStatement update(db_.Handle(), kUpdateSlot);
    while (rings.Step()) {
        const std::int64_t device = rings.Int(0);
        const std::vector<std::uint8_t> pages = rings.Blob(1);
        for (std::size_t offset = 0; offset + HistoryRecord::kSize <= pages.size();
             offset += HistoryRecord::kSize) {
            const std::uint8_t* bytes = pages.data() + offset;
            if (Erased(bytes)) {
                continue;
            }
            const HistoryRecord record = HistoryRecord::FromBytes(bytes);
            update.Reset();
            update
                .Bind(1, static_cast<std::int64_t>(offset / HistoryRecord::kSize %
                                                   history_geometry::kPageRecords))
                .Bind(2, device)
                .Bind(3, record.start)
                .Bind(4, record.length)
                .Bind(5, record.pulses)
                .Bind(6, record.state)
                .Bind(7, record.validity);
            if (!update.Run()) {
                // Named while the statement still holds its error.
                return FailDatabase();
            }
        }
    }
    return rings.Done() || FailDatabase();
}

std::optional<std::int64_t> HistoryArchive::DeviceId(const ArchiveDeviceKey& key, bool create) {
    if (create) {
        SqliteStatement insert(db_.Handle(),
                               "INSERT OR IGNORE INTO devices(serial, uid, model) VALUES(?,?,?)");
        if (!insert.Bind(1, key.serial).Bind(2, key.uid).Bind(3, key.model).Run()) {
            FailDatabase();
            return std::nullopt;
        }
    }
    SqliteStatement find(db_.Handle(),
                         "SELECT id FROM devices WHERE serial = ? AND uid = ? AND model = ?");
    find.Bind(1, key.serial).Bind(2, key.uid).Bind(3, key.model);
    if (find.Step()) {
        return find.Int(0);
    }
    if (!find.Done()) {
        FailDatabase();
    }
    return std::nullopt;
}

std::optional<ArchivedRing> HistoryArchive::LastRing(const ArchiveDeviceKey& key) {
    const std::optional<std::int64_t> device = DeviceId(key, false);
    if (!device) {
        return std::nullopt;
    }
    SqliteStatement select(
        db_.Handle(), "SELECT layout, count, positions, flag, pages FROM rings WHERE device = ?");
    select.Bind(1, *device);
    if (!select.Step()) {
        if (!select.Done()) {
            FailDatabase();
        }
        return std::nullopt;
    }
    ArchivedRing ring;
    for (int i = 0; i < 4; ++i) {
        ring.parameters[i] = static_cast<std::uint32_t>(select.Int(i));
    }
    ring.pages = select.Blob(4);
    return ring;
}

bool HistoryArchive::Save(const ArchiveDeviceKey& key, const DeviceHistory& history,
                          std::int64_t readingTime, std::optional<std::size_t> pagesRead) {
    if (!db_.IsOpen()) {
        return false;
    }
    if (!db_.Execute("BEGIN IMMEDIATE")) {
        return FailDatabase();
    }
    const std::optional<std::int64_t> device = DeviceId(key, true);
    const std::size_t pages = pagesRead.value_or(history.header.ReadingOrder().size());
    const bool saved = device && SaveRecords(*device, history, pages) &&
                       SaveRing(*device, history, readingTime, pagesRead) && db_.Execute("COMMIT");
    if (!saved) {
        FailDatabase();
        db_.Execute("ROLLBACK");
    }
    return saved;
}

bool HistoryArchive::SaveRecords(std::int64_t device, const DeviceHistory& history,
                                 std::size_t pages) {
    struct Placed {
        HistoryRecord record;
        std::uint32_t slot;
    };
    std::vector<Placed> records;
    const std::vector<int> order = history.header.ReadingOrder();
    for (std::size_t i = 0; i < pages && i < order.size(); ++i) {
        const auto first = static_cast<std::uint32_t>(order[i]) * history_geometry::kPageRecords;
        for (std::uint32_t slot = 0; slot < history_geometry::kPageRecords; ++slot) {
            const std::uint8_t* bytes = history.store.Bytes(first + slot);
            if (!Erased(bytes)) {
                records.push_back({HistoryRecord::FromBytes(bytes), slot});
            }
        }
    }
    // In key order the table's pages fill up instead of splitting half empty.
    std::sort(records.begin(), records.end(), [](const Placed& a, const Placed& b) {
        return std::tie(a.record.start, a.record.length, a.record.pulses, a.record.state,
                        a.record.validity) < std::tie(b.record.start, b.record.length,
                                                      b.record.pulses, b.record.state,
                                                      b.record.validity);
    });
    // A record kept before its slot was known learns it when a reading sees it again.
    SqliteStatement insert(db_.Handle(),
                           "INSERT INTO records(device, start, length, pulses, state, validity,"
                           " sensors, k100, slot) VALUES(?,?,?,?,?,?,?,?,?)"
                           " ON CONFLICT(device, start, length, pulses, state, validity)"
                           " DO UPDATE SET slot = excluded.slot WHERE slot IS NULL");
    for (const Placed& placed : records) {
        const HistoryRecord& record = placed.record;
        insert.Reset();
        insert.Bind(1, device)
            .Bind(2, record.start)
            .Bind(3, record.length)
            .Bind(4, record.pulses)
            .Bind(5, record.state)
            .Bind(6, record.validity)
            .Bind(7, history.sensors)
            .Bind(8, history.k100)
            .Bind(9, placed.slot);
        if (!insert.Run()) {
            return false;
        }
    }
    return true;
}

bool HistoryArchive::SaveRing(std::int64_t device, const DeviceHistory& history,
                              std::int64_t readingTime, std::optional<std::size_t> pagesRead) {
    std::vector<std::uint8_t> pages;
    const std::vector<int> order = history.header.ReadingOrder();
    const std::size_t read = std::min(pagesRead.value_or(order.size()), order.size());
    for (std::size_t i = 0; i < read; ++i) {
        const std::uint8_t* first = history.store.Bytes(static_cast<std::uint32_t>(order[i]) *
                                                        history_geometry::kPageRecords);
        pages.insert(pages.end(), first, first + history_geometry::kPageBytes);
    }
    const HistoryHeader& header = history.header;
    SqliteStatement ring(
        db_.Handle(),
        "INSERT OR REPLACE INTO rings(device, layout, count, positions, flag, pages, pages_read)"
        " VALUES(?,?,?,?,?,?,?)");
    ring.Bind(1, device)
        .Bind(2, std::int64_t{header.pageSize} << 16 | header.layoutLow)
        .Bind(3, std::int64_t{header.pages} << 16 | header.count)
        .Bind(4, std::int64_t{header.oldest} << 16 | header.write)
        .Bind(5, header.flag)
        .Bind(6, pages);
    if (pagesRead) {
        ring.Bind(7, static_cast<std::int64_t>(*pagesRead));
    }
    SqliteStatement reading(db_.Handle(), "UPDATE devices SET last_reading = ? WHERE id = ?");
    return ring.Run() && reading.Bind(1, readingTime).Bind(2, device).Run();
}

std::vector<ArchivedDevice> HistoryArchive::Devices() {
    std::vector<ArchivedDevice> devices;
    if (!db_.IsOpen()) {
        return devices;
    }
    SqliteStatement select(db_.Handle(),
                           "SELECT d.id, d.serial, d.uid, d.model, d.last_reading, count(r.start),"
                           " min(r.start), max(r.start) FROM devices d"
                           " LEFT JOIN records r ON r.device = d.id AND r.validity = 0"
                           " GROUP BY d.id ORDER BY d.serial, d.uid, d.model");
    while (select.Step()) {
        ArchivedDevice device;
        device.id = select.Int(0);
        device.key = {select.Text(1), select.Text(2), select.Text(3)};
        device.lastReading = select.Int(4);
        device.records = select.Int(5);
        device.firstStart = static_cast<std::uint32_t>(select.Int(6));
        device.lastStart = static_cast<std::uint32_t>(select.Int(7));
        devices.push_back(std::move(device));
    }
    if (!select.Done()) {
        FailDatabase();
    }
    return devices;
}

std::vector<ArchivedRecord> HistoryArchive::Records(std::int64_t device) {
    std::vector<ArchivedRecord> records;
    if (!db_.IsOpen()) {
        return records;
    }
    SqliteStatement select(db_.Handle(),
                           "SELECT start, length, pulses, state, validity, sensors, k100, slot"
                           " FROM records WHERE device = ? ORDER BY start, length, pulses");
    select.Bind(1, device);
    while (select.Step()) {
        ArchivedRecord archived;
        archived.record.start = static_cast<std::uint32_t>(select.Int(0));
        archived.record.length = static_cast<std::uint16_t>(select.Int(1));
        archived.record.pulses = static_cast<std::uint32_t>(select.Int(2));
        archived.record.state = static_cast<std::uint8_t>(select.Int(3));
        archived.record.validity = static_cast<std::uint8_t>(select.Int(4));
        archived.sensors = static_cast<int>(select.Int(5));
        archived.k100 = static_cast<std::uint32_t>(select.Int(6));
        archived.slot =
            select.IsNull(7) ? ArchivedRecord::kUnknownSlot : static_cast<int>(select.Int(7));
        records.push_back(archived);
    }
    if (!select.Done()) {
        FailDatabase();
    }
    return records;
}

bool HistoryArchive::Fail(const std::string& russian, const std::string& english) {
    error_ = PickText(russian, english);
    return false;
}

bool HistoryArchive::FailDatabase() {
    const std::string reason = db_.Error();
    switch (db_.ErrorCode()) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Fail("Архив истории " + path_ + " занят другой программой",
                        "The history archive " + path_ + " is busy in another program");
        case SQLITE_NOTADB:
            return Fail("Файл " + path_ + " не является архивом истории; архив не используется",
                        "The file " + path_ + " is not a history archive; the archive is not used");
        case SQLITE_CORRUPT:
            return Fail("Архив истории " + path_ + " повреждён: " + reason,
                        "The history archive " + path_ + " is damaged: " + reason);
        default:
            return Fail("Ошибка архива истории " + path_ + ": " + reason,
                        "History archive " + path_ + " failed: " + reason);
    }
}
