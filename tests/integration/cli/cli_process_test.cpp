#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim/simulated_device.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// dravo-cli as a user runs it, seeing only the ports of `portDir`.
Outcome RunCli(const std::string& portDir, std::vector<std::string> arguments) {
    const std::string program = (fs::path(DRAVO_BIN_DIR) / "dravo-cli").string();
    TempDir output;
    const std::string outPath = output.Path() + "/out";
    const std::string errPath = output.Path() + "/err";
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables{"DRAVO_PORT_DIR=" + portDir, "DRAVO_NO_SYSTEM_PORTS=1",
                                       "LANG=C"};
    std::vector<char*> envp;
    for (auto& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
    Outcome outcome;
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    outcome.out = ReadAll(outPath);
    outcome.err = ReadAll(errPath);
    return outcome;
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
        const Outcome outcome = RunCli(dir_.Path(), {"--port", "COM9", "--json", "info"});
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
    const Outcome outcome = RunCli(dir_.Path(), {"--json", "--lang", "en", "measure"});
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
    Outcome outcome = RunCli(dir_.Path(), {"info"});
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
