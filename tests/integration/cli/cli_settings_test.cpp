#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "integration/cli/cli_runner.h"

namespace {

class CliSettings : public CliAgainstSimulator {
  protected:
    static SimOptions Model(SimModel model, std::uint32_t serial = 12345678) {
        SimOptions options;
        options.model = model;
        options.serialNumber = serial;
        options.deviceTime = 731513109;
        return options;
    }

    // Every setting of the device on `port` as `settings get --json` gives it.
    nlohmann::json Settings(const std::string& port) {
        const CliOutcome outcome =
            RunCli(dir_.Path(), {"--port", port, "--json", "settings", "get"});
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        return outcome.status == 0 ? nlohmann::json::parse(outcome.out)["settings"]
                                   : nlohmann::json();
    }
};

TEST_F(CliSettings, SetWritesOnlyWhenAnsweredAndReadsBack) {
    SimulatedDevice& device = PlugIn(Model(SimModel::K310));
    const nlohmann::json before = Settings("COM9");
    ASSERT_EQ(before["units"], 0);
    ASSERT_EQ(before["sound"], 1);

    CliOutcome outcome = RunCli(dir_.Path(), {"--port", "COM9", "settings", "set", "units=2"});
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    EXPECT_EQ(Settings("COM9"), before);

    for (const char* bad : {"units=9", "volume=1", "units"}) {
        outcome = RunCli(dir_.Path(), {"--port", "COM9", "--yes", "settings", "set", bad});
        EXPECT_EQ(outcome.status, 2) << bad;
        EXPECT_FALSE(outcome.err.empty()) << bad;
    }
    EXPECT_EQ(Settings("COM9"), before);

    outcome =
        RunCli(dir_.Path(), {"--port", "COM9", "--yes", "settings", "set", "units=2", "sound=0"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    nlohmann::json expected = before;
    expected["units"] = 2;
    expected["sound"] = 0;
    EXPECT_EQ(Settings("COM9"), expected);
    // The K310 stores the sound switched off as 1.
    EXPECT_EQ(device.WithModel([](DeviceModel& model) { return *model.Parameters().Get(3); }), 1u);

    outcome = RunCli(dir_.Path(), {"--port", "COM9", "settings", "get"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("units\tCPM\t2\n"), std::string::npos) << outcome.out;
}

// Backup and restore, the clock and the calibration on every profile.
using CliSettingsOnEachProfile = OnEachProfile<CliSettings>;

TEST_P(CliSettingsOnEachProfile, BackupRestoresIntoAnotherDeviceOfTheModelOnly) {
    PlugIn(Model(SimModel::K520, 11111111), 9);
    PlugIn(Model(SimModel::K520, 22222222), 10);
    PlugIn(Model(SimModel::K310, 33333333), 11);
    ASSERT_EQ(RunCli(dir_.Path(), {"--port", "COM9", "--yes", "settings", "set", "units=1",
                                   "lights=0", "device_off=5"})
                  .status,
              0);
    const std::string file = dir_.Path() + "/k520.json";
    CliOutcome outcome = RunCli(dir_.Path(), {"--port", "COM9", "settings", "backup", file});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const nlohmann::json first = Settings("COM9");
    ASSERT_NE(Settings("COM10"), first);

    outcome = RunCli(dir_.Path(), {"--port", "COM10", "--yes", "settings", "restore", file});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(Settings("COM10"), first);

    const nlohmann::json k310 = Settings("COM11");
    outcome = RunCli(dir_.Path(), {"--port", "COM11", "--yes", "settings", "restore", file});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_FALSE(outcome.err.empty());
    EXPECT_EQ(Settings("COM11"), k310);
}

TEST_F(CliSettings, RestoreOfACodeBeyondIntIsRefusedAndWritesNothing) {
    SimulatedDevice& device = PlugIn(Model(SimModel::K310));
    const std::string file = dir_.Path() + "/k310.json";
    ASSERT_EQ(RunCli(dir_.Path(), {"--port", "COM9", "settings", "backup", file}).status, 0);
    std::ifstream saved(file);
    const std::string document{std::istreambuf_iterator<char>(saved), {}};
    // Both would narrow into a valid code: 4294967297 into 1, -4294967293 into 3.
    for (const auto& [key, code] :
         {std::pair{"units", "4294967297"}, std::pair{"brightness", "-4294967293"}}) {
        nlohmann::ordered_json edited = nlohmann::ordered_json::parse(document);
        edited["settings"][key] = nlohmann::ordered_json::parse(code);
        std::ofstream(file) << edited.dump(2);
        device.ClearTranscript();
        const CliOutcome outcome =
            RunCli(dir_.Path(), {"--port", "COM9", "--yes", "settings", "restore", file});
        EXPECT_EQ(outcome.status, 1) << key;
        EXPECT_NE(outcome.err.find(std::string("\"") + key + "\": " + code), std::string::npos)
            << outcome.err;
        EXPECT_EQ(device.CountRequests(1, 0x0F), 0u) << key;
    }
}

TEST_P(CliSettingsOnEachProfile, ClockAndCalibration) {
    // A coefficient the parser refuses is refused before any device is sought.
    CliOutcome outcome = RunCli(dir_.Path(), {"--yes", "calibration", "set", "99999999999"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("99999999999"), std::string::npos) << outcome.err;

    PlugIn(Model(SimModel::K520));
    outcome = RunCli(dir_.Path(), {"--port", "COM9", "--yes", "calibration", "set", "1.5"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    outcome = RunCli(dir_.Path(), {"--port", "COM9", "calibration", "get"});
    EXPECT_EQ(outcome.out, "1,50\n") << outcome.err;

    const CliOutcome set = RunCli(dir_.Path(), {"--port", "COM9", "--yes", "clock", "set"});
    ASSERT_EQ(set.status, 0) << set.err;
    ASSERT_FALSE(set.out.empty());
    // The simulated clock stands still: it reads back what was set.
    const CliOutcome get = RunCli(dir_.Path(), {"--port", "COM9", "clock", "get"});
    EXPECT_EQ(get.status, 0) << get.err;
    EXPECT_EQ(get.out, set.out);
    EXPECT_NE(get.out, "[07.03.2023]-[14:05:09]\n");
}

INSTANTIATE_TEST_SUITE_P(EveryProfile, CliSettingsOnEachProfile,
                         ::testing::ValuesIn(SimProfileNames()), ProfileTestName);

}  // namespace
