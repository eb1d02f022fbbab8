#include <gtest/gtest.h>

#include <thread>

#include "history/live_archive.h"
#include "history/live_recorder.h"
#include "history/sqlite_database.h"
#include "unit/history/history_archive_fixture.h"

namespace {

constexpr std::int64_t kT0 = 1'700'000'000'000;
const ArchiveDeviceKey kOther{"123-00001", "0A:0B", "K520"};

class LiveArchiveTest : public HistoryArchiveTest {
  protected:
    std::string Path() const { return dir.Path() + "/history.sqlite3"; }
};

TEST_F(LiveArchiveTest, KeepsReadingsByDeviceAndTimeAndPrunesOnlyTheOlderOnes) {
    HistoryArchive archive(Path());
    ASSERT_TRUE(archive.Open()) << archive.Error();
    LiveArchive live(archive);
    const std::vector<LiveReading> readings = {
        LiveReading::Of(kT0, 0, 1234, 2),       // 12,34 µSv/h
        LiveReading::Of(kT0 + 1000, 1, 25, 1),  // 25 µR/h
        LiveReading::Of(kT0 + 2000, 2, 61, 0),  // counts: no µSv/h
        LiveReading::Of(kT0 + 3000, 0, 0, 0),
    };
    ASSERT_TRUE(live.Store(kDevice, readings)) << live.Error();
    // Stored again, and another device in between: each reading once, apart.
    ASSERT_TRUE(live.Store(kDevice, {readings[1]})) << live.Error();
    ASSERT_TRUE(live.Store(kOther, {LiveReading::Of(kT0 + 500, 0, 7, 0)})) << live.Error();

    const std::int64_t device = *archive.DeviceId(kDevice, false);
    EXPECT_EQ(live.Readings(device, 0, INT64_MAX), readings);
    EXPECT_EQ(readings[0].usvPerHour, 12.34);
    EXPECT_EQ(readings[1].usvPerHour, 0.25);
    EXPECT_FALSE(readings[2].usvPerHour);
    EXPECT_EQ(CountsPerMinute(readings[2]), 30u);
    EXPECT_FALSE(CountsPerMinute(readings[0]));
    // Half-open ranges.
    EXPECT_EQ(live.Readings(device, kT0 + 1000, kT0 + 3000),
              (std::vector<LiveReading>{readings[1], readings[2]}));
    EXPECT_EQ(live.Count(device, kT0, kT0 + 3000), 3);

    EXPECT_EQ(live.Prune(device, kT0 + 2000), 2);
    EXPECT_EQ(live.Readings(device, 0, INT64_MAX),
              (std::vector<LiveReading>{readings[2], readings[3]}));
    EXPECT_EQ(live.Count(*archive.DeviceId(kOther, false), 0, INT64_MAX), 1);
}

TEST_F(LiveArchiveTest, AnArchiveOfTheVersionBeforeGainsTheTableAndKeepsItsRecords) {
    {
        HistoryArchive archive(Path());
        ASSERT_TRUE(archive.Open()) << archive.Error();
        const DeviceHistory history = Reading({RecordBytes(100, 1), RecordBytes(200, 2)});
        ASSERT_TRUE(archive.Save(kDevice, history, 1000)) << archive.Error();
    }
    {
        SqliteDatabase db;
        ASSERT_TRUE(db.Open(Path(), false, 0));
        ASSERT_TRUE(db.Execute("DROP TABLE live_readings; PRAGMA user_version = 3;"));
    }
    HistoryArchive archive(Path());
    ASSERT_TRUE(archive.Open()) << archive.Error();
    EXPECT_EQ(archive.Records(1).size(), 2u);
    LiveArchive live(archive);
    EXPECT_TRUE(live.Store(kDevice, {LiveReading::Of(kT0, 0, 5, 0)})) << live.Error();
}

TEST_F(LiveArchiveTest, RecorderStoresInBatchesWaitsForABusyFileAndTellsAFailureOnce) {
    HistoryArchive archive(Path(), 0);
    ASSERT_TRUE(archive.Open()) << archive.Error();
    LiveArchive live(archive);
    LiveRecorder recorder(live);
    const std::int64_t device = *archive.DeviceId(kDevice, true);
    const auto stored = [&] { return *live.Count(device, 0, INT64_MAX); };

    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(recorder.Add(kDevice, LiveReading::Of(kT0 + i * 1000, 0, 10, 0)), "");
    }
    EXPECT_EQ(stored(), 0) << "a batch waits its time";
    EXPECT_EQ(recorder.Tick(kT0 + LiveRecorder::kBatchMs), "");
    EXPECT_EQ(stored(), 5);

