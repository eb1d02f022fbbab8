#include <gtest/gtest.h>

#include <csignal>
#include <nlohmann/json.hpp>

#include "cli_runner.h"

namespace {

// The restart waits for the device to come back on its port, as the window's
// timer does, and identifies it again.
TEST_F(CliAgainstSimulator, RestartIntoTheBootLoaderAndBack) {
    PlugIn(SimOptions{});
    CliOutcome outcome = RunCli(dir_.Path(), {"--port", "COM9", "restart", "boot"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    outcome = RunCli(dir_.Path(), {"--port", "COM9", "--json", "info"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(nlohmann::json::parse(outcome.out)["bootMode"].get<bool>());

    outcome = RunCli(dir_.Path(), {"--port", "COM9", "restart", "main"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    outcome = RunCli(dir_.Path(), {"--port", "COM9", "--json", "info"});
    EXPECT_FALSE(nlohmann::json::parse(outcome.out)["bootMode"].get<bool>());
}

// Nothing is written without a confirmation; with --yes the update runs to the
// end and the device reports the version the program carries.
TEST_F(CliAgainstSimulator, UpdateAsksFirstThenWritesAndConfirmsTheNewVersion) {
    SimOptions options;
    options.model = SimModel::K520;
    options.mainVersion = 0x0C02;
    options.mainVersionAfterCpuWrite = 0x0C03;
    SimulatedDevice& device = PlugIn(options);
    CliOutcome outcome = RunCli(dir_.Path(), {"--port", "COM9", "--lang", "en", "info"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("Upgrade to Version 12.3\nis avaliable\n"), std::string::npos)
        << outcome.out;
    outcome = RunCli(dir_.Path(), {"--port", "COM9", "firmware", "update"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(device.CountRequests(2, 0x03), 0u) << "no external-flash write unasked";

    outcome =
        RunCli(dir_.Path(), {"--port", "COM9", "--lang", "en", "--yes", "firmware", "update"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    outcome = RunCli(dir_.Path(), {"--port", "COM9", "--json", "info"});
    const auto after = nlohmann::json::parse(outcome.out);
    EXPECT_EQ(after["mainVersion"], "12.3") << outcome.out;
    EXPECT_TRUE(after["offer"].empty()) << "nothing left to offer";
}

// Ctrl-C during the external-flash write lets the request on the wire finish,
// names the step that stopped, and leaves the update to be run again.
TEST_F(CliAgainstSimulator, InterruptDuringAFlashWriteEndsAfterTheCurrentRequest) {
    SimOptions options;
    options.model = SimModel::K520;
    options.mainVersion = 0x0C02;
    options.mainVersionAfterCpuWrite = 0x0C03;
    options.wireTime = true;  // the external flash then takes about a minute
    SimulatedDevice& device = PlugIn(options);
    CliProcess process(dir_.Path(),
                       {"--port", "COM9", "--lang", "en", "-v", "--yes", "firmware", "update"});
    ASSERT_TRUE(device.WaitForRequests(2, 0x03, 20, std::chrono::seconds(60))) << process.Err();
    process.Signal(SIGINT);
    EXPECT_EQ(process.Wait(), 130) << process.Err();
    EXPECT_NE(process.Err().find("Step 4 of 5"), std::string::npos) << process.Err();
    EXPECT_NE(process.Err().find("Update stopped at step 4 of 5; it must be run again"),
              std::string::npos)
        << process.Err();
    // A request cut short would be logged as a failed write or erase.
    EXPECT_EQ(process.Err().find("_func"), std::string::npos) << process.Err();
    const std::size_t writes = device.CountRequests(2, 0x03);
    EXPECT_TRUE(device.WaitForAnswers(2, 0x03, writes, std::chrono::seconds(2)))
        << "a chunk's write was left without its answer";
    EXPECT_LT(writes, 19840u);
}

}  // namespace
