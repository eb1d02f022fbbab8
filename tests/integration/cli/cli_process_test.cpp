#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim/simulated_device.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// dravo-cli as a user runs it, seeing only the ports of `portDir`.
ProgramRun RunCli(const std::string& portDir, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), (fs::path(DRAVO_BIN_DIR) / "dravo-cli").string());
    return RunProgram(arguments, {{"DRAVO_PORT_DIR", portDir},
                                  {"DRAVO_NO_SYSTEM_PORTS", "1"},
                                  {"LANG", "C"},
                                  {"LC_ALL", ""},
                                  {"LC_MESSAGES", ""}});
}

class CliAgainstSimulator : public ::testing::Test {
  protected:
    // The simulator's clock stands still, so its live values hold.
    void PlugIn(SimOptions options, int com = 9) {
        device_ = std::make_unique<SimulatedDevice>(options, [] { return std::uint64_t{0}; });
        ASSERT_TRUE(device_->PlugIn(dir_.Path(), com)) << device_->LastError();
    }

    TempDir dir_;
    std::unique_ptr<SimulatedDevice> device_;
};

TEST_F(CliAgainstSimulator, InfoNamesBothModelsAndBootMode) {
    struct Case {
        SimModel model;
        bool boot;
        const char* modelPrefix;
    };
    for (const Case& c : {Case{SimModel::K310, false, "Halvane RDK-310"},
                          Case{SimModel::K520, false, "DRAVO 07X ECO RDK-520"},
                          Case{SimModel::K310, true, "Halvane RDK-310"}}) {
        SimOptions options;
        options.model = c.model;
        options.serialNumber = 12345678;
        options.startInBootMode = c.boot;
        PlugIn(options);
        const ProgramRun outcome = RunCli(dir_.Path(), {"--port", "COM9", "--json", "info"});
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        const auto info = nlohmann::json::parse(outcome.out);
        EXPECT_EQ(info["port"], "COM9");
        EXPECT_EQ(info["model"].get<std::string>().rfind(c.modelPrefix, 0), 0u) << info.dump();
        EXPECT_EQ(info["serial"], "123-45678");
        EXPECT_EQ(info["bootMode"], c.boot);
        EXPECT_EQ(info["mainVersion"] == "BOOT", c.boot);
        device_.reset();
    }
}

TEST_F(CliAgainstSimulator, MeasureJsonCarriesTheLiveValuesTheDeviceHolds) {
    SimOptions options;
    options.model = SimModel::K520;
    PlugIn(options);
    // No --port: the one answering port is found.
    const ProgramRun outcome = RunCli(dir_.Path(), {"--json", "--lang", "en", "measure"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const auto values = nlohmann::json::parse(outcome.out);
    const int units = values["unitsCode"];
    const std::uint32_t expected =
        device_->WithModel([units](DeviceModel& model) { return model.Live().RateWord(units); });
    EXPECT_EQ(values["rateRaw"].get<std::uint32_t>(), expected);
    EXPECT_NE(values["doseRate"].get<std::string>().find(','), std::string::npos);
    const std::string doseText =
        device_->WithModel([](DeviceModel& model) { return model.Live().DoseText(); });
    EXPECT_EQ(values["dose"].get<std::string>().rfind(doseText, 0), 0u) << values.dump();
}

TEST_F(CliAgainstSimulator, NoDeviceANonDeviceAndBadUsageHaveTheirExitStatus) {
    ProgramRun outcome = RunCli(dir_.Path(), {"info"});
    EXPECT_EQ(outcome.status, 3);
    EXPECT_NE(outcome.err.find("No device found"), std::string::npos) << outcome.err;

    // A plain file behind a port name is no device.
    const std::string file = dir_.Path() + "/not-a-port";
    std::ofstream(file) << "text";
    outcome = RunCli(dir_.Path(), {"--port", file, "info"});
    EXPECT_EQ(outcome.status, 3) << outcome.err;

    outcome = RunCli(dir_.Path(), {"--bogus", "info"});
    EXPECT_EQ(outcome.status, 2);
    outcome = RunCli(dir_.Path(), {"--port", "COMX", "info"});
    EXPECT_EQ(outcome.status, 2);
    outcome = RunCli(dir_.Path(), {"--version"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "1.1\n");
}

}  // namespace
