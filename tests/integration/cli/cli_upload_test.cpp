#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "integration/cli/cli_runner.h"
#include "integration/upload/ftp_test_server.h"

namespace {

class CliUpload : public CliAgainstSimulator {
  protected:
    // An options file naming the server, found through XDG_CONFIG_HOME.
    std::vector<std::string> ConfiguredFor(const FtpTestServer& server) {
        std::filesystem::create_directories(config_.Path() + "/DRAVO");
        std::ofstream(config_.Path() + "/DRAVO/TLX4.conf")
            << "[UPLOAD]\nHost=127.0.0.1\nPort=" << server.Port()
            << "\nUser=" << server.Account().user << "\nPassword=" << server.Account().password
            << "\nTimeoutSeconds=20\n";
        return {"XDG_CONFIG_HOME=" + config_.Path()};
    }

    std::string LogFile(const std::string& text) {
        const std::string path = dir_.Path() + "/session.log";
        std::ofstream(path) << text;
        return path;
    }

    TempDir config_;
};

TEST_F(CliUpload, AppendsUnderTheGivenOrConnectedSerialNumber) {
    FtpTestServer server({});
    ASSERT_TRUE(server.Running()) << server.Error();
    const auto environment = ConfiguredFor(server);

    CliOutcome outcome = RunCli(
        dir_.Path(), {"upload-log", LogFile("first\n"), "--serial", "123-45678"}, environment);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    outcome = RunCli(dir_.Path(), {"upload-log", LogFile("second\n"), "--serial", "12345678"},
                     environment);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(FileText(server.Home() + "/log5/1_23/45xxx/6xx/rep.txt"), "first\nsecond\n");

    SimOptions options;
    options.serialNumber = 87654321;
    PlugIn(options);
    outcome =
        RunCli(dir_.Path(), {"--json", "upload-log", LogFile("from the device\n")}, environment);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(nlohmann::json::parse(outcome.out)["serialDigits"], "87654321") << outcome.out;
    EXPECT_EQ(FileText(server.Home() + "/log5/8_76/54xxx/3xx/rep.txt"), "from the device\n");
}

TEST_F(CliUpload, NoServerBadSerialAndAMissingFileFail) {
    const std::vector<std::string> unconfigured{"XDG_CONFIG_HOME=" + config_.Path()};
    CliOutcome outcome = RunCli(
        dir_.Path(), {"upload-log", LogFile("text\n"), "--serial", "123-45678"}, unconfigured);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("No report server is configured"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("Host, Port, User and Password"), std::string::npos) << outcome.err;

    outcome =
        RunCli(dir_.Path(), {"upload-log", LogFile("text\n"), "--serial", "12-3"}, unconfigured);
    EXPECT_EQ(outcome.status, 2) << outcome.err;

    FtpTestServer server({});
    ASSERT_TRUE(server.Running()) << server.Error();
    outcome =
        RunCli(dir_.Path(), {"upload-log", dir_.Path() + "/absent.log", "--serial", "123-45678"},
               ConfiguredFor(server));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("File not found: " + dir_.Path() + "/absent.log"), std::string::npos)
        << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(server.Home() + "/log5"));
}

}  // namespace
