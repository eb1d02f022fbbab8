#include <gtest/gtest.h>

#include <filesystem>

#include "integration/cli/cli_runner.h"
#include "support/build_paths.h"

namespace {

std::vector<std::string> WithProgram(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(),
                     (std::filesystem::path(build_paths::BinDir()) / "dravo-cli").string());
    return arguments;
}

std::vector<std::string> CliEnvironment(const std::string& portDir,
                                        const std::vector<std::string>& environment) {
    std::vector<std::string> variables{"DRAVO_PORT_DIR=" + portDir, "DRAVO_NO_SYSTEM_PORTS=1",
                                       "LANG=C", "HOME=" + portDir + "/home"};
    variables.insert(variables.end(), environment.begin(), environment.end());
    return variables;
}

}  // namespace

CliProcess::CliProcess(const std::string& portDir, std::vector<std::string> arguments,
                       const std::vector<std::string>& environment)
    : RunningProgram(WithProgram(std::move(arguments)), CliEnvironment(portDir, environment)) {}

CliOutcome RunCli(const std::string& portDir, std::vector<std::string> arguments,
                  const std::vector<std::string>& environment) {
    CliProcess process(portDir, std::move(arguments), environment);
    CliOutcome outcome;
    outcome.status = process.Wait();
    outcome.out = process.Out();
    outcome.err = process.Err();
    return outcome;
}

SimulatedDevice& CliAgainstSimulator::PlugIn(SimOptions options, int com) {
    auto device = std::make_unique<SimulatedDevice>(options, [] { return std::uint64_t{0}; });
    EXPECT_TRUE(device->PlugIn(dir_.Path(), com)) << device->LastError();
    if (!device_) {
        device_ = std::move(device);
        return *device_;
    }
    more_.push_back(std::move(device));
    return *more_.back();
}
