#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "integration/cli/cli_runner.h"

namespace {

using CliOnEachProfile = OnEachProfile<CliAgainstSimulator>;

TEST_P(CliOnEachProfile, InfoNamesBothModelsAndBootMode) {
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
        const CliOutcome outcome = RunCli(dir_.Path(), {"--port", "COM9", "--json", "info"});
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

TEST_P(CliOnEachProfile, MeasureJsonCarriesTheLiveValuesTheDeviceHolds) {
    SimOptions options;
    options.model = SimModel::K520;
    PlugIn(options);
    // No --port: the one answering port is found.
    const CliOutcome outcome = RunCli(dir_.Path(), {"--json", "--lang", "en", "measure"});
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

INSTANTIATE_TEST_SUITE_P(EveryProfile, CliOnEachProfile, ::testing::ValuesIn(SimProfileNames()),
                         ProfileTestName);

TEST_F(CliAgainstSimulator, NoDeviceANonDeviceAndBadUsageHaveTheirExitStatus) {
    CliOutcome outcome = RunCli(dir_.Path(), {"info"});
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
    EXPECT_EQ(outcome.out, "dravo-cli 1.1\n");
}

}  // namespace

TEST_F(CliAgainstSimulator, DoctorSucceedsOnlyWhenSomePortOpens) {
    CliOutcome outcome = RunCli(dir_.Path(), {"doctor"});
    EXPECT_EQ(outcome.status, 1) << outcome.out;

    PlugIn(SimOptions{});
    outcome = RunCli(dir_.Path(), {"doctor"});
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_NE(outcome.out.find("COM9"), std::string::npos) << outcome.out;

    outcome = RunCli(dir_.Path(), {"--json", "doctor"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const auto report = nlohmann::json::parse(outcome.out);
    ASSERT_EQ(report["ports"].size(), 1u) << outcome.out;
    EXPECT_EQ(report["ports"][0]["port"], "COM9");
    EXPECT_EQ(report["ports"][0]["path"], device_->PortPath());
    EXPECT_TRUE(report["ports"][0]["opens"].get<bool>());
}
