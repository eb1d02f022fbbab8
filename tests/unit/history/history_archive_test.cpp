#include "history/history_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "history/archive_to_history.h"
#include "unit/history/history_archive_fixture.h"

namespace {

// What the program kept before the archive knew a record's slot.
constexpr const char* kVersion1 =
    "CREATE TABLE devices("
    " id INTEGER PRIMARY KEY, serial TEXT NOT NULL, uid TEXT NOT NULL, model TEXT NOT NULL,"
    " last_reading INTEGER NOT NULL DEFAULT 0, UNIQUE(serial, uid, model));"
    "CREATE TABLE records("
    " device INTEGER NOT NULL, start INTEGER NOT NULL, length INTEGER NOT NULL,"
    " pulses INTEGER NOT NULL, state INTEGER NOT NULL, validity INTEGER NOT NULL,"
    " sensors INTEGER NOT NULL, k100 INTEGER NOT NULL,"
    " PRIMARY KEY(device, start, length, pulses, state, validity)) WITHOUT ROWID;"
    "CREATE TABLE rings("
    " device INTEGER PRIMARY KEY, layout INTEGER NOT NULL, count INTEGER NOT NULL,"
    " positions INTEGER NOT NULL, flag INTEGER NOT NULL, pages BLOB NOT NULL);"
    "PRAGMA user_version = 1;";

std::int64_t UserVersion(const std::string& path) {
    SqliteDatabase db;
    EXPECT_TRUE(db.Open(path, false, 0));
    SqliteStatement version(db.Handle(), "PRAGMA user_version");
    return version.Step() ? version.Int(0) : -1;
}

TEST_F(HistoryArchiveTest, KeepsEachRecordOnceAndEveryRecordTheDeviceHasSinceOverwritten) {
    HistoryArchive archive(dir.Path() + "/DRAVO/history.sqlite3");
    ASSERT_TRUE(archive.Open()) << archive.Error();
    DeviceHistory history =
        Reading({RecordBytes(100, 1), RecordBytes(200, 2), RecordBytes(300, 3)}, 120);
    ASSERT_TRUE(archive.Save(kDevice, history, 1000)) << archive.Error();
    // The oldest record is gone from the ring; the clock was set back, so a
    // different record has the start time of one already kept.
    FillReading(history, {RecordBytes(200, 2), RecordBytes(300, 3), RecordBytes(300, 9)}, 150);
    ASSERT_TRUE(archive.Save(kDevice, history, 2000)) << archive.Error();

    const std::vector<ArchivedDevice> devices = archive.Devices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].key.serial, kDevice.serial);
    EXPECT_EQ(devices[0].records, 4);
    EXPECT_EQ(devices[0].firstStart, 100u);
    EXPECT_EQ(devices[0].lastStart, 300u);
    EXPECT_EQ(devices[0].lastReading, 2000);
    const std::vector<ArchivedRecord> records = archive.Records(devices[0].id);
    ASSERT_EQ(records.size(), 4u);
    const std::uint32_t pulses[] = {1, 2, 3, 9};
    const std::uint32_t k100[] = {120, 120, 120, 150};  // of the reading that brought it
    const int slots[] = {1, 2, 3, 3};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(records[i].record.pulses, pulses[i]) << i;
        EXPECT_EQ(records[i].k100, k100[i]) << i;
        EXPECT_EQ(records[i].sensors, 2);
        EXPECT_EQ(records[i].slot, slots[i]) << i;
    }
}

TEST_F(HistoryArchiveTest, DevicesWithTheSameSerialNumberStayApart) {
    HistoryArchive archive(dir.Path() + "/history.sqlite3");
    ASSERT_TRUE(archive.Open()) << archive.Error();
    const DeviceHistory history = Reading({RecordBytes(100, 1)});
    ArchiveDeviceKey other = kDevice;
    other.uid = "FF:02:03:04:05:06:07:08:09:0A:0B:0C";
    ASSERT_TRUE(archive.Save(kDevice, history, 1));
    ASSERT_TRUE(archive.Save(other, history, 1));
    EXPECT_EQ(archive.Devices().size(), 2u);
    EXPECT_FALSE(archive.LastRing({"999-99999", kDevice.uid, kDevice.model}));
}

TEST(ArchiveKey, ADeviceWithoutASerialNumberGoesByItsUniqueId) {
    DeviceInfo info;
    info.modelName = "K310.41.1";
    info.uid = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0xFF};
    info.inf1.fill(0xFF);
    const ArchiveDeviceKey unprogrammed = ArchiveKeyOf(info);
    EXPECT_EQ(unprogrammed.serial, "");
    EXPECT_EQ(unprogrammed.uid, "01:02:03:04:05:06:07:08:09:0A:0B:FF");
    EXPECT_EQ(unprogrammed.model, "K310.41.1");
    info.inf1[inf1::kSerialFirst] = 0x21;
    EXPECT_EQ(ArchiveKeyOf(info).serial, SerialNumberText(info.inf1));
}

