#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli_runner.h"
#include "sim/device_layout.h"

namespace {

// Devices that keep their records below the program, above it and in another
// memory area, and restart by re-plugging or in silence on the same port.
class CliOnProfile : public CliAgainstSimulator,
                     public ::testing::WithParamInterface<std::string> {};

// A K520 on 12.2 that the update brings to 12.3.
SimOptions Outdated520(const std::string& profile = "classic") {
    SimOptions options = WithProfile(SimOptions{}, profile);
    options.model = SimModel::K520;
    options.mainVersion = 0x0C02;
    options.mainVersionAfterCpuWrite = 0x0C03;
    return options;
}

INSTANTIATE_TEST_SUITE_P(Profiles, CliOnProfile, ::testing::Values("classic", "contrary", "apart"),
                         [](const auto& info) { return info.param; });

// The settings files dravo-cli kept, in its home's data folder.
std::vector<std::string> KeptSettings(const std::string& portDir) {
    return FilesIn(portDir + "/home/.local/share/DRAVO/settings");
}

// The restart waits for the device to come back on its port, as the window's
// timer does, and identifies it again.
TEST_P(CliOnProfile, RestartIntoTheBootLoaderAndBack) {
    SimulatedDevice& device = PlugIn(WithProfile(SimOptions{}, GetParam()));
    // Unanswered, the question declines: no restart.
    CliOutcome outcome = RunCli(dir_.Path(), {"--port", "COM9", "restart", "boot"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("Cancelled\n"), std::string::npos) << outcome.err;
    EXPECT_EQ(device.CountRequests(1, 0x05), 0u);

    outcome = RunCli(dir_.Path(), {"--port", "COM9", "--yes", "restart", "boot"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("The device restarted into its boot loader\n"), std::string::npos)
        << outcome.err;
    outcome = RunCli(dir_.Path(), {"--port", "COM9", "--json", "info"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(nlohmann::json::parse(outcome.out)["bootMode"].get<bool>());

    outcome = RunCli(dir_.Path(), {"--port", "COM9", "--yes", "restart", "main"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    outcome = RunCli(dir_.Path(), {"--port", "COM9", "--json", "info"});
    EXPECT_FALSE(nlohmann::json::parse(outcome.out)["bootMode"].get<bool>());
}

// Nothing is written without a confirmation; with --yes the settings are kept,
// the update runs to the end and the device reports the version the program
// carries.
TEST_P(CliOnProfile, UpdateAsksFirstThenWritesAndConfirmsTheNewVersion) {
    SimulatedDevice& device = PlugIn(Outdated520(GetParam()));
    CliOutcome outcome = RunCli(dir_.Path(), {"--port", "COM9", "--lang", "en", "info"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("Upgrade to Version 12.3\nis avaliable\n"), std::string::npos)
        << outcome.out;
    outcome = RunCli(dir_.Path(), {"--port", "COM9", "firmware", "update"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(device.CountRequests(2, 0x03), 0u) << "no external-flash write unasked";

    EXPECT_TRUE(KeptSettings(dir_.Path()).empty()) << "nothing kept unasked";

    outcome = RunCli(dir_.Path(),
                     {"--port", "COM9", "--lang", "en", "--json", "--yes", "firmware", "update"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::vector<std::string> kept = KeptSettings(dir_.Path());
    ASSERT_EQ(kept.size(), 1u) << outcome.err;
    EXPECT_NE(outcome.err.find("Device settings saved to " + kept[0] + "\n"), std::string::npos)
        << outcome.err;
    const auto updated = nlohmann::json::parse(outcome.out);
    EXPECT_EQ(updated["settingsFile"], kept[0]);
    EXPECT_EQ(updated["mainVersion"]["text"], "12.3") << outcome.out;
    outcome = RunCli(dir_.Path(), {"--port", "COM9", "--json", "info"});
    const auto after = nlohmann::json::parse(outcome.out);
    EXPECT_EQ(after["mainVersion"]["text"], "12.3") << outcome.out;
    EXPECT_TRUE(after["offer"].empty()) << "nothing left to offer";
}

// The reason of a refusal reaches the user, not only the log; the device was
// not restarted.
TEST_P(CliOnProfile, AnImageOverCpuInfoIsRefusedWithItsReason) {
    SimOptions options = Outdated520(GetParam());
    const std::uint32_t cpuInfo = device_layout::LayoutOf(ResolveDefaults(options)).cpuInfoAddress;
    options.reportedProgramStart = cpuInfo & ~0xFFFu;
    SimulatedDevice& device = PlugIn(options);
    const CliOutcome outcome =
        RunCli(dir_.Path(), {"--port", "COM9", "--lang", "en", "--yes", "firmware", "update"});
    EXPECT_EQ(outcome.status, 1);
    char start[16];
    char record[16];
    std::snprintf(start, sizeof start, "0x%08X", options.reportedProgramStart);
    std::snprintf(record, sizeof record, "0x%08X", cpuInfo);
    const auto refusal = outcome.err.find(std::string("Program image ") + start + "..");
    ASSERT_NE(refusal, std::string::npos) << outcome.err;
    const std::string line = outcome.err.substr(refusal, outcome.err.find('\n', refusal) - refusal);
    EXPECT_NE(line.find(std::string(" overlaps CpuInfo at ") + record + ".."), std::string::npos)
        << line;
    EXPECT_LT(refusal, outcome.err.find("Error of Update")) << "the reason comes first";
    EXPECT_EQ(device.CountRequests(1, 0x05), 0u);
}

// Ctrl-C during the external-flash write lets the request on the wire finish,
// names the step that stopped, and leaves the update to be run again.
TEST_F(CliAgainstSimulator, InterruptDuringAFlashWriteEndsAfterTheCurrentRequest) {
    SimOptions options = Outdated520();
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
