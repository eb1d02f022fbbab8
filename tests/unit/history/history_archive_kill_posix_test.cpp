// Linux matters: killing a process midway (fork and SIGKILL) and file modes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "history/history_archive.h"
#include "history/sqlite_database.h"
#include "unit/history/history_archive_fixture.h"

namespace {

TEST_F(HistoryArchiveTest, AReadingKilledMidwayIsKeptWholeOrNotAtAll) {
    const std::string path = dir.Path() + "/history.sqlite3";
    constexpr std::uint32_t kRecords = 20000;
    int pipe_fds[2];
    ASSERT_EQ(pipe(pipe_fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipe_fds[0]);
        HistoryArchive archive(path);
        if (!archive.Open()) {
            _exit(1);
        }
        DeviceHistory history;
        for (std::uint32_t reading = 0;; ++reading) {
            std::vector<std::array<std::uint8_t, 16>> records;
            for (std::uint32_t i = 0; i < kRecords; ++i) {
                records.push_back(RecordBytes(reading * kRecords + i, i));
            }
            FillReading(history, records);
            if (!archive.Save(kDevice, history, reading)) {
                _exit(1);
            }
            const char saved = 1;
            if (write(pipe_fds[1], &saved, 1) != 1) {
                _exit(1);
            }
        }
    }
    close(pipe_fds[1]);
    char saved = 0;
    // Two readings are in; the third is on its way when the kill lands.
    ASSERT_EQ(read(pipe_fds[0], &saved, 1), 1);
    ASSERT_EQ(read(pipe_fds[0], &saved, 1), 1);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipe_fds[0]);

    HistoryArchive archive(path);
    ASSERT_TRUE(archive.Open()) << archive.Error();
    const std::vector<ArchivedDevice> devices = archive.Devices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_GE(devices[0].records, 2 * std::int64_t{kRecords});
    EXPECT_EQ(devices[0].records % kRecords, 0) << devices[0].records;
    SqliteDatabase db;
    ASSERT_TRUE(db.Open(path, false, 1000));
    SqliteStatement check(db.Handle(), "PRAGMA integrity_check");
    ASSERT_TRUE(check.Step());
    EXPECT_EQ(check.Text(0), "ok");
}

unsigned Mode(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Readings are the user's alone: the archive and the files SQLite keeps
// beside it while it is open.
TEST_F(HistoryArchiveTest, TheArchiveAndItsCompanionFilesAreTheUsersAlone) {
    const std::string path = dir.Path() + "/DRAVO/history.sqlite3";
    HistoryArchive archive(path);
    ASSERT_TRUE(archive.Open()) << archive.Error();
    const DeviceHistory history = Reading({RecordBytes(100, 1), RecordBytes(200, 2)});
    ASSERT_TRUE(archive.Save(kDevice, history, 1000)) << archive.Error();
    for (const char* suffix : {"", "-wal", "-shm"}) {
        EXPECT_EQ(Mode(path + suffix), 0600u) << suffix;
    }
}

}  // namespace
