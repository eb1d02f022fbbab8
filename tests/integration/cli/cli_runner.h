#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "sim/simulated_device.h"
#include "support/build_paths.h"
#include "support/run_program.h"
#include "support/sim_profiles.h"
#include "support/temp_dir.h"

// dravo-cli as a user runs it, seeing only the ports of one folder, with its
// standard input empty (no terminal to answer a question), no inherited
// environment and a home of its own inside the port folder.
class CliProcess : public RunningProgram {
  public:
    // `environment` adds "NAME=value" entries.
    CliProcess(const std::string& portDir, std::vector<std::string> arguments,
               const std::vector<std::string>& environment = {})
        : RunningProgram(WithProgram(std::move(arguments)), Environment(portDir, environment)) {}

  private:
    static std::vector<std::string> WithProgram(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
                         (std::filesystem::path(build_paths::BinDir()) / "dravo-cli").string());
        return arguments;
    }
    static std::vector<std::string> Environment(const std::string& portDir,
                                                const std::vector<std::string>& environment) {
        std::vector<std::string> variables{"DRAVO_PORT_DIR=" + portDir, "DRAVO_NO_SYSTEM_PORTS=1",
                                           "LANG=C", "HOME=" + portDir + "/home"};
        variables.insert(variables.end(), environment.begin(), environment.end());
        return variables;
    }
};

using CliOutcome = ProgramRun;

// Runs the program to its end.
inline CliOutcome RunCli(const std::string& portDir, std::vector<std::string> arguments,
                         const std::vector<std::string>& environment = {}) {
    CliProcess process(portDir, std::move(arguments), environment);
    CliOutcome outcome;
    outcome.status = process.Wait();
    outcome.out = process.Out();
    outcome.err = process.Err();
    return outcome;
}

// A folder of simulated ports whose devices' clocks stand still, so that their
// live values and history hold between runs.
class CliAgainstSimulator : public ::testing::Test {
  protected:
    SimulatedDevice& PlugIn(SimOptions options, int com = 9) {
        auto device = std::make_unique<SimulatedDevice>(options, [] { return std::uint64_t{0}; });
        EXPECT_TRUE(device->PlugIn(dir_.Path(), com)) << device->LastError();
        if (!device_) {
            device_ = std::move(device);
            return *device_;
        }
        more_.push_back(std::move(device));
        return *more_.back();
    }

    TempDir dir_;
    std::unique_ptr<SimulatedDevice> device_;
    std::vector<std::unique_ptr<SimulatedDevice>> more_;
};

// `Fixture` once per profile: every device the test plugs in takes the
// profile the test runs with.
template <typename Fixture>
class OnEachProfile : public Fixture, public ::testing::WithParamInterface<std::string> {
  protected:
    SimulatedDevice& PlugIn(SimOptions options, int com = 9) {
        return Fixture::PlugIn(WithProfile(std::move(options), this->GetParam()), com);
    }
};
