#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/history_reading_result.h"
#include "history/sqlite_database.h"

// Who a device is in the archive. An unprogrammed serial number is kept
// empty, so that such devices are told apart by their unique id alone.
struct ArchiveDeviceKey {
    std::string serial;
    std::string uid;
    std::string model;
};

struct ArchivedDevice {
    std::int64_t id = 0;
    ArchiveDeviceKey key;
    std::int64_t records = 0;
    std::uint32_t firstStart = 0;  // seconds since 2000, device local time
    std::uint32_t lastStart = 0;   // of the newest record
    std::int64_t lastReading = 0;  // seconds since 1970 on the PC's clock
};

// The device's ring as its last reading saw it: the four header parameters and
// the raw bytes of the ring's pages in reading order. A reading that was cut
// off holds only the pages it completed, the newest ones.
struct ArchivedRing {
    std::uint32_t parameters[4] = {};
    std::vector<std::uint8_t> pages;

    HistoryHeader Header() const;
};

struct ArchivedRecord {
    HistoryRecord record;
    int sensors = 1;
    std::uint32_t k100 = DeviceHistory::kDefaultK100;  // of the reading that brought it
    // Its slot in its page; kUnknownSlot for a record that an archive of
    // version 1 kept and whose page no later ring held.
    int slot = kUnknownSlot;

    static constexpr int kUnknownSlot = -1;
};

// Every history record ever read from each device, in one SQLite file per
// user. A record read again is stored once; records the device has since
// overwritten stay. Each reading is saved whole or not at all.
class HistoryArchive {
  public:
    static constexpr int kSchemaVersion = 4;
    static constexpr int kBusyMilliseconds = 5000;

    explicit HistoryArchive(std::string path, int busyMilliseconds = kBusyMilliseconds)
        : path_(std::move(path)), busyMilliseconds_(busyMilliseconds) {}

    // Opens the file, creating it and its folder when missing, upgrading an
    // archive of an older version. A file that is not an archive, is damaged
    // or comes from a newer program is left as it is: false, with a message
    // naming it in Error().
    bool Open();
    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }

    std::optional<ArchivedRing> LastRing(const ArchiveDeviceKey& key);
    // The records of the reading's ring and the ring itself, in one
    // transaction: the whole ring, or only the first `pagesRead` pages of its
    // reading order, which a reading that was cut off completed.
    bool Save(const ArchiveDeviceKey& key, const DeviceHistory& history, std::int64_t readingTime,
              std::optional<std::size_t> pagesRead = std::nullopt);
    std::vector<ArchivedDevice> Devices();
    // Oldest first; records with the same start time in the order they were kept.
    std::vector<ArchivedRecord> Records(std::int64_t device);

    // The device's row id, created when `create` is set and it is missing.
    std::optional<std::int64_t> DeviceId(const ArchiveDeviceKey& key, bool create);
    // For the tables kept beside the records (LiveArchive).
    SqliteDatabase& Database() { return db_; }

  private:
    // Runs `change` in one write transaction, unless the file already has
    // this program's schema version.
    bool ChangeSchema(const std::function<bool()>& change);
    bool CreateSchema();
    bool CheckSchema();
    // An older version to this one in one transaction: from 1, the slot
    // column, filled from the archived rings for the records they still hold;
    // from 2, the pages a cut-off reading completed; from 3, the live
    // readings' table.
    bool UpgradeSchema(std::int64_t found);
    bool FillSlotsFromRings();
    bool SaveRecords(std::int64_t device, const DeviceHistory& history, std::size_t pages);
    bool SaveRing(std::int64_t device, const DeviceHistory& history, std::int64_t readingTime,
                  std::optional<std::size_t> pagesRead);
    bool Fail(const std::string& russian, const std::string& english);
    bool FailDatabase();

    std::string path_;
    int busyMilliseconds_;
    std::string error_;
    SqliteDatabase db_;
};
