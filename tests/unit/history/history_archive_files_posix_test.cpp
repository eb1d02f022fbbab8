// File modes are a Linux matter.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "history/history_archive.h"
#include "unit/history/history_archive_fixture.h"

namespace {

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
    DeviceHistory history;
    FillReading(history, {RecordBytes(100, 1), RecordBytes(200, 2)});
    ASSERT_TRUE(archive.Save(kDevice, history, 1000)) << archive.Error();
    for (const char* suffix : {"", "-wal", "-shm"}) {
        EXPECT_EQ(Mode(path + suffix), 0600u) << suffix;
    }
}

}  // namespace
