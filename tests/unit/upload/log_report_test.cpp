#include <gtest/gtest.h>

#include <fstream>

#include "support/file_text.h"
#include "support/temp_dir.h"
#include "upload/log_report.h"

namespace {

// These never reach the network: they end before any connection.
class UploadLogFileTest : public ::testing::Test {
  protected:
    TempDir folder_;
    const std::string logFile_ = folder_.Path() + "/log.txt";
    AppLog log_;
};

TEST_F(UploadLogFileTest, NoHostMeansNothingAttemptedAndNothingLogged) {
    std::ofstream(logFile_, std::ios::binary) << "saved\n";
    EXPECT_EQ(UploadLogReport(UploadConfig{}, logFile_, "12345678", {}, log_),
              UploadOutcome::NotConfigured);
    EXPECT_TRUE(log_.Lines().empty());
    EXPECT_EQ(FileText(logFile_), "saved\n");
}

TEST_F(UploadLogFileTest, RefusedOptionsAreLoggedAndAddedToTheSavedLog) {
    std::ofstream(logFile_, std::ios::binary) << "saved\n";
    UploadConfig config;
    config.host = "bad host";
    config.problem = "problem";
    EXPECT_EQ(UploadLogReport(config, logFile_, "12345678", {}, log_), UploadOutcome::Refused);
    EXPECT_EQ(log_.Lines(), (std::vector<std::string>{"ERROR=[0]-\"problem\""}));
    EXPECT_EQ(FileText(logFile_), "saved\nERROR=[0]-\"problem\"\n");
}

}  // namespace
