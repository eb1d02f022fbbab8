// A write that fails midway, made so by a file size limit: a Linux test.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "unit/history/csv_save_fixture.h"

namespace {

TEST_F(CsvSaveTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    const std::string path = Path("kept.csv");
    std::ofstream(path) << "old content";
    dialogs.saveAs = path;
    dialogs.answerYes = true;
    // A file size limit makes the write fail as a full disk does.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tiny = saved;
    tiny.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    SaveCsvClick(history, dialogs, last);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"File write Error\r\n" + path});
    EXPECT_EQ(FileText(path), "old content");
    EXPECT_EQ(FilesInFolder(), 1u);
    EXPECT_EQ(last, path);
}

}  // namespace