    // Another program's write transaction: the batch waits in memory.
    SqliteDatabase other;
    ASSERT_TRUE(other.Open(Path(), false, 0));
    ASSERT_TRUE(other.Execute("BEGIN IMMEDIATE"));
    EXPECT_EQ(recorder.Add(kDevice, LiveReading::Of(kT0 + 10'000, 0, 10, 0)), "");
    EXPECT_EQ(recorder.Flush(), "");
    EXPECT_EQ(recorder.Waiting(), 1u);
    ASSERT_TRUE(other.Execute("COMMIT"));
    EXPECT_EQ(recorder.Flush(), "");
    EXPECT_EQ(stored(), 6);

    // A table that refuses every write: one message, then quiet, then on.
    ASSERT_TRUE(other.Execute(
        "CREATE TRIGGER refuse BEFORE INSERT ON live_readings BEGIN SELECT RAISE(ABORT, 'full');"
        " END"));
    EXPECT_EQ(recorder.Add(kDevice, LiveReading::Of(kT0 + 20'000, 0, 10, 0)), "");
    EXPECT_NE(recorder.Flush().find("full"), std::string::npos);
    EXPECT_EQ(recorder.Add(kDevice, LiveReading::Of(kT0 + 21'000, 0, 10, 0)), "");
    EXPECT_EQ(recorder.Flush(), "");
    ASSERT_TRUE(other.Execute("DROP TRIGGER refuse"));
    // A reading of another device first stores the batch before it.
    EXPECT_EQ(recorder.Add(kDevice, LiveReading::Of(kT0 + 30'000, 0, 10, 0)), "");
    EXPECT_EQ(recorder.Add(kOther, LiveReading::Of(kT0 + 31'000, 0, 10, 0)), "");
    EXPECT_EQ(stored(), 7);
}

// The window and dravo-cli record two devices into one file at once, each
// through its own connection: each waits out the other's transactions, and
// nothing is lost or refused as busy.
TEST_F(LiveArchiveTest, TwoConnectionsStoringAtOnceLoseNothing) {
    {
        HistoryArchive created(Path());
        ASSERT_TRUE(created.Open()) << created.Error();
    }
    constexpr int kBatches = 200;
    constexpr int kPerBatch = 5;
    const auto record = [this](const ArchiveDeviceKey& key, std::string& error) {
        HistoryArchive archive(Path());
        if (!archive.Open()) {
            error = archive.Error();
            return;
        }
        LiveArchive live(archive);
        for (int batch = 0; batch < kBatches && error.empty(); ++batch) {
            std::vector<LiveReading> readings;
            for (int i = 0; i < kPerBatch; ++i) {
                readings.push_back(LiveReading::Of(kT0 + (batch * kPerBatch + i) * 1000, 0, 10, 0));
            }
            if (!live.Store(key, readings)) {
                error = live.Error();
            }
        }
    };
    std::string windowError;
    std::string cliError;
    std::thread cli([&] { record(kOther, cliError); });
    record(kDevice, windowError);
    cli.join();
    EXPECT_EQ(windowError, "");
    EXPECT_EQ(cliError, "");
    HistoryArchive archive(Path());
    ASSERT_TRUE(archive.Open()) << archive.Error();
    LiveArchive live(archive);
    for (const ArchiveDeviceKey& key : {kDevice, kOther}) {
        EXPECT_EQ(live.Count(*archive.DeviceId(key, false), 0, INT64_MAX), kBatches * kPerBatch);
    }
}

}  // namespace
