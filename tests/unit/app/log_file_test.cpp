#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/log_file.h"
#include "base/app_log.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

namespace {

class LogFileTest : public ::testing::Test {
  protected:
    TempDir dir_;
    const std::filesystem::path folder_{dir_.Path()};
};

TEST_F(LogFileTest, DefaultFileHoldsLineFeedsOnlyAndEndsWithOne) {
    AppLog log;
    log.AddLine("first");
    log.AddLine("second\twith tab");
    ASSERT_TRUE(SaveLogFile(log, "", folder_.string()));
    const std::string bytes = FileText(folder_ / "log.txt");
    EXPECT_EQ(bytes, "first\nsecond\twith tab\n");
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
}

TEST_F(LogFileTest, ReplacesAnExistingFileAndReportsAnUnwritablePlace) {
    const auto path = folder_ / "named.txt";
    std::ofstream(path) << "old content that is longer\r\n";
    AppLog log;
    log.AddLine("new");
    ASSERT_TRUE(SaveLogFile(log, path.string(), folder_.string()));
    EXPECT_EQ(FileText(path), "new\n");
    EXPECT_FALSE(SaveLogFile(log, "", (folder_ / "missing" / "deeper").string()));
}

}  // namespace