TEST_F(HistoryArchiveTest, GivesBackTheRingOfTheLastReading) {
    HistoryArchive archive(dir.Path() + "/history.sqlite3");
    ASSERT_TRUE(archive.Open());
    const DeviceHistory history = Reading(MinuteRecords(300));
    ASSERT_TRUE(archive.Save(kDevice, history, 1));

    const std::optional<ArchivedRing> ring = archive.LastRing(kDevice);
    ASSERT_TRUE(ring);
    const HistoryHeader header = ring->Header();
    EXPECT_EQ(header.write, history.header.write);
    EXPECT_EQ(header.count, history.header.count);
    EXPECT_EQ(header.pages, 255u);
    ASSERT_EQ(ring->pages.size(), 2u * history_geometry::kPageBytes);
    // Reading order: the newest page first.
    EXPECT_EQ(std::memcmp(ring->pages.data(), history.store.Bytes(256), 4096), 0);
    EXPECT_EQ(std::memcmp(ring->pages.data() + 4096, history.store.Bytes(0), 4096), 0);
}

// An archive of version 1 on disk: one device, the ring of its last reading
// (one page, a measurement in slot 0) and a record from before that ring.
// Upgrading is all or nothing; afterwards the ring's records know their slots.
TEST_F(HistoryArchiveTest, AnArchiveOfVersion1IsUpgradedInOneTransactionAndKeepsEveryRecord) {
    const std::string path = dir.Path() + "/history.sqlite3";
    std::vector<std::uint8_t> page(history_geometry::kPageBytes, 0xFF);
    const std::uint32_t ringStarts[] = {400, 460, 520};
    for (std::size_t slot = 0; slot < 3; ++slot) {
        const auto bytes = RecordBytes(ringStarts[slot], 4 + static_cast<std::uint32_t>(slot));
        std::copy(bytes.begin(), bytes.end(), page.begin() + 16 * slot);
    }
    {
        SqliteDatabase db;
        ASSERT_TRUE(db.Open(path, true, 0));
        ASSERT_TRUE(db.Execute(kVersion1));
        ASSERT_TRUE(db.Execute(
            "INSERT INTO devices VALUES(1, '123-45678', '01:02:03:04:05:06:07:08:09:0A:0B:0C',"
            " 'K310', 1000);"
            "INSERT INTO records VALUES(1, 100, 60, 1, 254, 0, 2, 120), (1, 400, 60, 4, 254, 0, 2,"
            " 120), (1, 460, 60, 5, 254, 0, 2, 120), (1, 520, 60, 6, 254, 0, 2, 120);"
            // Refuses the last slot, so the first attempt fails half way.
            "CREATE TRIGGER refuse BEFORE UPDATE ON records WHEN NEW.start = 520"
            " BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
        SqliteStatement ring(db.Handle(), "INSERT INTO rings VALUES(1, ?, ?, ?, 0, ?)");
        ASSERT_TRUE(ring.Bind(1, 4096 << 16).Bind(2, 255 << 16 | 3).Bind(3, 3).Bind(4, page).Run());
    }
    {
        HistoryArchive failing(path);
        EXPECT_FALSE(failing.Open());
        EXPECT_NE(failing.Error().find("refused"), std::string::npos) << failing.Error();
    }
    EXPECT_EQ(UserVersion(path), 1);
    {
        SqliteDatabase db;
        ASSERT_TRUE(db.Open(path, false, 0));
        SqliteStatement columns(db.Handle(), "SELECT count(*) FROM pragma_table_info('records')");
        ASSERT_TRUE(columns.Step());
        EXPECT_EQ(columns.Int(0), 8) << "the added column went with the failed upgrade";
        ASSERT_TRUE(db.Execute("DROP TRIGGER refuse"));
    }

    HistoryArchive archive(path);
    ASSERT_TRUE(archive.Open()) << archive.Error();
    EXPECT_EQ(UserVersion(path), HistoryArchive::kSchemaVersion);
    ASSERT_EQ(archive.Devices().size(), 1u);
    EXPECT_EQ(archive.Devices()[0].records, 4);
    std::vector<ArchivedRecord> records = archive.Records(1);
    ASSERT_EQ(records.size(), 4u);
    const int slots[] = {ArchivedRecord::kUnknownSlot, 0, 1, 2};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(records[i].slot, slots[i]) << i;
        EXPECT_EQ(records[i].k100, 120u) << i;
    }
    // The slot-0 record leaves the CSV; the one whose slot is lost stays.
    const std::string csv = ArchiveCsv(records, 0, UINT32_MAX);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
    EXPECT_EQ(csv.find("\n400;"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n100;"), std::string::npos) << csv;
    ASSERT_TRUE(archive.LastRing(kDevice));
    EXPECT_EQ(archive.LastRing(kDevice)->pages, page);

    // A reading that sees the old record again teaches the archive its slot.
    const DeviceHistory history = Reading({RecordBytes(100, 1)}, 150);
    ASSERT_TRUE(archive.Save(kDevice, history, 2000)) << archive.Error();
    records = archive.Records(1);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].slot, 1);
    EXPECT_EQ(records[0].k100, 120u);
}

TEST_F(HistoryArchiveTest, LeavesAFileThatIsNotItsOwnAsItIs) {
    struct Case {
        const char* name;
        const char* sql;  // run on a fresh SQLite file, or null for a text file
        const char* says;
    };
    const Case cases[] = {
        {"text", nullptr, "not a history archive"},
        {"other", "CREATE TABLE notes(x);", "not a history archive"},
        {"newer", "CREATE TABLE devices(x); PRAGMA user_version = 5;", "newer version"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.Path() + "/" + c.name + ".sqlite3";
        if (c.sql == nullptr) {
            std::ofstream(path) << "these are notes, not records\n";
        } else {
            SqliteDatabase db;
            ASSERT_TRUE(db.Open(path, true, 0));
            ASSERT_TRUE(db.Execute(c.sql));
        }
        const std::string before = FileText(path);
        HistoryArchive archive(path);
        EXPECT_FALSE(archive.Open()) << c.name;
        EXPECT_NE(archive.Error().find(c.says), std::string::npos) << archive.Error();
        EXPECT_NE(archive.Error().find(path), std::string::npos) << archive.Error();
        const DeviceHistory history = Reading({RecordBytes(100, 1)});
        EXPECT_FALSE(archive.Save(kDevice, history, 1)) << c.name;
        EXPECT_EQ(FileText(path), before) << c.name;
    }
}

TEST_F(HistoryArchiveTest, NamesADamagedFileAndKeepsIt) {
    const std::string path = dir.Path() + "/history.sqlite3";
    {
        HistoryArchive archive(path);
        ASSERT_TRUE(archive.Open());
        ASSERT_TRUE(archive.Save(kDevice, Reading(MinuteRecords(2000)), 1));
    }
    {
        SqliteDatabase db;  // folds the write-ahead log into the file
        ASSERT_TRUE(db.Open(path, false, 0));
        ASSERT_TRUE(db.Execute("PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode=DELETE;"));
    }
    std::string bytes = FileText(path);
    ASSERT_GT(bytes.size(), 3u * 4096);
    std::fill(bytes.begin() + 2 * 4096, bytes.begin() + 3 * 4096, '\x5A');
    std::ofstream(path, std::ios::binary) << bytes;

    HistoryArchive archive(path);
    bool failed = !archive.Open();
    if (!failed) {
        const DeviceHistory history = Reading({RecordBytes(7, 7)});
        failed = archive.Devices().empty() || !archive.Save(kDevice, history, 2);
    }
    EXPECT_TRUE(failed);
    EXPECT_NE(archive.Error().find(path), std::string::npos) << archive.Error();
    EXPECT_EQ(FileText(path).size(), bytes.size());
}

TEST_F(HistoryArchiveTest, SaysWhenItsFolderCannotBeMade) {
    std::ofstream(dir.Path() + "/DRAVO") << "a file where the folder should be";
    HistoryArchive archive(dir.Path() + "/DRAVO/history.sqlite3");
    EXPECT_FALSE(archive.Open());
    EXPECT_NE(archive.Error().find(dir.Path() + "/DRAVO"), std::string::npos) << archive.Error();
}

TEST_F(HistoryArchiveTest, ALaterWriterWaitsOrSaysItIsBusyAndLosesNothing) {
    const std::string path = dir.Path() + "/history.sqlite3";
    HistoryArchive first(path);
    ASSERT_TRUE(first.Open());
    HistoryArchive second(path, 20);
    ASSERT_TRUE(second.Open());
    SqliteDatabase holder;
    ASSERT_TRUE(holder.Open(path, false, 0));
    ASSERT_TRUE(holder.Execute("BEGIN IMMEDIATE"));

    const DeviceHistory history = Reading({RecordBytes(100, 1)});
    EXPECT_FALSE(second.Save(kDevice, history, 1));
    EXPECT_NE(second.Error().find("busy"), std::string::npos) << second.Error();
    ASSERT_TRUE(holder.Execute("COMMIT"));
    EXPECT_TRUE(second.Save(kDevice, history, 1)) << second.Error();
    EXPECT_EQ(first.Devices().at(0).records, 1);
}

}  // namespace
